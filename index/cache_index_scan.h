// Reading the browser's cache index: the records of FAT.DB whose cached file
// is in the cache directory.
#pragma once

#include <cstdint>

#include "core/message_code.h"
#include "core/win_handles.h"
#include "index/index_records.h"

// Opens FAT.DB of `directory` for reading, shared with the browser that may
// be writing it, and reads its header: `pageSize` then holds the page size
// it announces and `pageLimit`, when given, the number of pages it
// addresses (indexPageLimit). An empty handle, the outputs unchanged, when
// the file cannot be opened or read, or its header is not a cache index's.
FileHandle openCacheIndex(const char* directory, uint32_t& pageSize, uint64_t* pageLimit = nullptr);

// Reads FAT.DB of `directory` page by page, up to the pages its header
// addresses, and hands every record whose local file exists to `sink`. 0 on
// success; MSG_NO_CACHE_DIRECTORY when there is no readable index; -1 when
// memory ran out (what was handed on stays). The index is only read, shared
// with the browser.
MessageCode readCacheIndex(const char* directory, IndexRecordSink& sink);
