// What each view option lets through, and the order of the documents.
#include <string>
#include <vector>

#include "doctest.h"
#include "model/document_view.h"
#include "model_builder.h"

namespace {

// One folder with a document of every kind the filters tell apart.
struct MixedFolder {
    TestModel t;
    DomainFolder* folder = nullptr;

    MixedFolder() {
        t.file({"http://h/page.htm", "text/html"});
        t.file({"http://h/hidden.htm", "text/html"});
        t.file({"http://h/deleted.htm", "text/html"});
        t.file({"http://h/picture.gif", "image/gif"});
        t.file({"ftp://h/ftp.htm", "text/html"});
        t.file({"https://h/plain.txt", "text/plain"});
        t.entry("http://h/hidden.htm")->setFlags(FLAG_HIDDEN);
        t.entry("http://h/deleted.htm")->setFlags(FLAG_DELETED);
        folder = t.folder("h");
    }
};

std::vector<std::string> urlsOf(const DocumentView& view) {
    std::vector<std::string> urls;
    for (int32_t i = 0; i < view.count(); ++i)
        urls.push_back(view.entryAt(i)->url());
    return urls;
}

}  // namespace

TEST_CASE("visibleCount counts what each filter lets through") {
    MixedFolder m;
    REQUIRE(m.folder);
    const DomainFolder& folder = *m.folder;
    CHECK(visibleCount(folder, filterMask(0)) == 4);
    CHECK(visibleCount(folder, filterMask(OPTION_SHOW_ALL)) == 5);
    CHECK(visibleCount(folder, filterMask(OPTION_TEXT_ONLY)) == 3);
    CHECK(visibleCount(folder, filterMask(OPTION_WEB_ONLY)) == 3);
    CHECK(visibleCount(folder, filterMask(OPTION_TEXT_ONLY | OPTION_WEB_ONLY)) == 2);
    CHECK(visibleCount(folder, filterMask(OPTION_TEXT_ONLY | OPTION_WEB_ONLY | OPTION_SHOW_ALL)) == 5);
    // Bits of other view options change nothing.
    CHECK(visibleCount(folder, filterMask(0xC0)) == 4);
    CHECK(visibleCount(folder, 0) == 6);

    m.t.file({"http://pictures/a.gif", "image/gif"});
    m.t.file({"http://pictures/b.jpg", "image/jpeg"});
    const DomainFolder& pictures = *m.t.folder("pictures");
    CHECK(visibleCount(pictures, filterMask(OPTION_TEXT_ONLY)) == 0);
    CHECK(visibleCount(*m.t.model.cacheRoot, filterMask(0)) == 6);
    CHECK(visibleCount(*m.t.model.cacheRoot, filterMask(OPTION_TEXT_ONLY)) == 3);

    // A hidden folder hides all its documents, unless everything is shown.
    m.folder->setFlags(FLAG_HIDDEN);
    CHECK(visibleCount(folder, filterMask(0)) == 0);
    CHECK(visibleCount(*m.t.model.cacheRoot, filterMask(0)) == 2);
    CHECK(visibleCount(folder, filterMask(OPTION_SHOW_ALL)) == 5);
}

TEST_CASE("compareDocuments orders by each field, descending for negative keys") {
    TestModel t;
    t.file({"http://h/b.htm", "text/html", 300, "Z.htm", 10});
    t.file({"http://h/a.gif", "image/gif", 100, "y.gif", 20});
    t.file({"http://h/c.zip", "application/zip", 200, "X.zip", 20});
    const CacheEntry& b = *t.entry("http://h/b.htm");
    const CacheEntry& a = *t.entry("http://h/a.gif");
    const CacheEntry& c = *t.entry("http://h/c.zip");
    CHECK(compareDocuments(a, b, SORT_BY_TITLE) < 0);
    CHECK(compareDocuments(a, b, -SORT_BY_TITLE) > 0);
    CHECK(compareDocuments(c, a, SORT_BY_TYPE) < 0);
    CHECK(compareDocuments(a, b, SORT_BY_TYPE) < 0);
    CHECK(compareDocuments(b, b, SORT_BY_TYPE) == 0);
    CHECK(compareDocuments(b, c, SORT_BY_URL) < 0);
    CHECK(compareDocuments(c, a, SORT_BY_FILE) < 0);
    CHECK(compareDocuments(a, b, SORT_BY_FILE) < 0);
    CHECK(compareDocuments(b, a, SORT_BY_SIZE) < 0);
    CHECK(compareDocuments(a, c, SORT_BY_SIZE) == 0);
    CHECK(compareDocuments(a, c, SORT_BY_DATE) < 0);
    CHECK(compareDocuments(a, c, -SORT_BY_DATE) > 0);
    for (int32_t key : {0, 7, -7, 100}) {
        INFO(key);
        CHECK(compareDocuments(a, b, key) == 0);
    }
}

TEST_CASE("chooseSortKey flips the same field and starts another one ascending, the date newest first") {
    CHECK(chooseSortKey(SORT_BY_TITLE, SORT_BY_TITLE) == -SORT_BY_TITLE);
    CHECK(chooseSortKey(-SORT_BY_TITLE, SORT_BY_TITLE) == SORT_BY_TITLE);
    CHECK(chooseSortKey(SORT_BY_TITLE, SORT_BY_SIZE) == SORT_BY_SIZE);
    CHECK(chooseSortKey(-SORT_BY_URL, SORT_BY_TYPE) == SORT_BY_TYPE);
    CHECK(chooseSortKey(SORT_BY_TITLE, SORT_BY_DATE) == -SORT_BY_DATE);
    CHECK(chooseSortKey(-SORT_BY_DATE, SORT_BY_DATE) == SORT_BY_DATE);
}

TEST_CASE("a view holds the visible documents in sort order, equal ones in URL order") {
    MixedFolder m;
    DocumentView bySize(filterMask(OPTION_TEXT_ONLY), SORT_BY_SIZE);
    REQUIRE(fillView(bySize, *m.folder));
    // All sizes are 0: the folder's URL order stays.
    CHECK(urlsOf(bySize) == std::vector<std::string>{"ftp://h/ftp.htm", "http://h/page.htm", "https://h/plain.txt"});
    CHECK_FALSE(bySize.ownsItems());

    DocumentView byType(filterMask(OPTION_SHOW_ALL), -SORT_BY_TYPE);
    REQUIRE(fillView(byType, *m.folder));
    CHECK(urlsOf(byType) == std::vector<std::string>{"https://h/plain.txt", "ftp://h/ftp.htm", "http://h/hidden.htm",
                                                     "http://h/page.htm", "http://h/picture.gif"});

    // Refilling empties the view first; a folder list is walked folder by folder.
    m.t.file({"http://a/x.htm"});
    DocumentView all(filterMask(0), 0);
    REQUIRE(fillView(all, *m.t.model.cacheRoot));
    REQUIRE(fillView(all, *m.t.model.cacheRoot));
    CHECK(urlsOf(all) == std::vector<std::string>{"http://a/x.htm", "ftp://h/ftp.htm", "http://h/page.htm",
                                                  "http://h/picture.gif", "https://h/plain.txt"});
}
