// The hidden lists in "TARN.INI", through the profile functions of the Wine
// prefix; each test starts with both sections gone.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "doctest.h"
#include "hidden_lists_fixture.h"
#include "model/hidden_lists.h"

namespace {

const char kFile[] = "TARN.INI";
const char kHosts[] = "Hidden Hosts";
const char kUrls[] = "Hidden Files";

// Both sections gone while the test runs and after it, whatever it left.
class ClearedProfile {
public:
    ClearedProfile() { clear(); }
    ~ClearedProfile() { clear(); }
    ClearedProfile(const ClearedProfile&) = delete;
    ClearedProfile& operator=(const ClearedProfile&) = delete;

private:
    static void clear() {
        WritePrivateProfileStringA(kHosts, nullptr, nullptr, kFile);
        WritePrivateProfileStringA(kUrls, nullptr, nullptr, kFile);
    }
};

void writeKey(const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, kFile);
}

// The values of F0, F1, ... up to the first missing one.
std::vector<std::string> storedNames(const char* section) {
    std::vector<std::string> names;
    for (int n = 0;; ++n) {
        char key[16], value[600];
        wsprintfA(key, "F%d", n);
        if (GetPrivateProfileStringA(section, key, "", value, sizeof value, kFile) == 0)
            return names;
        names.push_back(value);
    }
}

// A cache after a complete scan.
void fillScanned(TestModel& t) {
    fillTwoHosts(t);
    t.model.lastScanComplete = true;
}

}  // namespace

TEST_CASE("the lists are read from F0 up to the first missing or empty key") {
    ClearedProfile profile;
    {
        TestModel t;
        CHECK(loadHiddenLists(t.model) == MSG_OK);
        CHECK(t.model.hiddenHosts->count() == 0);
        CHECK(t.model.hiddenUrls->count() == 0);
    }
    writeKey(kHosts, "F0", "zeta.example.com");
    writeKey(kHosts, "F1", "Alpha.example.com");
    writeKey(kHosts, "F3", "never.example.com");
    writeKey(kUrls, "F0", "");
    writeKey(kUrls, "F1", "http://never.example.com/");
    {
        TestModel t;
        CHECK(loadHiddenLists(t.model) == MSG_OK);
        CHECK(namesOf(*t.model.hiddenHosts) == std::vector<std::string>{"Alpha.example.com", "zeta.example.com"});
        CHECK(t.model.hiddenUrls->count() == 0);
        CHECK(t.model.status() == 0);
    }
}

TEST_CASE("after a complete scan the marked names are written in order, vanished ones dropped") {
    ClearedProfile profile;
    writeKey(kHosts, "F0", "gone.example.com");
    writeKey(kHosts, "F1", "OTHER.example.com");
    writeKey(kUrls, "F0", "http://gone.example.com/x.htm");
    {
        TestModel t;
        REQUIRE(loadHiddenLists(t.model) == MSG_OK);
        fillScanned(t);
        applyHiddenLists(t.model);
        REQUIRE(hideDocument(t.model, *t.entry("http://www.example.com/b.htm")));
        REQUIRE(hideDocument(t.model, *t.entry("http://www.example.com/a.htm")));
        CHECK(saveHiddenLists(t.model) == MSG_OK);
    }
    CHECK(storedNames(kHosts) == std::vector<std::string>{"other.example.com"});
    CHECK(storedNames(kUrls) ==
          std::vector<std::string>{"http://www.example.com/a.htm", "http://www.example.com/b.htm"});

    // The next run reads back what this one hid.
    TestModel next;
    REQUIRE(loadHiddenLists(next.model) == MSG_OK);
    fillScanned(next);
    applyHiddenLists(next.model);
    CHECK(next.folder("other.example.com")->hasAnyFlag(FLAG_HIDDEN));
    CHECK(next.entry("http://www.example.com/a.htm")->hasAnyFlag(FLAG_HIDDEN));
    CHECK_FALSE(next.folder("www.example.com")->hasAnyFlag(FLAG_HIDDEN));

    // After unhiding all, both sections are written empty.
    unhideAll(next.model);
    CHECK(saveHiddenLists(next.model) == MSG_OK);
    CHECK(storedNames(kHosts).empty());
    CHECK(storedNames(kUrls).empty());
}

TEST_CASE("after a failed scan the lists are written as they are held, losing no name") {
    ClearedProfile profile;
    writeKey(kHosts, "F0", "a.example.com");
    writeKey(kHosts, "F1", "b.example.com");
    writeKey(kUrls, "F0", "http://a.example.com/x.htm");
    TestModel t;
    REQUIRE(loadHiddenLists(t.model) == MSG_OK);
    // No cache directory this time: the scan failed and the tree is empty.
    CHECK_FALSE(t.model.lastScanComplete);
    t.model.hiddenHosts->removeKey("b.example.com");
    CHECK(saveHiddenLists(t.model) == MSG_OK);
    CHECK(storedNames(kHosts) == std::vector<std::string>{"a.example.com"});
    CHECK(storedNames(kUrls) == std::vector<std::string>{"http://a.example.com/x.htm"});
}

TEST_CASE("a name comes back as it was hidden, or is never hidden; the keys stay without gaps") {
    ClearedProfile profile;
    const std::string longName = "http://a.example.com/" + std::string(2000, 'x') + ".htm";
    const std::vector<std::string> kept = {
        "\"http://a.example.com/quoted\"", "'http://a.example.com/single'", "http://a.example.com/?a=b;c=d",
        "http://a.example.com/[Hidden Hosts]", "http://a.example.com/M\xFC""ller", longName};
    const std::vector<std::string> refused = {
        "http://b.example.com/\r\n[Hidden Hosts]\r\nF0=evil.example.com", " http://b.example.com/lead",
        "http://b.example.com/trail\t", ""};
    {
        TestModel t;
        for (const std::string& name : kept)
            t.model.hiddenUrls->insertString(name.c_str());
        for (const std::string& name : refused)
            t.model.hiddenUrls->insertString(name.c_str());
        CHECK(saveHiddenLists(t.model) == MSG_OK);
    }
    TestModel next;
    REQUIRE(loadHiddenLists(next.model) == MSG_OK);
    std::vector<std::string> expected = kept;
    std::vector<std::string> read = namesOf(*next.model.hiddenUrls);
    std::sort(expected.begin(), expected.end());
    std::sort(read.begin(), read.end());
    CHECK(read == expected);
    CHECK(next.model.hiddenHosts->count() == 0);

    // Such a name is refused when it is hidden, so that nothing hidden
    // shows again at the next start.
    next.file({"http://b.example.com/trail "});
    CacheEntry& entry = *next.entry("http://b.example.com/trail ");
    CHECK(hideDocument(next.model, entry));
    CHECK_FALSE(entry.hasAnyFlag(FLAG_HIDDEN));
}

TEST_CASE("thousands of hidden names are written in one piece and read back whole") {
    ClearedProfile profile;
    {
        TestModel t;
        for (int n = 0; n < 8000; ++n)
            t.model.hiddenUrls->insertString(("http://host" + std::to_string(n % 97) + ".example.com/page" +
                                              std::to_string(n) + ".htm").c_str());
        CHECK(saveHiddenLists(t.model) == MSG_OK);
    }
    TestModel next;
    REQUIRE(loadHiddenLists(next.model) == MSG_OK);
    CHECK(next.model.hiddenUrls->count() == 8000);
    CHECK(next.model.hiddenUrls->searchKey("http://host42.example.com/page7899.htm").found);
}
