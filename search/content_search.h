// "Inhalte suchen": reading the cached files of the chosen documents on the
// background thread, and filing those that hold every word under the results
// root "Suchergebnisse", grouped by host.
//
// The worker collects its matches in the run's own job; the results root is
// emptied when a run starts and filled on the main thread only when the run
// has ended, so the tree and the list never walk a folder the worker changes.
#pragma once

#include <cstdint>
#include <memory>

#include "core/message_code.h"
#include "core/sorted_collection.h"

class CacheEntry;
class CacheModel;
class DomainFolder;
class ModelNotifier;

// An empty candidate set (in the order the documents are added, pointing to
// entries it does not own); null when memory ran out.
std::unique_ptr<SortedCollection> makeCandidateSet();

// Each adds the documents that pass isSearchCandidate, in order; false when
// memory ran out.
bool addCandidate(SortedCollection& candidates, CacheEntry& entry);
// A host folder gives all its documents, shown or not. A root gives the
// documents the list shows for it (those `filterMask` lets through, of all
// its host folders): a user who searches "the current folder" with a root
// selected means what they see there.
bool addFolderCandidates(SortedCollection& candidates, const DomainFolder& folder, uint32_t filterMask);
// Every document of the cache, folder by folder.
bool addCacheCandidates(SortedCollection& candidates, const CacheModel& model);

struct ContentSearchJob;

// The program's content searches, one at a time on the model's background
// run. The job of a run lives here from its start until the main thread has
// handled its end.
class ContentSearch {
public:
    ContentSearch();
    ~ContentSearch();
    ContentSearch(const ContentSearch&) = delete;
    ContentSearch& operator=(const ContentSearch&) = delete;

    // Starts a run over `candidates` for `lowerText` (lower case,
    // normalised), reporting to `notifier`: empties the results root, sends
    // WM_RUN_BEGINS with one step per candidate and starts the worker. A
    // worker that cannot start ends the run at once, as one that ran out of
    // memory. While another run is in flight nothing happens and MSG_OK is
    // returned; MSG_OUT_OF_MEMORY when the run's job cannot be made (nothing
    // started then).
    MessageCode start(CacheModel& model, ModelNotifier& notifier, const char* lowerText,
                      std::unique_ptr<SortedCollection> candidates);

    // The main thread's part of the run's end, before the views are
    // refreshed: files the matches into the results root, which no longer
    // stays shown while empty, and lets go of the run's job.
    // MSG_NOTHING_FOUND when the root holds no document then,
    // MSG_OUT_OF_MEMORY when a match could not be kept or filed.
    MessageCode fileResults(CacheModel& model);

    // After the views are refreshed: removes the results folders left empty.
    void pruneEmptyResults(CacheModel& model);

private:
    std::unique_ptr<ContentSearchJob> job_;
};

// Whether the cached file of `entry` holds every word of `lowerText`. A file
// that cannot be read does not match.
bool documentContainsAll(const CacheModel& model, const CacheEntry& entry, const char* lowerText);
