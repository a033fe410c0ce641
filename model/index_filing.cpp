#include "model/index_filing.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/owned_text.h"
#include "core/stable_sort.h"
#include "core/url.h"
#include "index/cache_entry.h"
#include "model/cache_model.h"

namespace {

using HostFolders = IndexFiler::HostFolders;

// A folder that receives a record of the index is marked hideable, and the
// other marks of its nibble are cleared with it.
constexpr uint32_t kFolderMarkMask = 0x000F0000;

// The browser wrote some URLs with backslashes after the scheme; they are
// stored, compared and looked up with slashes.
bool normalizeSlashes(const char*& url, OwnedText& copy) {
    if (!std::strchr(url, '\\'))
        return true;
    copy.reset(duplicateText(url));
    if (!copy)
        return false;
    for (char* p = copy.data(); *p; ++p) {
        if (*p == '\\')
            *p = '/';
    }
    url = copy.get();
    return true;
}

// The folder of `host`: one this scan has met, else the root's.
DomainFolder* knownFolder(FolderList& root, const char* host, HostFolders* hosts) {
    DomainFolder* folder = hosts ? static_cast<DomainFolder*>(hosts->find(host)) : nullptr;
    if (folder)
        return folder;
    SearchResult known = root.searchKey(host);
    if (!known.found)
        return nullptr;
    folder = root.folderAt(known.index);
    if (hosts)
        hosts->add(folder);
    return folder;
}

// The entry of a record whose URL (slashes only) is parsed, made before any
// lookup so that the lookup can use its sort key; its MIME type is bound
// only once the record is known to stay, because a new type takes the next
// type index. Null when the record is dropped (`ok` stays true: without a
// scheme or a host no entry of the cache can have this URL, so nothing is
// replaced either) or memory ran out (`ok` false).
CacheEntry* entryOfRecord(const CacheModel& model, const IndexRecord& record, const char* url,
                          const UrlLayout& parsed, bool& ok) {
    ok = true;
    if (!parsed.scheme.present() || parsed.host.length == 0)
        return nullptr;
    int32_t status;
    CacheEntry* entry = checkCreated(new (std::nothrow) CacheEntry(record, url, parsed, model.unknownTitle()), status);
    ok = entry || status != -1;
    return entry;
}

// Whether a record's entry is filed, beside or in place of `filed`, the
// entry of the same URL if there is one: the record accessed later stays,
// with equal times the one read later. The MIME type is bound only then,
// since a new type takes the next type index. Otherwise the entry is deleted,
// and `ok` tells an older record passed over (true) from memory running out.
bool entryStays(const CacheModel& model, CacheEntry* entry, const CacheEntry* filed, const IndexRecord& record,
                bool& ok) {
    ok = true;
    if (filed && filed->lastAccessed() > record.lastAccessed) {
        delete entry;
        return false;
    }
    if (!entry->bindMimeType(record.mimeType, *model.mimeTypes, model.knownTypeIcons)) {
        delete entry;
        ok = false;
        return false;
    }
    return true;
}

// Files a record whose URL (slashes only) is already parsed, one record at
// a time: the folders and the root stay in order. `hosts`, when given,
// remembers the folders this scan has met.
bool fileParsedRecord(CacheModel& model, const IndexRecord& record, const char* url, const UrlLayout& parsed,
                      HostFolders* hosts) {
    bool ok;
    CacheEntry* entry = entryOfRecord(model, record, url, parsed, ok);
    if (!entry)
        return ok;
    SpanText host(parsed.host);
    if (!host.get()) {
        delete entry;
        return false;
    }

    FolderList& root = *model.cacheRoot;
    DomainFolder* folder = knownFolder(root, host.get(), hosts);
    SearchResult same{false, 0};
    if (folder)
        same = folder->searchItem(*entry);
    if (!entryStays(model, entry, same.found ? folder->entryAt(same.index) : nullptr, record, ok))
        return ok;
    if (same.found) {
        // The folder holds no other entry equal to this one. It goes only
        // now that the type is bound: running out of memory loses neither.
        folder->replaceAt(same.index, entry);
    } else if (folder) {
        if (folder->insertAt(same.index, entry) < 0) {
            delete entry;
            return false;
        }
    } else {
        folder = addEntryToHost(root, entry, host.get()).folder;
        if (!folder) {
            delete entry;
            return false;
        }
        if (hosts)
            hosts->add(folder);
    }
    folder->replaceFlags(kFolderMarkMask, FLAG_HIDEABLE);
    return true;
}

// An item to sort, with eight bytes of its sort key.
struct SortEntry {
    uint64_t bytes;
    NamedItem* item;
};

// Eight bytes of a key, big-endian, zeros after the key's end: comparing
// them as numbers orders them as strcmp orders the keys' bytes.
uint64_t eightBytes(const unsigned char* key) {
    uint64_t bytes = 0;
    bool ended = false;
    for (int i = 0; i < 8; ++i) {
        ended = ended || key[i] == 0;
        bytes = bytes << 8 | (ended ? 0 : key[i]);
    }
    return bytes;
}

const unsigned char* keyOf(const SortEntry& entry) {
    return entry.item->sortKey();
}

// Deeper than this a group of keys is sorted by comparing them whole.
constexpr int kKeyLevels = 32;

// Sorts entries whose keys agree in their first `offset` bytes, none of
// which ends a key. The bytes every key of the group shares are skipped;
// the entries are sorted by the eight bytes after them, and each group of
// entries equal in those bytes is sorted the same way from there. So every
// key is read a few times in a row instead of once for each of its
// comparisons: the keys of a big folder, spread over the heap and alike in
// their first dozens of bytes (the host's URL), would cost more to compare
// than the rest of the scan.
void sortByKeyBytes(SortEntry* entries, SortEntry* scratch, int32_t count, size_t offset, int level) {
    const unsigned char* first = keyOf(entries[0]);
    size_t shared = offset + std::strlen(reinterpret_cast<const char*>(first + offset));
    for (int32_t i = 1; i < count; ++i) {
        const unsigned char* key = keyOf(entries[i]);
        size_t same = offset;
        while (same < shared && key[same] == first[same])
            ++same;
        shared = same;
    }
    for (int32_t i = 0; i < count; ++i)
        entries[i].bytes = eightBytes(keyOf(entries[i]) + shared);
    mergeSortStable(entries, scratch, count, [](const SortEntry& a, const SortEntry& b) { return a.bytes < b.bytes; });
    size_t next = shared + 8;
    for (int32_t start = 0; start < count;) {
        int32_t end = start + 1;
        while (end < count && entries[end].bytes == entries[start].bytes)
            ++end;
        // Equal bytes that hold the end of the keys: the keys are equal.
        bool tied = end - start > 1 && (entries[start].bytes & 0xFF) != 0;
        if (tied && level + 1 < kKeyLevels) {
            sortByKeyBytes(entries + start, scratch + start, end - start, next, level + 1);
        } else if (tied) {
            mergeSortStable(entries + start, scratch + start, end - start, [next](const SortEntry& a, const SortEntry& b) {
                return std::strcmp(reinterpret_cast<const char*>(keyOf(a) + next),
                                   reinterpret_cast<const char*>(keyOf(b) + next)) < 0;
            });
        }
        start = end;
    }
}

// The order of the items' sort keys, which is the order compareItems of a
// folder or a root gives to items that all have one. False, and nothing
// changed, when an item has no sort key or the memory for the sort cannot
// be had.
bool sortByKeys(SortedCollection& items) {
    int32_t count = items.count();
    if (count < 2)
        return true;
    for (int32_t i = 0; i < count; ++i) {
        if (!items.at(i)->sortKey())
            return false;
    }
    SortEntry* entries = static_cast<SortEntry*>(std::malloc(2 * sizeof(SortEntry) * static_cast<size_t>(count)));
    if (!entries)
        return false;
    for (int32_t i = 0; i < count; ++i)
        entries[i] = {0, items.at(i)};
    sortByKeyBytes(entries, entries + count, count, 0, 0);
    // Taking the items out and putting them back in order needs no memory.
    for (int32_t i = count - 1; i >= 0; --i)
        items.detachAt(i);
    for (int32_t i = 0; i < count; ++i)
        items.insertAt(i, entries[i].item);
    std::free(entries);
    return true;
}

// Puts a collection whose items are distinct in order. The order of
// distinct items is one, so this gives what inserting them one by one at
// their places gives.
void putInOrder(SortedCollection& items) {
    int32_t count = items.count();
    int32_t sortedUpTo = 1;
    while (sortedUpTo < count && items.compareItems(*items.at(sortedUpTo - 1), *items.at(sortedUpTo)) <= 0)
        ++sortedUpTo;
    if (sortedUpTo >= count || sortByKeys(items) || items.sortStable())
        return;
    // No memory for a merge: insertion in place, slow but sure. A detached
    // item leaves a free slot, so inserting it again needs no memory either.
    for (int32_t i = sortedUpTo; i < count; ++i) {
        NamedItem* item = items.at(i);
        int32_t at = i;
        while (at > 0 && items.compareItems(*items.at(at - 1), *item) > 0)
            --at;
        if (at == i)
            continue;
        items.detachAt(i);
        items.insertAt(at, item);
    }
}

bool parseRecordUrl(const char*& url, OwnedText& normalized, UrlLayout& parsed) {
    if (!normalizeSlashes(url, normalized))
        return false;
    // The URL is laid out once for the entry's validity and title, the
    // lookup of an older record and the host folder.
    layoutUrl(parsed, url, false);
    return true;
}

}  // namespace

