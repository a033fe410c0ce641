#include "search/content_search.h"

#include <new>
#include <utility>

#include "index/cache_entry.h"
#include "model/cache_model.h"
#include "model/document_view.h"
#include "model/domain_folder.h"
#include "index/entry_flags.h"
#include "search/content_job.h"
#include "search/content_match.h"

std::unique_ptr<SortedCollection> makeCandidateSet() {
    return makeReferenceList();
}

bool addCandidate(SortedCollection& candidates, CacheEntry& entry) {
    return !isSearchCandidate(entry) || candidates.insertAt(candidates.count(), &entry) >= 0;
}

bool addFolderCandidates(SortedCollection& candidates, const DomainFolder& folder, uint32_t filterMask) {
    const bool root = folder.isNested();
    bool complete = true;
    folder.forEachDeep([&](NamedItem* item) {
        if (complete && (!root || !item->hasAnyFlag(filterMask)))
            complete = addCandidate(candidates, *static_cast<CacheEntry*>(item));
    });
    return complete;
}

bool addCacheCandidates(SortedCollection& candidates, const CacheModel& model) {
    bool complete = true;
    model.cacheRoot->forEachDeep([&](NamedItem* item) {
        if (complete)
            complete = addCandidate(candidates, *static_cast<CacheEntry*>(item));
    });
    return complete;
}

ContentSearch::ContentSearch() = default;
ContentSearch::~ContentSearch() = default;

MessageCode ContentSearch::fileResults(CacheModel& model) {
    model.searchRoot->clearFlags(FLAG_ROOT_SHOWN);
    std::unique_ptr<ContentSearchJob> job = std::move(job_);
    bool complete = !job || !job->matchLost;
    if (job) {
        job->matches->forEach([&](NamedItem* item) {
            if (addEntry(*model.searchRoot, static_cast<CacheEntry*>(item)).index < 0)
                complete = false;
        });
    }
    if (!complete)
        return MSG_OUT_OF_MEMORY;
    return model.searchRoot->totalCount() == 0 ? MSG_NOTHING_FOUND : MSG_OK;
}

void ContentSearch::pruneEmptyResults(CacheModel& model) {
    pruneEmptyFolders(*model.searchRoot);
}
