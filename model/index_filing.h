// Filing the records of the cache index into the model's host folders.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/folded_names.h"
#include "core/message_code.h"
#include "core/sort_key_table.h"
#include "core/sorted_collection.h"
#include "index/index_records.h"

class CacheModel;
class DomainFolder;
struct UrlLayout;

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

// One scan's filing of records into the model, with the same result as
// filing them one by one with addIndexRecord: the same documents stay, the
// same folders are made and named, MIME types get the same indexes, and
// folders and documents end in the same order.
//
// One record at a time, every document would be inserted at its place in
// its folder, moving the folder's tail; with one big host that is quadratic.
// So a new document is appended to its folder, and a new folder to the
// root, and the documents and folders of the scan are looked up by their
// sort keys; each folder is put in order once, when the filing is finished.
class IndexFiler : public IndexRecordSink {
public:
    explicit IndexFiler(CacheModel& model);
    // Finishes the filing.
    ~IndexFiler() override;

    // False when memory ran out; what was filed before stays.
    bool takeRecord(const IndexRecord& record) override;

    // Puts the root and every folder in order. Until then the folders that
    // took documents out of order, and the root when it took folders out of
    // order, hold them in arrival order behind the others. Records taken
    // later are filed one at a time.
    void finish();

    struct FolderName {
        const char* operator()(const NamedItem* folder) const { return folder->name(); }
    };
    using HostFolders = FoldedNameTable<NamedItem*, FolderName>;

private:
    // A document of the cache tree: its folder and its index there.
    struct FiledAt {
        DomainFolder* folder;
        int32_t index;
        bool operator==(const FiledAt& other) const { return folder == other.folder && index == other.index; }
        bool operator!=(const FiledAt& other) const { return !(*this == other); }
    };
    struct DocumentKey {
        const unsigned char* key(const FiledAt& at) const;
        uintptr_t group(const FiledAt& at) const { return reinterpret_cast<uintptr_t>(at.folder); }
    };
    struct FolderKey {
        const unsigned char* key(const NamedItem* folder) const { return folder->sortKey(); }
        uintptr_t group(const NamedItem*) const { return 0; }
    };

    bool rememberFiled();
    bool appendRecord(const IndexRecord& record, const char* url, const UrlLayout& parsed);
    DomainFolder* folderOf(const char* host, bool& unsure);
    DomainFolder* appendFolder(const char* host);
    bool fileOneAtATime(const IndexRecord& record, const char* url, const UrlLayout& parsed);

    CacheModel& model_;
    // Lookups fall back to the other ways on a miss, so a table that could
    // not be filled only costs time.
    HostFolders hostFolders_;
    // While appending: every folder of the root and every document of the
    // cache tree, by sort key. Without them (a name without a sort key, or
    // no memory for the tables) the scan files one record at a time.
    bool appending_ = true;
    SortKeyTable<const NamedItem*, FolderKey> folderKeys_;
    SortKeyTable<FiledAt, DocumentKey> documentKeys_;
};