bool addIndexRecord(CacheModel& model, const IndexRecord& record, const char* url) {
    OwnedText normalized;
    UrlLayout parsed;
    if (!parseRecordUrl(url, normalized, parsed))
        return false;
    return fileParsedRecord(model, record, url, parsed, nullptr);
}

const unsigned char* IndexFiler::DocumentKey::key(const FiledAt& at) const {
    return at.folder->at(at.index)->sortKey();
}

IndexFiler::IndexFiler(CacheModel& model) : model_(model) {
    appending_ = rememberFiled();
}

IndexFiler::~IndexFiler() {
    finish();
}

// The folders and documents already in the cache tree (a scan into a model
// that holds some) must be found like those of the scan.
bool IndexFiler::rememberFiled() {
    FolderList& root = *model_.cacheRoot;
    for (int32_t i = 0; i < root.count(); ++i) {
        DomainFolder* folder = root.folderAt(i);
        if (!folder->sortKey() || !folderKeys_.add(folder))
            return false;
        for (int32_t j = 0; j < folder->count(); ++j) {
            if (!folder->at(j)->sortKey() || !documentKeys_.add({folder, j}))
                return false;
        }
    }
    return true;
}

void IndexFiler::finish() {
    if (!appending_)
        return;
    appending_ = false;
    FolderList& root = *model_.cacheRoot;
    putInOrder(root);
    for (int32_t i = 0; i < root.count(); ++i)
        putInOrder(*root.folderAt(i));
}

