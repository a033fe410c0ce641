// A content search run over a real cache: its messages, its matches, and the
// results root, which stays empty until the main thread files the matches.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "core/test_seam.h"
#include "doctest.h"
#include "index/cache_entry.h"
#include "model/cache_model.h"
#include "model/document_view.h"
#include "model/index_filing.h"
#include "model/loading.h"
#include "model/loading_fixture.h"
#include "search/content_search.h"
#include "support/wine_path.h"

namespace {

struct ScannedCache {
    CacheModel model{nullptr};
    bool read() {
        std::string folder = winePath(std::string(TARN_BINARY_DIR) + "/tests/search/caches/search");
        return model.status() == 0 && model.cacheDirectory.assign(folder.c_str()) && scanCacheIndex(model) == MSG_OK;
    }
    CacheEntry* entry(const char* url) const { return findEntry(model, url).entry; }
};

std::set<std::string> resultUrls(const CacheModel& model) {
    std::set<std::string> urls;
    model.searchRoot->forEachDeep([&](NamedItem* item) { urls.insert(item->name()); });
    return urls;
}

using Urls = std::set<std::string>;

}  // namespace

TEST_CASE("a search run reads every candidate once and files its matches at the end") {
    prepareLoading();
    ScannedCache cache;
    REQUIRE(cache.read());
    CacheModel& model = cache.model;
    RunWindow window;
    window.follow(model);
    std::unique_ptr<SortedCollection> candidates = makeCandidateSet();
    REQUIRE(candidates);
    REQUIRE(addCacheCandidates(*candidates, model));
    const int32_t count = candidates->count();
    // The picture-less fixture: everything but the binary file and the
    // missing one is text with a file.
    CHECK(count == 9);

    ContentSearch search;
    REQUIRE(search.start(model, window.notifier(), "tierpark leopard", std::move(candidates)) == MSG_OK);
    REQUIRE(window.pumpUntilEnded());
    CHECK(window.messages().front() == RunMessage{WM_RUN_BEGINS, RUN_CONTENT_SEARCH, count});
    CHECK(window.count(WM_RUN_STEP) == count);
    CHECK(window.messages().back().wParam == RUN_CONTENT_SEARCH);
    // Until the main thread takes them, the matches are the run's alone.
    CHECK(model.searchRoot->totalCount() == 0);

    REQUIRE(search.fileResults(model) == MSG_OK);
    search.pruneEmptyResults(model);
    // The hidden page matches too; the one whose words follow a NUL does not.
    CHECK(resultUrls(model) == Urls{"http://alpha.example.org/index.html", "http://gamma.example.net/versteckt.html"});
    CHECK(model.searchRoot->count() == 2);
    REQUIRE(waitForThreadEnd(model));

    SUBCASE("a new run empties the results first") {
        window.expectAnotherRun();
        std::unique_ptr<SortedCollection> none = makeCandidateSet();
        REQUIRE(search.start(model, window.notifier(), "leopard", std::move(none)) == MSG_OK);
        CHECK(model.searchRoot->totalCount() == 0);
        REQUIRE(window.pumpUntilEnded());
        REQUIRE(search.fileResults(model) == MSG_NOTHING_FOUND);
        search.pruneEmptyResults(model);
        CHECK(model.searchRoot->count() == 0);
    }
    SUBCASE("a worker that cannot start ends the run as one that ran out of memory") {
        window.expectAnotherRun();
        testSeam().refuseWorkerStart = true;
        std::unique_ptr<SortedCollection> some = makeCandidateSet();
        REQUIRE(addCacheCandidates(*some, model));
        REQUIRE(search.start(model, window.notifier(), "leopard", std::move(some)) == MSG_OK);
        testSeam().refuseWorkerStart = false;
        REQUIRE(window.pumpUntilEnded());
        CHECK_FALSE(model.run.inFlight());
        CHECK(search.fileResults(model) == MSG_OUT_OF_MEMORY);
        CHECK(model.searchRoot->totalCount() == 0);
    }
}
