// Filing the records of the cache index into the model's host folders.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/folded_names.h"
#include "core/message_code.h"
#include "core/sorted_collection.h"
#include "index/index_records.h"

class CacheModel;
class DomainFolder;

// Files one record under `url` into the cache tree. A URL already there is
// replaced unless the entry there was accessed later; a URL without scheme or
// host is dropped. False only when memory ran out.
bool addIndexRecord(CacheModel& model, const IndexRecord& record, const char* url);

// Reads the index of the model's cache directory (looking for the
// directory first when none is set) and files every record whose local file
// exists. 0 on success; MSG_NO_CACHE_DIRECTORY when there is no directory
// or no readable index in it; -1 when memory ran out (what was filed
// stays). Notes in the model whether the whole index was read.
MessageCode scanCacheIndex(CacheModel& model);

// One scan's filing of records into the model, remembering the host folders
// met so far.
class IndexFiler : public IndexRecordSink {
public:
    explicit IndexFiler(CacheModel& model) : model_(model) {}

    // False when memory ran out; what was filed before stays.
    bool takeRecord(const IndexRecord& record) override;

    struct FolderName {
        const char* operator()(const NamedItem* folder) const { return folder->name(); }
    };
    using HostFolders = FoldedNameTable<NamedItem*, FolderName>;

private:
    CacheModel& model_;
    // Lookups fall back to the root's search on a miss, so a table that
    // could not be filled only costs time.
    HostFolders hostFolders_;
};
