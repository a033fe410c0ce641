#include "model/index_filing.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/owned_text.h"
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

// Files a record whose URL (slashes only) is already parsed. `hosts`, when
// given, remembers the folders this scan has met.
bool fileParsedRecord(CacheModel& model, const IndexRecord& record, const char* url, const UrlLayout& parsed,
                      HostFolders* hosts) {
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

bool fileRecordAt(CacheModel& model, const IndexRecord& record, const char* url, HostFolders* hosts) {
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

bool IndexFiler::takeRecord(const IndexRecord& record) {
    return fileRecordAt(model_, record, record.url, &hostFolders_);
}
