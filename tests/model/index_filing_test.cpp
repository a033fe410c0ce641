// Filing index records into the model: what an entry takes from its record,
// which of two records for one URL stays, and which host folder it joins.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/owned_text.h"
#include "core/text_locale.h"
#include "doctest.h"
#include "index/index_page_builder.h"
#include "../model/model_builder.h"

namespace {

std::string str(const char* text) {
    return text ? text : "(null)";
}

}  // namespace

TEST_CASE("an entry takes its fields, title and marks from its record") {
    TestModel t;
    Doc page{"http://www.example.com/dir/page.htm", "text/html", 838000000, "M0A10000.htm", 4321};
    REQUIRE(t.file(page));
    CacheEntry* e = t.entry("http://www.example.com/dir/page.htm");
    REQUIRE(e);
    CHECK(str(e->title()) == "page.htm");
    CHECK(str(e->localFile()) == "M0A10000.htm");
    CHECK(e->contentLength() == 4321);
    CHECK(e->lastAccessed() == 838000000);
    CHECK(e->time(TIME_LAST_ACCESSED) == 838000000);
    CHECK(e->time(3) == 0);
    CHECK(e->mimeIndex() == 0);
    CHECK(e->iconIndex() == 100);
    CHECK(e->flags() == (FLAG_HIDEABLE | FLAG_TITLE_PENDING));

    REQUIRE(t.file({"http://www.example.com/dir/", "text/html"}));
    CHECK(str(t.entry("http://www.example.com/dir/")->title()) == "(Unbekannt)");

    REQUIRE(t.file({"HTTP://CAPS.example.com/a.txt", "text/plain"}));
    REQUIRE(t.file({"https://secure.example.com/b.gif", "image/gif"}));
    REQUIRE(t.file({"ftp://ftp.example.com/c.htm"}));
    REQUIRE(t.file({"gopher://gopher.example.com/1/d"}));
    CacheEntry* text = t.entry("http://caps.example.com/a.txt");
    REQUIRE(text);
    CHECK_FALSE(text->hasAnyFlag(FLAG_NOT_WEB | FLAG_NOT_TEXT));
    CacheEntry* picture = t.entry("https://secure.example.com/b.gif");
    REQUIRE(picture);
    CHECK_FALSE(picture->hasAnyFlag(FLAG_NOT_WEB));
    CHECK(picture->hasAnyFlag(FLAG_NOT_TEXT));
    CHECK(picture->iconIndex() == 102);
    CHECK(t.entry("ftp://ftp.example.com/c.htm")->hasAnyFlag(FLAG_NOT_WEB));
    CHECK(t.entry("gopher://gopher.example.com/1/d")->hasAnyFlag(FLAG_NOT_WEB));
}

TEST_CASE("MIME types match case-insensitively and new ones are numbered as they appear") {
    TestModel t;
    REQUIRE(t.file({"http://h/a", "TEXT/HTML"}));
    REQUIRE(t.file({"http://h/b", "audio/x-wav"}));
    REQUIRE(t.file({"http://h/c", "Application/ZIP"}));
    REQUIRE(t.file({"http://h/d", "application/zip"}));
    REQUIRE(t.file({"http://h/e", "image/XBM"}));
    CacheEntry* html = t.entry("http://h/a");
    CHECK(html->mimeIndex() == 0);
    CHECK(str(html->mimeType()) == "text/html");
    CHECK(t.entry("http://h/b")->mimeIndex() == 6);
    CHECK(t.entry("http://h/b")->iconIndex() == 0);
    CHECK(t.entry("http://h/c")->mimeIndex() == 7);
    CHECK(t.entry("http://h/d")->mimeIndex() == 7);
    CHECK(str(t.entry("http://h/d")->mimeType()) == "Application/ZIP");
    CHECK(t.entry("http://h/e")->mimeIndex() == 5);
    CHECK(t.entry("http://h/e")->iconIndex() == 105);
    CHECK(t.model.mimeTypes->count() == 8);
}

