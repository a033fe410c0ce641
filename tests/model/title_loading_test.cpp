// Titles and icons read from cached files, through reload with a cache
// written by the genuine hash library.
#include <string>

#include "doctest.h"
#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "loading_fixture.h"
#include "model/domain_folder.h"
#include "model/shell_icons.h"
#include "model_builder.h"
#include "support/temp_folder.h"
#include "support/wine_path.h"

namespace {

std::string loadingCache() {
    return winePath(std::string(TARN_BINARY_DIR) + "/tests/model/caches/loading");
}

std::string titleOfFile(const std::string& path) {
    char* title = extractTitle(path.c_str());
    std::string result = title ? title : "<none>";
    std::free(title);
    return result;
}

// A page whose "</title>" ends `end` bytes into the file.
std::string pageClosedAt(size_t end) {
    std::string page = "<title>Grenze</title>";
    return std::string(end - page.size(), ' ') + page + "\r\n<body>more</body>";
}

}  // namespace

TEST_CASE("extractTitle looks only at the first 1023 bytes of a file") {
    TempFolder pages("loading");
    pages.write("fits.htm", pageClosedAt(1023));
    pages.write("over.htm", pageClosedAt(1024));
    pages.write("empty.htm", "");
    pages.write("small.htm", "<TITLE>klein</TITLE>");
    CHECK(titleOfFile(pages.file("fits.htm")) == "Grenze");
    CHECK(titleOfFile(pages.file("over.htm")) == "<none>");
    CHECK(titleOfFile(pages.file("empty.htm")) == "<none>");
    CHECK(titleOfFile(pages.file("small.htm")) == "klein");
    CHECK(titleOfFile(pages.file("missing.htm")) == "<none>");
    CHECK(titleOfFile(pages.path()) == "<none>");
}

TEST_CASE("reload reads the index and loads titles and icons of every folder") {
    prepareLoading();
    TestModel built;
    CacheModel& model = built.model;
    model.cacheDirectory.assign(loadingCache().c_str());
    REQUIRE(model.hiddenHosts->insertString("HIDDEN.example") >= 0);
    RunWindow window;
    window.follow(model);

    REQUIRE(reload(model, window.notifier()) == MSG_OK);
    REQUIRE(window.pumpUntilEnded());
    REQUIRE(waitForThreadEnd(model));
    CHECK(window.count(WM_RUN_BEGINS) == 1);
    CHECK(window.messages().front() == RunMessage{WM_RUN_BEGINS, RUN_LOADING, 4});
    CHECK(window.count(WM_RUN_STEP) == 4);

    auto title = [&](const char* url) {
        CacheEntry* entry = built.entry(url);
        return entry ? std::string(entry->title()) : std::string("<no entry>");
    };
    auto pending = [&](const char* url) { return built.entry(url)->hasAnyFlag(FLAG_TITLE_PENDING); };

    CHECK(title("http://alpha.example/amp.htm") == "A & B");
    CHECK(title("http://alpha.example/blanks.htm") == "Erstes Zweites");
    CHECK(title("http://alpha.example/bold.htm") == "Fett und mager");
    CHECK(title("http://beta.example/refs.htm") == "<b> \xC4rger A \xD7");
    CHECK_FALSE(pending("http://beta.example/refs.htm"));

    // No complete title within the first 1023 bytes: the URL's title stays.
    CHECK(title("http://beta.example/late.htm") == "late.htm");
    CHECK(pending("http://beta.example/late.htm"));
    CHECK(title("http://beta.example/none.htm") == "none.htm");
    CHECK(pending("http://beta.example/none.htm"));

    CHECK(title("http://beta.example/empty.htm") == "");
    CHECK_FALSE(pending("http://beta.example/empty.htm"));

    // Plain text is never read for a title; a known type keeps its icon.
    CHECK(title("http://gamma.example/note.txt") == "note.txt");
    CHECK(built.entry("http://gamma.example/note.txt")->iconIndex() == 101);
    // An unknown type gets the shell's icon for its own file.
    CacheEntry* archive = built.entry("http://gamma.example/archive.zip");
    REQUIRE(archive);
    char path[MAX_PATH];
    REQUIRE(cachePath(model, path, sizeof path, archive->localFile()));
    CHECK(archive->iconIndex() == smallIconIndexOf(path));

    CHECK(built.folder("hidden.example")->hasAnyFlag(FLAG_HIDDEN));
    CHECK_FALSE(built.folder("alpha.example")->hasAnyFlag(FLAG_HIDDEN));

    SUBCASE("a second reload empties and refills the same folders") {
        DomainFolder* alpha = built.folder("alpha.example");
        REQUIRE(addEntry(*model.searchRoot, built.entry("http://alpha.example/amp.htm")).folder);
        window.expectAnotherRun();
        REQUIRE(reload(model, window.notifier()) == MSG_OK);
        CHECK(model.searchRoot->totalCount() == 0);
        CHECK(built.folder("alpha.example") == alpha);
        REQUIRE(window.pumpUntilEnded());
        REQUIRE(waitForThreadEnd(model));
        CHECK(window.count(WM_RUN_BEGINS) == 2);
        CHECK(window.count(WM_RUN_ENDED) == 2);
        CHECK(title("http://alpha.example/amp.htm") == "A & B");
        CHECK(isFolderLoaded(*alpha));
        CHECK(alpha->count() == 3);
    }
}

TEST_CASE("reload without an index reports it and starts no thread") {
    prepareLoading();
    TempFolder empty("loading");
    TestModel built;
    built.model.cacheDirectory.assign(empty.path().c_str());
    RunWindow window;
    CHECK(reload(built.model, window.notifier()) == MSG_NO_CACHE_DIRECTORY);
    CHECK(threadBusy(built.model) == RUN_NONE);
    CHECK(window.messages().empty());
}
