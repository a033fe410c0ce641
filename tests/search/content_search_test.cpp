// Which documents a content search reads, and how its matches are filed.
#include <memory>
#include <string>
#include <vector>

#include "doctest.h"
#include "index/entry_flags.h"
#include "model/document_view.h"
#include "model/model_builder.h"
#include "search/content_match.h"
#include "search/content_search.h"

namespace {

struct SearchModel {
    TestModel t;
    SearchModel() {
        t.file({"http://a.example/page.htm", "text/html"});
        t.file({"http://a.example/hidden.htm", "text/html"});
        t.file({"http://a.example/notes.txt", "text/plain"});
        t.file({"http://a.example/picture.gif", "image/gif"});
        t.file({"http://a.example/gone.htm", "text/html"});
        t.file({"http://b.example/other.htm", "text/html"});
        t.entry("http://a.example/hidden.htm")->setFlags(FLAG_HIDDEN);
        t.entry("http://a.example/gone.htm")->setFlags(FLAG_DELETED);
    }
};

std::vector<std::string> urlsOf(const SortedCollection& documents) {
    std::vector<std::string> urls;
    documents.forEach([&](NamedItem* item) { urls.push_back(item->name()); });
    return urls;
}

using Urls = std::vector<std::string>;

}  // namespace

TEST_CASE("a search reads text documents with a file, hidden ones too") {
    SearchModel m;
    std::unique_ptr<SortedCollection> candidates = makeCandidateSet();
    REQUIRE(candidates);

    SUBCASE("a host folder gives all its text documents") {
        REQUIRE(addFolderCandidates(*candidates, *m.t.folder("a.example"), filterMask(0)));
        CHECK(urlsOf(*candidates) ==
              Urls{"http://a.example/hidden.htm", "http://a.example/notes.txt", "http://a.example/page.htm"});
    }
    SUBCASE("a root gives what its list shows") {
        REQUIRE(addFolderCandidates(*candidates, *m.t.model.cacheRoot, filterMask(0)));
        CHECK(urlsOf(*candidates) ==
              Urls{"http://a.example/notes.txt", "http://a.example/page.htm", "http://b.example/other.htm"});
        candidates->clear();
        REQUIRE(addFolderCandidates(*candidates, *m.t.model.cacheRoot, filterMask(OPTION_SHOW_ALL)));
        CHECK(candidates->count() == 4);
    }
    SUBCASE("the whole cache, folder by folder") {
        REQUIRE(addCacheCandidates(*candidates, m.t.model));
        CHECK(urlsOf(*candidates) == Urls{"http://a.example/hidden.htm", "http://a.example/notes.txt",
                                          "http://a.example/page.htm", "http://b.example/other.htm"});
    }
}

TEST_CASE("the matches of a run are filed by host only when the main thread takes them") {
    SearchModel m;
    CacheModel& model = m.t.model;
    // A folder left from an earlier search, emptied when the run began.
    addEntry(*model.searchRoot, m.t.entry("http://b.example/other.htm"));
    model.searchRoot->clearDeep();

    auto job = std::make_unique<ContentSearchJob>();
    job->matches = makeCandidateSet();
    REQUIRE(job->matches);
    job->matches->insertAt(0, m.t.entry("http://a.example/page.htm"));
    job->matches->insertAt(1, m.t.entry("http://a.example/hidden.htm"));
    model.contentSearch = std::move(job);

    CHECK(fileSearchResults(model) == MSG_OK);
    CHECK_FALSE(model.contentSearch);
    finishContentSearch(model);
    FolderList& results = *model.searchRoot;
    REQUIRE(results.count() == 1);
    CHECK(std::string(results.folderAt(0)->name()) == "a.example");
    CHECK(urlsOf(*results.folderAt(0)) == Urls{"http://a.example/hidden.htm", "http://a.example/page.htm"});
    // The results only point to the cache's entries.
    CHECK(results.folderAt(0)->entryAt(0) == m.t.entry("http://a.example/hidden.htm"));

    SUBCASE("a match the worker could not keep is reported") {
        auto lost = std::make_unique<ContentSearchJob>();
        lost->matches = makeCandidateSet();
        lost->matchLost = true;
        model.contentSearch = std::move(lost);
        CHECK(fileSearchResults(model) == MSG_OUT_OF_MEMORY);
    }
}
