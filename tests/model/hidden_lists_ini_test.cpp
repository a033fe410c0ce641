// The hidden lists in "TARN.INI", through the profile functions of the Wine
// prefix; each test starts with both sections gone.
#include <windows.h>

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
        hideDocument(t.model, *t.entry("http://www.example.com/b.htm"));
        hideDocument(t.model, *t.entry("http://www.example.com/a.htm"));
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

TEST_CASE("a name with a line break is not written, and the keys stay without gaps") {
    ClearedProfile profile;
    TestModel t;
    t.model.hiddenUrls->insertString("http://a.example.com/1.htm");
    t.model.hiddenUrls->insertString("http://b.example.com/\r\n[Hidden Hosts]\r\nF0=evil.example.com");
    t.model.hiddenUrls->insertString("http://c.example.com/3.htm");
    CHECK(saveHiddenLists(t.model) == MSG_OK);
    CHECK(storedNames(kUrls) == std::vector<std::string>{"http://a.example.com/1.htm", "http://c.example.com/3.htm"});
    CHECK(storedNames(kHosts).empty());
}
