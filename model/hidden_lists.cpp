#include "model/hidden_lists.h"

#include <cstring>
#include <memory>

#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "model/cache_model.h"

namespace {

// Names are gathered in folder order and sorted once at the end.
bool appendName(SortedCollection& list, const char* name) {
    return list.insertStringAt(list.count(), name) >= 0;
}

}  // namespace

bool isStorableHiddenName(const char* name) {
    auto trimmed = [](char c) { return (c >= 0x01 && c <= 0x20) || c == 0x1A; };
    size_t length = std::strlen(name);
    return length > 0 && !trimmed(name[0]) && !trimmed(name[length - 1]) && !std::strpbrk(name, "\r\n");
}

void applyHiddenLists(CacheModel& model) {
    FolderList& root = *model.cacheRoot;
    model.hiddenHosts->forEach([&](NamedItem* host) {
        SearchResult folder = root.searchKey(host->name());
        if (folder.found)
            root.folderAt(folder.index)->setFlags(FLAG_HIDDEN);
    });
    model.hiddenUrls->forEach([&](NamedItem* url) {
        FoundEntry found = findEntry(model, url->name());
        if (found.entry)
            found.entry->setFlags(FLAG_HIDDEN);
    });
}

bool hideDocument(CacheModel& model, CacheEntry& entry) {
    if (entry.hasAnyFlag(FLAG_HIDDEN) || !isStorableHiddenName(entry.url()))
        return true;
    entry.setFlags(FLAG_HIDDEN);
    return model.hiddenUrls->insertString(entry.url()) >= 0;
}

void showDocument(CacheModel& model, CacheEntry& entry) {
    entry.clearFlags(FLAG_HIDDEN);
    model.hiddenUrls->removeKey(entry.url());
}

bool hideHost(CacheModel& model, DomainFolder& folder) {
    // Like a document, a host hidden twice is named once: showing it again
    // must take its one name out of the list.
    if (folder.hasAnyFlag(FLAG_HIDDEN) || !isStorableHiddenName(folder.name()))
        return true;
    folder.setFlags(FLAG_HIDDEN);
    return model.hiddenHosts->insertString(folder.name()) >= 0;
}

void showHost(CacheModel& model, DomainFolder& folder) {
    folder.clearFlags(FLAG_HIDDEN);
    model.hiddenHosts->removeKey(folder.name());
}

void unhideAll(CacheModel& model) {
    model.hiddenHosts->clear();
    model.hiddenUrls->clear();
    model.cacheRoot->forEach([](NamedItem* folder) {
        folder->clearFlags(FLAG_HIDDEN);
        static_cast<DomainFolder*>(folder)->forEach([](NamedItem* entry) { entry->clearFlags(FLAG_HIDDEN); });
    });
}

bool rebuildHiddenLists(CacheModel& model) {
    std::unique_ptr<SortedCollection> hosts = makeNameList();
    std::unique_ptr<SortedCollection> urls = makeNameList();
    if (!hosts || !urls)
        return false;
    bool complete = true;
    model.cacheRoot->forEach([&](NamedItem* item) {
        DomainFolder* folder = static_cast<DomainFolder*>(item);
        if (folder->hasAnyFlag(FLAG_HIDDEN))
            complete = complete && appendName(*hosts, folder->name());
        folder->forEach([&](NamedItem* entry) {
            if (entry->hasAnyFlag(FLAG_HIDDEN))
                complete = complete && appendName(*urls, entry->name());
        });
    });
    if (!complete || !hosts->sortStable() || !urls->sortStable())
        return false;
    model.hiddenHosts = std::move(hosts);
    model.hiddenUrls = std::move(urls);
    return true;
}