bool IndexFiler::takeRecord(const IndexRecord& record) {
    const char* url = record.url;
    OwnedText normalized;
    UrlLayout parsed;
    if (!parseRecordUrl(url, normalized, parsed))
        return false;
    if (!appending_)
        return fileParsedRecord(model_, record, url, parsed, &hostFolders_);
    return appendRecord(record, url, parsed);
}

bool IndexFiler::fileOneAtATime(const IndexRecord& record, const char* url, const UrlLayout& parsed) {
    finish();
    return fileParsedRecord(model_, record, url, parsed, &hostFolders_);
}

// The folder of `host`, or null when the root has none. `unsure` is set
// when the host has no sort key, so that the root could not be asked.
DomainFolder* IndexFiler::folderOf(const char* host, bool& unsure) {
    unsure = false;
    if (NamedItem* met = hostFolders_.find(host))
        return static_cast<DomainFolder*>(met);
    TextKey key(host);
    if (!key.sortKey()) {
        unsure = true;
        return nullptr;
    }
    DomainFolder* folder = static_cast<DomainFolder*>(const_cast<NamedItem*>(folderKeys_.find(0, key.sortKey())));
    if (folder)
        hostFolders_.add(folder);
    return folder;
}

// A new folder at the end of the root, named as `host` is written; null
// when memory ran out or the folder has no sort key to be found by.
DomainFolder* IndexFiler::appendFolder(const char* host) {
    FolderList& root = *model_.cacheRoot;
    int32_t status;
    DomainFolder* folder = checkCreated(new (std::nothrow) DomainFolder(root.ownsEntries(), host), status);
    if (!folder)
        return nullptr;
    if (!folder->sortKey() || root.insertAt(root.count(), folder) < 0) {
        delete folder;
        return nullptr;
    }
    if (!folderKeys_.add(folder)) {
        root.removeAt(root.count() - 1);
        return nullptr;
    }
    hostFolders_.add(folder);
    return folder;
}

bool IndexFiler::appendRecord(const IndexRecord& record, const char* url, const UrlLayout& parsed) {
    bool ok;
    CacheEntry* entry = entryOfRecord(model_, record, url, parsed, ok);
    if (!entry)
        return ok;
    SpanText host(parsed.host);
    if (!host.get()) {
        delete entry;
        return false;
    }
    bool unsure = false;
    DomainFolder* folder = entry->sortKey() ? folderOf(host.get(), unsure) : nullptr;
    if (!entry->sortKey() || unsure) {
        // Such names can only be compared by the locale, one pair at a time.
        delete entry;
        return fileOneAtATime(record, url, parsed);
    }

    FiledAt same = folder ? documentKeys_.find(reinterpret_cast<uintptr_t>(folder), entry->sortKey()) : FiledAt{};
    if (!entryStays(model_, entry, same.folder ? folder->entryAt(same.index) : nullptr, record, ok))
        return ok;
    if (same.folder) {
        // The replacement is equal to the entry it replaces: its place and
        // its key in the table stay the same.
        folder->replaceAt(same.index, entry);
        folder->replaceFlags(kFolderMarkMask, FLAG_HIDEABLE);
        return true;
    }
    if (!folder) {
        folder = appendFolder(host.get());
        if (!folder) {
            delete entry;
            return false;
        }
    }
    int32_t index = folder->insertAt(folder->count(), entry);
    if (index < 0) {
        delete entry;
        return false;
    }
    if (!documentKeys_.add({folder, index})) {
        folder->removeAt(index);
        return false;
    }
    folder->replaceFlags(kFolderMarkMask, FLAG_HIDEABLE);
    return true;
}
