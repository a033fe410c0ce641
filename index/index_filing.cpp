#include "index/index_filing.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/owned_text.h"
#include "extract/url.h"
#include "index/cache_entry.h"
#include "index/folded_names.h"
#include "model/cache_model.h"

namespace {

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

// Files a record whose URL (slashes only) is already parsed. `hosts`, when
// given, remembers the folders this scan has met.
bool fileParsedRecord(CacheModel& model, const IndexRecord& record, const char* url, const UrlLayout& parsed,
                      FoldedNameTable* hosts) {
    // Without a host no entry of the cache can have this URL, and without a
    // scheme or a host the record is dropped: nothing to replace either way.
    if (!parsed.scheme.present() || parsed.host.length == 0)
        return true;
    SpanText host(parsed.host);
    if (!host.get())
        return false;

    // The entry is made before the lookup so that the lookup can use its
    // sort key; its MIME type is only taken once the record is known to stay,
    // because a new type takes the next type index.
    int32_t status;
    CacheEntry* entry = checkCreated(
        new (std::nothrow) CacheEntry(record, url, parsed, model.unknownTitle()), status);
    if (!entry)
        return status != -1;

    FolderList& root = *model.cacheRoot;
    DomainFolder* folder = hosts ? static_cast<DomainFolder*>(hosts->find(host.get())) : nullptr;
    if (!folder) {
        SearchResult known = root.searchKey(host.get());
        if (known.found) {
            folder = root.folderAt(known.index);
            if (hosts)
                hosts->add(folder);
        }
    }
    SearchResult same{false, 0};
    if (folder) {
        same = folder->searchItem(*entry);
        if (same.found) {
            // With equal access times the record read later wins.
            if (folder->entryAt(same.index)->lastAccessed() > record.lastAccessed) {
                delete entry;
                return true;
            }
            folder->removeAt(same.index);
        }
    }

    if (!entry->bindMimeType(record.mimeType, *model.mimeTypes, model.knownTypeIcons)) {
        delete entry;
        return false;
    }
    if (folder) {
        // The folder holds no other entry equal to this one: its place is
        // the one the search gave.
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

bool fileRecordAt(CacheModel& model, const IndexRecord& record, const char* url, FoldedNameTable* hosts) {
    OwnedText normalized;
    if (!normalizeSlashes(url, normalized))
        return false;
    // The URL is laid out once for the entry's validity and title, the
    // lookup of an older record and the host folder.
    UrlLayout parsed;
    layoutUrl(parsed, url, false);
    return fileParsedRecord(model, record, url, parsed, hosts);
}

}  // namespace

bool addIndexRecord(CacheModel& model, const IndexRecord& record, const char* url) {
    return fileRecordAt(model, record, url, nullptr);
}

FoldedNameTable::~FoldedNameTable() {
    std::free(slots_);
}

bool FoldedNameTable::grow() {
    size_t capacity = capacity_ ? capacity_ * 2 : 64;
    if (capacity > SIZE_MAX / sizeof(NamedItem*))
        return false;
    NamedItem** slots = static_cast<NamedItem**>(std::calloc(capacity, sizeof(NamedItem*)));
    if (!slots)
        return false;
    for (size_t i = 0; i < capacity_; ++i) {
        if (!slots_[i])
            continue;
        size_t at = foldedHash(slots_[i]->name()) & (capacity - 1);
        while (slots[at])
            at = (at + 1) & (capacity - 1);
        slots[at] = slots_[i];
    }
    std::free(slots_);
    slots_ = slots;
    capacity_ = capacity;
    return true;
}

bool FoldedNameTable::add(NamedItem* item) {
    // At most half full, so that probes stay short.
    if ((used_ + 1) * 2 > capacity_ && !grow())
        return false;
    size_t at = foldedHash(item->name()) & (capacity_ - 1);
    while (slots_[at]) {
        if (foldedEqual(slots_[at]->name(), item->name()))
            return true;
        at = (at + 1) & (capacity_ - 1);
    }
    slots_[at] = item;
    ++used_;
    return true;
}

NamedItem* FoldedNameTable::find(const char* name) const {
    if (!capacity_)
        return nullptr;
    size_t at = foldedHash(name) & (capacity_ - 1);
    while (slots_[at]) {
        if (foldedEqual(slots_[at]->name(), name))
            return slots_[at];
        at = (at + 1) & (capacity_ - 1);
    }
    return nullptr;
}

IndexFiler::IndexFiler(CacheModel& model, CacheDirectoryFiles& files) : model_(model), files_(files) {}

bool IndexFiler::fileRecord(const IndexRecord& record) {
    switch (files_.find(record.localFile)) {
    case CacheDirectoryFiles::ABSENT:
        return true;
    case CacheDirectoryFiles::OUT_OF_MEMORY:
        return false;
    case CacheDirectoryFiles::PRESENT:
        break;
    }
    return fileRecordAt(model_, record, record.url, &hostFolders_);
}

bool IndexFiler::filePage(const unsigned char* page, size_t size) {
    IndexPageReader reader(page, size);
    IndexRecord record;
    while (reader.next(record)) {
        if (!fileRecord(record))
            return false;
    }
    return true;
}
