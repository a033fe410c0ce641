#include "search/find_walk.h"

#include <memory>
#include <new>

#include "core/text_helpers.h"
#include "index/cache_entry.h"
#include "model/document_view.h"
#include "model/domain_folder.h"
#include "settings/settings.h"

namespace {

bool documentMatches(const CacheEntry& entry, const FindQuery& query) {
    if ((query.options & OPTION_FIND_TITLES) && findTextNoCase(entry.title(), query.lowerText))
        return true;
    return (query.options & OPTION_FIND_URLS) && findTextNoCase(entry.url(), query.lowerText);
}

}  // namespace

FindHit findNext(DomainFolder& start, const CacheEntry* after, const FindQuery& query, FolderSequence& folders) {
    int32_t status;
    std::unique_ptr<DocumentView> view(
        checkCreated(new (std::nothrow) DocumentView(query.filterMask, query.sortKey), status));
    if (!view)
        return {MSG_OUT_OF_MEMORY, nullptr, nullptr};
    const bool searchDocuments = (query.options & (OPTION_FIND_URLS | OPTION_FIND_TITLES)) != 0;
    DomainFolder* folder = &start;
    for (;;) {
        if (searchDocuments) {
            // The view holds the folder's documents as the list shows them.
            // The position is the entry's own place in it: the list may order
            // documents with equal keys differently, so a list index would
            // name another document.
            if (!fillView(*view, *folder))
                return {MSG_OUT_OF_MEMORY, nullptr, nullptr};
            int32_t first = 0;
            if (after && folder == &start)
                first = view->indexOf(after) + 1;
            for (int32_t i = first; i < view->count(); ++i) {
                CacheEntry* entry = view->entryAt(i);
                if (documentMatches(*entry, query))
                    return {MSG_OK, folder, entry};
            }
        }
        folder = folders.nextFolder();
        if (!folder)
            return {MSG_FIND_FINISHED, nullptr, nullptr};
        if ((query.options & OPTION_FIND_HOSTS) && findTextNoCase(folder->name(), query.lowerText))
            return {MSG_OK, folder, nullptr};
    }
}
