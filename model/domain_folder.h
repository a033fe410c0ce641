// Host folders: the documents of one host, and the roots that hold them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/sorted_collection.h"

class CacheEntry;

// One host's documents in URL order. In the cache tree the folder owns its
// entries; in the search results it only points to them.
class DomainFolder : public SortedCollection {
public:
    DomainFolder(bool ownsEntries, const char* host);

    CacheEntry* entryAt(int32_t index) const;

    // The order of names, decided with one comparison of sort keys per step
    // instead of a "less" and then an "equal" test: a folder's URLs share
    // long prefixes, and a scan searches a folder for every record.
    int compareItems(const NamedItem& a, const NamedItem& b) const override;
    int compareKey(const NamedItem& item, const TextKey& key) const override;

    // The folder's node in the tree, kept by the tree view; null while the
    // folder is not shown. The model never looks inside it.
    void* treeItem = nullptr;

protected:
    // For FolderList, whose items are folders.
    DomainFolder(const char* name, bool nested);
};

// A root of host folders ("Netscape Cache", "Suchergebnisse"), ordered by
// host name. It owns its folders; whether they own their entries is decided
// here once for every folder it creates.
class FolderList : public DomainFolder {
public:
    FolderList(const char* name, bool ownsEntries);

    bool ownsEntries() const { return ownsEntries_; }
    DomainFolder* folderAt(int32_t index) const { return static_cast<DomainFolder*>(at(index)); }

private:
    bool ownsEntries_;
};

struct FiledEntry {
    int32_t index;         // the entry's index in its folder, or -1
    DomainFolder* folder;  // null when the entry could not be filed
};

// Files `entry` into the folder of its URL's host, making the folder when the
// list has none yet; a new folder is named as that URL writes the host. On
// -1 the entry is not taken over and no folder was made.
FiledEntry addEntry(FolderList& list, CacheEntry* entry);

// The same for a host already taken from the entry's URL.
FiledEntry addEntryToHost(FolderList& list, CacheEntry* entry, const char* host);

// Removes and destroys every folder without entries.
void pruneEmptyFolders(FolderList& list);

// The tree's order of folders: roots keep their places (0); host folders by
// name, or with `hierarchical` by the host's labels from the right.
int compareFolders(const DomainFolder& a, const DomainFolder& b, bool hierarchical);

// The folder's label in the tree: a root's name; a host folder's name, or
// its hierarchical key when `bySortOrder`. Always terminated inside `out`.
void folderDisplayName(const DomainFolder& folder, char* out, size_t size, bool bySortOrder);
