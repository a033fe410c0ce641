// Sorted lookups compare sort keys made once per name instead of calling
// lstrcmpiA on every step; the two must order names alike.
#include <windows.h>

#include <cstring>

#include "core/sorted_collection.h"
#include "core/text_locale.h"
#include "doctest.h"

namespace {

int sign(int v) {
    return (v > 0) - (v < 0);
}

const char* const kTrickyNames[] = {
    "a-b", "ab", "a'b", "abc", "ab-c", "\xC4pfel", "apfel", "zebra", "\xE4rger", "Arger", "10", "9", "a10",
    "a9", "co-op", "coop", "O'Neil", "oneil", "ONeill", "-x", "x-", "\xFC" "ber", "Ubung", "\xDF", "ss", "st",
    "www.host-1.de", "www.host1.de", "WWW.HOST-1.DE", "http://a/b", "http://a-b/", "", " ", "~x", "_x",
};

}  // namespace

TEST_CASE("sort keys order names exactly as lstrcmpiA does") {
    for (const char* a : kTrickyNames) {
        for (const char* b : kTrickyNames) {
            NamedItem left(a), right(b);
            REQUIRE(left.sortKey() != nullptr);
            TextKey key(b);
            INFO(a << " vs " << b);
            CHECK(sign(left.compareName(right)) == sign(lstrcmpiA(a, b)));
            CHECK(sign(left.compareName(key)) == sign(lstrcmpiA(a, b)));
        }
    }
}

TEST_CASE("a long name gets a sort key of its own size") {
    char longName[2000];
    std::memset(longName, 'k', sizeof longName - 1);
    longName[sizeof longName - 1] = '\0';
    NamedItem item(longName);
    CHECK(item.sortKey() != nullptr);
    CHECK(item.isEqualKey(TextKey(longName)));
    longName[1000] = 'z';
    CHECK(item.isLessKey(TextKey(longName)));
}

TEST_CASE("lowerChar and its table follow CharLowerA for every byte") {
    for (unsigned c = 1; c < 256; ++c) {
        char text[2] = {static_cast<char>(c), 0};
        CharLowerA(text);
        CHECK(lowerChar(static_cast<unsigned char>(c)) == static_cast<unsigned char>(text[0]));
        CHECK(lowerCaseMap()[c] == static_cast<unsigned char>(text[0]));
    }
    CHECK(lowerChar(0xC4) == 0xE4);
}