TEST_CASE("of two records for one URL the one accessed later stays, on a tie the one read later") {
    SUBCASE("newer first") {
        TestModel t;
        REQUIRE(t.file({"http://h/page.htm", "text/html", 200, "NEW.htm"}));
        REQUIRE(t.file({"http://h/page.htm", "text/html", 100, "OLD.htm"}));
        CHECK(str(t.entry("http://h/page.htm")->localFile()) == "NEW.htm");
        CHECK(t.model.cacheRoot->totalCount() == 1);
    }
    SUBCASE("newer second, the URL in other letter case") {
        TestModel t;
        REQUIRE(t.file({"http://h/page.htm", "text/html", 100, "OLD.htm"}));
        REQUIRE(t.file({"HTTP://H/PAGE.HTM", "text/html", 200, "NEW.htm"}));
        CacheEntry* e = t.entry("http://h/page.htm");
        REQUIRE(e);
        CHECK(str(e->url()) == "HTTP://H/PAGE.HTM");
        CHECK(t.model.cacheRoot->totalCount() == 1);
    }
    SUBCASE("equal times") {
        TestModel t;
        REQUIRE(t.file({"http://h/page.htm", "text/html", 300, "FIRST.htm"}));
        REQUIRE(t.file({"http://h/Page.htm", "text/html", 300, "SECOND.htm"}));
        CHECK(str(t.entry("http://h/page.htm")->localFile()) == "SECOND.htm");
        CHECK(t.model.cacheRoot->totalCount() == 1);
    }
    SUBCASE("access times compare as signed numbers") {
        TestModel t;
        REQUIRE(t.file({"http://h/page.htm", "text/html", 5, "POSITIVE.htm"}));
        REQUIRE(t.file({"http://h/page.htm", "text/html", -5, "NEGATIVE.htm"}));
        CHECK(str(t.entry("http://h/page.htm")->localFile()) == "POSITIVE.htm");
    }
    SUBCASE("a record that loses takes no type index") {
        TestModel t;
        REQUIRE(t.file({"http://h/page.htm", "text/html", 200}));
        REQUIRE(t.file({"http://h/page.htm", "video/mpeg", 100}));
        REQUIRE(t.file({"http://h/other.htm", "audio/basic", 100}));
        CHECK(t.entry("http://h/other.htm")->mimeIndex() == 6);
    }
}

TEST_CASE("URLs without scheme or host are dropped; backslashes become slashes") {
    TestModel t;
    CHECK(t.file({"www.noscheme.com/page.htm"}));
    CHECK(t.file({"news:comp.infosystems.www"}));
    CHECK(t.file({"http:///nohost.htm"}));
    CHECK(t.model.cacheRoot->totalCount() == 0);

    REQUIRE(t.file({"http:\\\\back.example.com\\dir\\page.htm"}));
    CacheEntry* e = t.entry("http://back.example.com/dir/page.htm");
    REQUIRE(e);
    CHECK(str(e->url()) == "http://back.example.com/dir/page.htm");
    CHECK(str(e->title()) == "page.htm");
    CHECK(t.folder("back.example.com"));
}

TEST_CASE("a host's documents share one folder, named as the first URL filed wrote the host") {
    TestModel t;
    REQUIRE(t.file({"http://WWW.Example.com/b.htm"}));
    REQUIRE(t.file({"http://www.example.com:8080/c.htm"}));
    REQUIRE(t.file({"http://guest@www.EXAMPLE.com/a.htm"}));
    REQUIRE(t.file({"http://other.example.com/x.htm"}));
    FolderList& root = *t.model.cacheRoot;
    REQUIRE(root.count() == 2);
    DomainFolder* folder = t.folder("www.example.com");
    REQUIRE(folder);
    CHECK(str(folder->name()) == "WWW.Example.com");
    CHECK(folder->hasAnyFlag(FLAG_HIDEABLE));
    REQUIRE(folder->count() == 3);
    // URL order inside the folder.
    CHECK(str(folder->entryAt(0)->url()) == "http://guest@www.EXAMPLE.com/a.htm");
    CHECK(str(folder->entryAt(1)->url()) == "http://WWW.Example.com/b.htm");
    CHECK(str(folder->entryAt(2)->url()) == "http://www.example.com:8080/c.htm");
    CHECK(str(root.at(0)->name()) == "other.example.com");
}

