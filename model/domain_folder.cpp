#include "model/domain_folder.h"

#include <new>

#include "core/owned_text.h"
#include "core/text_locale.h"
#include "core/url.h"
#include "index/cache_entry.h"

namespace {

// Host names are at most 255 characters; the key of one fits in a path buffer.
constexpr size_t kHostKeySize = 260;

bool isFolderList(const DomainFolder& folder) {
    return folder.isNested();
}

}  // namespace

DomainFolder::DomainFolder(bool ownsEntries, const char* host)
    : SortedCollection(kCapacity, kDelta, true, ownsEntries, false, host) {}

DomainFolder::DomainFolder(const char* name, bool nested)
    : SortedCollection(kCapacity, kDelta, true, true, nested, name) {}

CacheEntry* DomainFolder::entryAt(int32_t index) const {
    return static_cast<CacheEntry*>(at(index));
}

int DomainFolder::compareItems(const NamedItem& a, const NamedItem& b) const {
    int order = a.compareName(b);
    return (order > 0) - (order < 0);
}

int DomainFolder::compareKey(const NamedItem& item, const TextKey& key) const {
    int order = item.compareName(key);
    return (order > 0) - (order < 0);
}

FolderList::FolderList(const char* name, bool ownsEntries) : DomainFolder(name, true), ownsEntries_(ownsEntries) {}

FiledEntry addEntry(FolderList& list, CacheEntry* entry) {
    if (!entry)
        return {-1, nullptr};
    UrlLayout url;
    layoutUrl(url, entry->url(), false);
    SpanText host(url.host);
    if (url.host.length == 0 || !host.get())
        return {-1, nullptr};
    return addEntryToHost(list, entry, host.get());
}

FiledEntry addEntryToHost(FolderList& list, CacheEntry* entry, const char* host) {
    if (!entry || !host)
        return {-1, nullptr};
    SearchResult at = list.searchKey(host);
    if (at.found) {
        DomainFolder* folder = list.folderAt(at.index);
        int32_t index = folder->insertItem(entry);
        return {index, index < 0 ? nullptr : folder};
    }
    int32_t status;
    DomainFolder* folder = checkCreated(new (std::nothrow) DomainFolder(list.ownsEntries(), host), status);
    if (!folder)
        return {-1, nullptr};
    if (list.insertAt(at.index, folder) < 0) {
        delete folder;
        return {-1, nullptr};
    }
    int32_t index = folder->insertItem(entry);
    if (index < 0) {
        // A failure leaves the list as it was: no empty folder stays behind.
        list.removeAt(at.index);
        return {-1, nullptr};
    }
    return {index, folder};
}

void pruneEmptyFolders(FolderList& list) {
    for (int32_t i = list.count() - 1; i >= 0; --i) {
        if (list.folderAt(i)->count() == 0)
            list.removeAt(i);
    }
}

int compareFolders(const DomainFolder& a, const DomainFolder& b, bool hierarchical) {
    if (isFolderList(a) || isFolderList(b))
        return 0;
    if (!hierarchical)
        return a.compareName(b);
    char keyA[kHostKeySize];
    char keyB[kHostKeySize];
    hostSortKey(keyA, a.name(), sizeof keyA);
    hostSortKey(keyB, b.name(), sizeof keyB);
    return compareTextNoCase(keyA, keyB);
}

void folderDisplayName(const DomainFolder& folder, char* out, size_t size, bool bySortOrder) {
    if (size == 0)
        return;
    if (bySortOrder && !isFolderList(folder)) {
        hostSortKey(out, folder.name(), size);
        return;
    }
    copyTextBounded(out, size, folder.name());
}
