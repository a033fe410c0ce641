// Reading the browser's cache index into the model.
#pragma once

#include <cstdint>
#include <memory>

#include "core/message_code.h"
#include "core/sorted_collection.h"
#include "core/win_handles.h"

class CacheModel;

// Opens FAT.DB of `directory` for reading, shared with the browser that may
// be writing it, and reads its header: the handle then stands right after
// the header, and `pageSize` holds the page size it announces. An empty
// handle, `pageSize` unchanged, when the file cannot be opened or read, or
// its header is not a cache index's.
FileHandle openCacheIndex(const char* directory, uint32_t& pageSize);

// Reads FAT.DB of the model's cache directory (looking for the directory
// first when none is set) and files every record whose local file exists.
// 0 on success; MSG_NO_CACHE_DIRECTORY when there is no directory or no
// readable index in it; -1 when memory ran out (what was filed stays). The
// index is only read, shared with the browser that may be writing it.
MessageCode scanCacheIndex(CacheModel& model);

// The names of the files matching `pattern`, without those whose attributes
// share a bit with `excludedAttributes`, sorted case-insensitively; null
// when nothing matches or memory ran out.
std::unique_ptr<SortedCollection> listDirectory(const char* pattern, uint32_t excludedAttributes);