TEST_CASE("a page's records are filed when their file is in the listing, in any letter case") {
    TestModel t;
    CacheDirectoryFiles listing;
    listing.add("M0A.htm");
    listing.add("m0b.GIF");
    RecordFields a, b, c;
    a.localFile = "M0A.htm";
    b.localFile = "M0B.gif";
    b.mimeType = "image/gif";
    c.localFile = "M0C.htm";
    Bytes page = PageBuilder(1024)
                     .addDocument("http://Host/a.htm", a)
                     .addDocument("http://HOST/b.gif", b)
                     .addDocument("http://host/c.htm", c)
                     .build();
    IndexFiler filer(t.model);
    REQUIRE(passExistingRecords(page.data(), page.size(), listing, filer));
    CHECK(t.entry("http://host/a.htm"));
    CHECK(t.entry("http://host/b.gif"));
    CHECK_FALSE(t.entry("http://host/c.htm"));
    REQUIRE(t.model.cacheRoot->count() == 1);
    CHECK(str(t.model.cacheRoot->at(0)->name()) == "Host");
    CHECK(t.model.cacheRoot->totalCount() == 2);

    // A second page of the same scan meets the folder again in other case.
    Bytes more = PageBuilder(1024).addDocument("http://hOsT/a.htm", a).build();
    REQUIRE(passExistingRecords(more.data(), more.size(), listing, filer));
    CHECK(t.model.cacheRoot->count() == 1);
    CHECK(str(t.entry("http://host/a.htm")->url()) == "http://hOsT/a.htm");
}

TEST_CASE("names found by their letters are the ones a case-insensitive search finds") {
    SortedCollection names(10, 10, true, true, false);
    IndexFiler::HostFolders table;
    const char* stored[] = {"M0A10000.htm", "Www.Example.COM", "a-b", "ab", "x"};
    for (const char* name : stored)
        names.insertString(name);
    for (int32_t i = 0; i < names.count(); ++i)
        REQUIRE(table.add(names.at(i)));
    for (int round = 0; round < 200; ++round)
        REQUIRE(table.add(names.at(round % names.count())));
    CHECK(table.find("m0a10000.HTM") == names.at(names.searchKey("M0A10000.htm").index));
    CHECK(table.find("www.example.com") == names.at(names.searchKey("Www.Example.COM").index));
    CHECK(table.find("a-b") != table.find("ab"));
    CHECK_FALSE(table.find("a"));
    CHECK_FALSE(table.find("M0A10000.htmx"));
    CHECK_FALSE(table.find(""));
    IndexFiler::HostFolders empty;
    CHECK_FALSE(empty.find("x"));
}

TEST_CASE("a loaded title is published once and replaces the URL's name") {
    TestModel t;
    REQUIRE(t.file({"http://h/page.htm"}));
    CacheEntry* e = t.entry("http://h/page.htm");
    const char* first = e->title();
    CHECK(e->publishTitle(duplicateText("Die Seite")));
    CHECK(str(e->title()) == "Die Seite");
    CHECK_FALSE(e->hasAnyFlag(FLAG_TITLE_PENDING));
    // The title made from the URL stays readable for whoever still holds it.
    CHECK(str(first) == "page.htm");
    CHECK_FALSE(e->publishTitle(duplicateText("Andere")));
    CHECK(str(e->title()) == "Die Seite");
    CHECK_FALSE(e->publishTitle(nullptr));
}

