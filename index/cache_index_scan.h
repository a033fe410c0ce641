// Reading the browser's cache index: the records of FAT.DB whose cached file
// is in the cache directory.
#pragma once

#include <cstdint>

#include "core/message_code.h"
#include "core/win_handles.h"
#include "index/index_records.h"

// Opens FAT.DB of `directory` for reading, shared with the browser that may
// be writing it, and reads its header: the handle then stands right after
// the header, and `pageSize` holds the page size it announces. An empty
// handle, `pageSize` unchanged, when the file cannot be opened or read, or
// its header is not a cache index's.
FileHandle openCacheIndex(const char* directory, uint32_t& pageSize);

// Reads FAT.DB of `directory` page by page and hands every record whose
// local file exists to `sink`. 0 on success; MSG_NO_CACHE_DIRECTORY when
// there is no readable index; -1 when memory ran out (what was handed on
// stays). The index is only read, shared with the browser.
MessageCode readCacheIndex(const char* directory, IndexRecordSink& sink);
