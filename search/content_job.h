// What one content search works on. The worker thread reads the words and
// the candidates and fills `matches`, which nobody else touches until the
// main thread has the run's end; the results root is filed from it only
// then, so that the tree and the list never read a folder that is growing.
#pragma once

#include <memory>

#include "core/owned_text.h"
#include "core/sorted_collection.h"

class CacheModel;

struct ContentSearchJob {
    CacheModel* model = nullptr;
    OwnedText words;  // lower case, single spaces between the words
    // Neither collection owns its entries, which belong to the cache tree.
    std::unique_ptr<SortedCollection> candidates;
    std::unique_ptr<SortedCollection> matches;
    // A match that could not be kept for want of memory, or a worker that
    // could not start: the results are not all there are.
    bool matchLost = false;
};
