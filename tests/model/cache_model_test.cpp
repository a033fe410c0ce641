// The model's folders and paths: domain order, labels, pruning, lookups and
// the bounded joins with the cache directory.
#include <cstring>
#include <string>

#include "core/file_paths.h"
#include "doctest.h"
#include "model/domain_folder.h"
#include "model_builder.h"

namespace {

// A model whose icons cannot be had.
class NoIcons : public FileTypeIcons {
public:
    bool findIcons(const char* const*, int32_t, int32_t*) override { return false; }
};

std::string label(const DomainFolder& folder, bool bySortOrder, size_t size = 260) {
    char out[260];
    folderDisplayName(folder, out, size, bySortOrder);
    return out;
}

}  // namespace

TEST_CASE("a new model holds the two roots, the known types and nothing else") {
    TestModel t;
    REQUIRE(t.model.status() == 0);
    CHECK(std::string(t.model.cacheRoot->name()) == "Netscape Cache");
    CHECK(t.model.cacheRoot->hasAnyFlag(FLAG_ROOT_SHOWN));
    CHECK(t.model.cacheRoot->ownsEntries());
    CHECK(std::string(t.model.searchRoot->name()) == "Suchergebnisse");
    CHECK_FALSE(t.model.searchRoot->ownsEntries());
    REQUIRE(t.model.mimeTypes->count() == 6);
    CHECK(std::string(t.model.mimeTypes->at(3)->name()) == "image/jpeg");
    CHECK(t.model.knownTypeIcons[5] == 105);
    CHECK(t.model.cacheDirectory.view()[0] == '\0');

    NoIcons none;
    CacheModel failed(&none);
    CHECK(failed.status() == -1);
}

TEST_CASE("folders sort by name or by host labels from the right; roots keep their places") {
    DomainFolder a(true, "a.x.s"), b(true, "b.y.t"), c(true, "C.x.s");
    CHECK(compareFolders(a, b, false) < 0);
    CHECK(compareFolders(b, c, false) < 0);
    CHECK(compareFolders(c, a, true) > 0);
    CHECK(compareFolders(c, b, true) < 0);
    CHECK(compareFolders(a, c, true) < 0);
    DomainFolder upper(true, "A.X.S");
    CHECK(compareFolders(a, upper, true) == 0);
    CHECK(compareFolders(a, upper, false) == 0);

    FolderList cache("Netscape Cache", true), results("Suchergebnisse", false);
    CHECK(compareFolders(results, cache, false) == 0);
    CHECK(compareFolders(cache, a, true) == 0);
    CHECK(compareFolders(a, results, false) == 0);

    CHECK(label(a, false) == "a.x.s");
    CHECK(label(a, true) == "s.x.a");
    CHECK(label(results, true) == "Suchergebnisse");
    CHECK(label(cache, false, 6) == "Netsc");
}

TEST_CASE("findEntry reports the host's folder even when the URL is not in it") {
    TestModel t;
    REQUIRE(t.file({"http://www.example.com/a.htm"}));
    FoundEntry hit = findEntry(t.model, "HTTP://WWW.EXAMPLE.COM/A.HTM");
    CHECK(hit.entry);
    CHECK(hit.folder == t.folder("www.example.com"));
    FoundEntry miss = findEntry(t.model, "http://www.example.com/b.htm");
    CHECK_FALSE(miss.entry);
    CHECK(miss.folder == t.folder("www.example.com"));
    FoundEntry elsewhere = findEntry(t.model, "http://other.example.com/a.htm");
    CHECK_FALSE(elsewhere.entry);
    CHECK_FALSE(elsewhere.folder);
    CHECK_FALSE(findEntry(t.model, "no host at all").folder);
}

TEST_CASE("search-result folders only point to entries, and empty folders are pruned") {
    TestModel t;
    REQUIRE(t.file({"http://a.example.com/1.htm"}));
    REQUIRE(t.file({"http://b.example.com/2.htm"}));
    CacheEntry* one = t.entry("http://a.example.com/1.htm");
    FiledEntry found = addEntry(*t.model.searchRoot, one);
    REQUIRE(found.folder);
    CHECK_FALSE(found.folder->ownsItems());
    CHECK_FALSE(found.folder->hasAnyFlag(FLAG_HIDEABLE));
    t.model.searchRoot->clear();
    CHECK(std::string(one->url()) == "http://a.example.com/1.htm");

    t.folder("a.example.com")->clear();
    pruneEmptyFolders(*t.model.cacheRoot);
    REQUIRE(t.model.cacheRoot->count() == 1);
    CHECK(std::string(t.model.cacheRoot->at(0)->name()) == "b.example.com");
}

TEST_CASE("paths into the cache directory never exceed their buffer or leave the directory") {
    TestModel t;
    char out[260];
    CHECK_FALSE(cachePath(t.model, out, sizeof out, "M0A.htm"));
    CHECK(out[0] == '\0');

    t.model.cacheDirectory.assign("C:\\cache");
    REQUIRE(cachePath(t.model, out, sizeof out, "M0A.htm"));
    CHECK(std::string(out) == "C:\\cache\\M0A.htm");
    t.model.cacheDirectory.assign("C:\\cache\\");
    REQUIRE(cachePath(t.model, out, sizeof out, "M0A.htm"));
    CHECK(std::string(out) == "C:\\cache\\M0A.htm");

    for (const char* unsafe : {"..\\boot.ini", "sub/x.htm", "C:x.htm", "a.htm:stream", "..", ".", ""}) {
        INFO(unsafe);
        std::strcpy(out, "junk");
        CHECK_FALSE(cachePath(t.model, out, sizeof out, unsafe));
        CHECK(out[0] == '\0');
    }

    // "C:\cache\" and 250 characters fill the buffer to its last byte; one
    // more does not fit.
    t.model.cacheDirectory.assign("C:\\cache");
    std::string name(250, 'n');
    REQUIRE(cachePath(t.model, out, sizeof out, name.c_str()));
    CHECK(std::strlen(out) == 259);
    name += 'n';
    char guarded[270];
    std::memset(guarded, 'G', sizeof guarded);
    CHECK_FALSE(cachePath(t.model, guarded, 260, name.c_str()));
    CHECK(guarded[0] == '\0');
    CHECK(guarded[260] == 'G');

    CHECK(joinPath(out, sizeof out, "D:", "FAT.DB"));
    CHECK(std::string(out) == "D:\\FAT.DB");
    CHECK_FALSE(joinPath(out, 10, "C:\\cache", "*.*"));
}
