// Filing the records of the cache index into the model's host folders.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/sorted_collection.h"
#include "index/cache_directory_files.h"
#include "index/index_page.h"

class CacheModel;
class DomainFolder;

// Files one record under `url` into the cache tree. A URL already there is
// replaced unless the entry there was accessed later; a URL without scheme or
// host is dropped. False only when memory ran out.
bool addIndexRecord(CacheModel& model, const IndexRecord& record, const char* url);

// Names found before by their letters alone. Two names whose bytes are equal
// once lowered compare equal in the locale too, so a hit here is the item a
// case-insensitive search would find; a miss proves nothing and the caller
// asks the sorted collection. Most lookups of a scan hit, and a hit costs no
// sort key.
class FoldedNameTable {
public:
    FoldedNameTable() = default;
    ~FoldedNameTable();
    FoldedNameTable(const FoldedNameTable&) = delete;
    FoldedNameTable& operator=(const FoldedNameTable&) = delete;

    // False when memory ran out; the table then stays as it was.
    bool add(NamedItem* item);
    NamedItem* find(const char* name) const;

private:
    bool grow();

    NamedItem** slots_ = nullptr;
    size_t capacity_ = 0;  // a power of two, or 0
    size_t used_ = 0;
};

// One scan's filing of index pages: the cache directory's files to check
// local files against, and the host folders met so far.
class IndexFiler {
public:
    IndexFiler(CacheModel& model, CacheDirectoryFiles& files);

    // Files every record of the page whose local file is listed. False when
    // memory ran out; what was filed before stays.
    bool filePage(const unsigned char* page, size_t size);
    bool fileRecord(const IndexRecord& record);

private:
    CacheModel& model_;
    CacheDirectoryFiles& files_;
    // Lookups fall back to the root's search on a miss, so a table that
    // could not be filled only costs time.
    FoldedNameTable hostFolders_;
};