namespace {

// Records of a few hosts with many duplicate URLs (in other letter case, at
// few distinct access times, so that ties are common) and a pool of MIME
// types, some met first in records that lose.
std::vector<Doc> randomRecords(unsigned seed, int count, int hosts) {
    static const char* const kHosts[] = {"h", "WWW.Example.com", "www.example.com:8080", "gast@www.EXAMPLE.com",
                                         "b.org", "B.ORG", "194.77.0.1", "x.de"};
    static const char* const kTypes[] = {"text/html", "image/GIF", "TEXT/PLAIN", "image/jpeg", "x/a", "X/A"};
    std::vector<Doc> docs;
    unsigned state = seed;
    auto next = [&state](unsigned range) {
        state = state * 1103515245u + 12345u;
        return (state >> 8) % range;
    };
    char text[80];
    for (int i = 0; i < count; ++i) {
        Doc doc;
        std::snprintf(text, sizeof text, "%s://%s/d%u/P%u.htm", next(8) ? "http" : "HTTP",
                      kHosts[next(static_cast<unsigned>(hosts))], next(3), next(hosts == 1 ? 500 : 60));
        doc.url = text;
        if (next(2))
            lowerText(&doc.url[0]);
        if (next(50) == 0)
            doc.url = "news:no.host";
        unsigned type = next(10);
        if (type < 6) {
            doc.mimeType = kTypes[type];
        } else {
            std::snprintf(text, sizeof text, "application/x-%u", next(40));
            doc.mimeType = text;
        }
        doc.lastAccessed = static_cast<int32_t>(next(6)) - 2;
        std::snprintf(text, sizeof text, "F%05d.htm", i);
        doc.localFile = text;
        docs.push_back(doc);
    }
    return docs;
}

// Everything a scan leaves in the model, in order.
std::string describe(const CacheModel& model) {
    std::string out;
    for (int32_t i = 0; i < model.mimeTypes->count(); ++i)
        out += std::string(model.mimeTypes->at(i)->name()) + "\n";
    const FolderList& root = *model.cacheRoot;
    for (int32_t i = 0; i < root.count(); ++i) {
        const DomainFolder& folder = *root.folderAt(i);
        out += "[" + std::string(folder.name()) + " " + std::to_string(folder.flags()) + "]\n";
        for (int32_t j = 0; j < folder.count(); ++j) {
            const CacheEntry& e = *folder.entryAt(j);
            out += std::string(e.url()) + " " + e.localFile() + " " + e.mimeType() + " " +
                   std::to_string(e.mimeIndex()) + " " + std::to_string(e.lastAccessed()) + " " +
                   std::to_string(e.flags()) + "\n";
        }
    }
    return out;
}

IndexRecord recordOf(const Doc& doc) {
    IndexRecord record{};
    record.url = doc.url.c_str();
    record.localFile = doc.localFile.c_str();
    record.mimeType = doc.mimeType.c_str();
    record.lastAccessed = doc.lastAccessed;
    return record;
}

}  // namespace

TEST_CASE("a scan's filing leaves the model exactly as filing its records one by one") {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        INFO("seed " << seed);
        int hosts = seed % 3 == 0 ? 1 : 8;
        std::vector<Doc> before = randomRecords(seed * 7919u, seed % 2 ? 0 : 150, hosts);
        std::vector<Doc> docs = randomRecords(seed, 2500, hosts);

        TestModel oneByOne;
        TestModel scanned;
        // A model may hold documents before the scan; both start alike.
        for (const Doc& doc : before) {
            REQUIRE(oneByOne.file(doc));
            REQUIRE(scanned.file(doc));
        }
        for (const Doc& doc : docs)
            REQUIRE(oneByOne.file(doc));
        {
            IndexFiler filer(scanned.model);
            for (const Doc& doc : docs)
                REQUIRE(filer.takeRecord(recordOf(doc)));
            filer.finish();
            // Records after the end of the filing go one by one.
            REQUIRE(filer.takeRecord(recordOf(docs.front())));
            REQUIRE(oneByOne.file(docs.front()));
        }
        REQUIRE(oneByOne.model.cacheRoot->count() == scanned.model.cacheRoot->count());
        CHECK(describe(scanned.model) == describe(oneByOne.model));
    }

    // URLs that part one at a time, further and further in: "http://h/b",
    // "http://h/aaaaaaaaab", "http://h/aaaaaaaaaaaaaaaaaab", ...
    std::vector<Doc> alike;
    for (int i = 0; i < 80; ++i) {
        Doc doc;
        doc.url = "http://h/" + std::string(static_cast<size_t>(9 * ((i * 37) % 80)), 'a') + "b";
        alike.push_back(doc);
    }
    TestModel oneByOne;
    TestModel scanned;
    IndexFiler filer(scanned.model);
    for (const Doc& doc : alike) {
        REQUIRE(oneByOne.file(doc));
        REQUIRE(filer.takeRecord(recordOf(doc)));
    }
    filer.finish();
    CHECK(describe(scanned.model) == describe(oneByOne.model));
}
