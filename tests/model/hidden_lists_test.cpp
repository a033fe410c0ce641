// Hiding and showing hosts and documents, and the lists that remember them.
#include <string>
#include <vector>

#include "doctest.h"
#include "hidden_lists_fixture.h"
#include "model/hidden_lists.h"

TEST_CASE("the lists mark hosts and documents in any letter case and keep names without a match") {
    TestModel t;
    fillTwoHosts(t);
    t.model.hiddenHosts->insertString("WWW.EXAMPLE.COM");
    t.model.hiddenHosts->insertString("gone.example.com");
    t.model.hiddenUrls->insertString("HTTP://OTHER.example.com/C.HTM");
    t.model.hiddenUrls->insertString("http://gone.example.com/x.htm");
    applyHiddenLists(t.model);
    CHECK(t.folder("www.example.com")->hasAnyFlag(FLAG_HIDDEN));
    CHECK_FALSE(t.entry("http://www.example.com/a.htm")->hasAnyFlag(FLAG_HIDDEN));
    CHECK(t.entry("http://other.example.com/c.htm")->hasAnyFlag(FLAG_HIDDEN));
    CHECK_FALSE(t.folder("other.example.com")->hasAnyFlag(FLAG_HIDDEN));
    CHECK(t.model.hiddenHosts->count() == 2);
    CHECK(t.model.hiddenUrls->count() == 2);
}

TEST_CASE("hiding twice remembers a name once, and showing forgets it") {
    TestModel t;
    fillTwoHosts(t);
    CacheEntry& a = *t.entry("http://www.example.com/a.htm");
    CHECK(hideDocument(t.model, a));
    CHECK(hideDocument(t.model, a));
    CHECK(a.hasAnyFlag(FLAG_HIDDEN));
    CHECK(namesOf(*t.model.hiddenUrls) == std::vector<std::string>{"http://www.example.com/a.htm"});
    showDocument(t.model, a);
    CHECK_FALSE(a.hasAnyFlag(FLAG_HIDDEN));
    CHECK(t.model.hiddenUrls->count() == 0);

    DomainFolder& host = *t.folder("www.example.com");
    CHECK(hideHost(t.model, host));
    CHECK(hideHost(t.model, host));
    CHECK(namesOf(*t.model.hiddenHosts) == std::vector<std::string>{"www.example.com"});
    showHost(t.model, host);
    CHECK_FALSE(host.hasAnyFlag(FLAG_HIDDEN));
    CHECK(t.model.hiddenHosts->count() == 0);

    // A name read from the file in other letter case is the one forgotten.
    t.model.hiddenUrls->insertString("HTTP://WWW.EXAMPLE.COM/B.HTM");
    applyHiddenLists(t.model);
    showDocument(t.model, *t.entry("http://www.example.com/b.htm"));
    CHECK(t.model.hiddenUrls->count() == 0);
}

TEST_CASE("unhiding all empties both lists and clears every mark") {
    TestModel t;
    fillTwoHosts(t);
    REQUIRE(hideHost(t.model, *t.folder("other.example.com")));
    REQUIRE(hideDocument(t.model, *t.entry("http://www.example.com/a.htm")));
    REQUIRE(hideDocument(t.model, *t.entry("http://other.example.com/c.htm")));
    t.model.hiddenHosts->insertString("gone.example.com");
    unhideAll(t.model);
    CHECK(t.model.hiddenHosts->count() == 0);
    CHECK(t.model.hiddenUrls->count() == 0);
    int marked = 0;
    t.model.cacheRoot->forEach([&](NamedItem* folder) { marked += folder->hasAnyFlag(FLAG_HIDDEN); });
    t.model.cacheRoot->forEachDeep([&](NamedItem* entry) { marked += entry->hasAnyFlag(FLAG_HIDDEN); });
    CHECK(marked == 0);
}

TEST_CASE("rebuilding the lists from the marks drops names no longer in the cache") {
    TestModel t;
    fillTwoHosts(t);
    t.model.hiddenHosts->insertString("gone.example.com");
    t.model.hiddenHosts->insertString("WWW.example.com");
    t.model.hiddenUrls->insertString("http://gone.example.com/x.htm");
    t.model.hiddenUrls->insertString("http://other.example.com/c.htm");
    applyHiddenLists(t.model);
    REQUIRE(hideDocument(t.model, *t.entry("http://www.example.com/b.htm")));
    REQUIRE(rebuildHiddenLists(t.model));
    // Names now come from the cache, as the cache writes them.
    CHECK(namesOf(*t.model.hiddenHosts) == std::vector<std::string>{"www.example.com"});
    CHECK(namesOf(*t.model.hiddenUrls) ==
          std::vector<std::string>{"http://other.example.com/c.htm", "http://www.example.com/b.htm"});
}
