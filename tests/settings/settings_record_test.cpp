#include <cstring>
#include <initializer_list>

#include "doctest.h"
#include "settings/extract_options.h"
#include "settings/mru_order.h"
#include "settings/settings.h"

namespace {

void putWord(unsigned char* record, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        record[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t extractOptionsOfOldRecord(uint32_t optionFlags) {
    unsigned char record[kOldSettingsRecordSize] = {};
    putWord(record, 0, optionFlags);
    Settings s = defaultSettings();
    REQUIRE(decodeSettings(record, sizeof record, s));
    return s.extractOptions;
}

}  // namespace

TEST_CASE("the settings record is stored as 19 little-endian words") {
    Settings s = defaultSettings();
    s.optionFlags = 0x11223344;
    s.windowLeft = -5;
    s.columnWidths[5] = 321;
    s.documentSortKey = -6;
    s.reserved[2] = 7;
    s.reserved2 = 0x0A0B0C0D;
    s.extractOptions = TextFollowExternal | MediaFollowInternal | MediaReplaceMissing;
    unsigned char record[kSettingsRecordSize];
    encodeSettings(s, record);

    CHECK(record[0] == 0x44);
    CHECK(record[3] == 0x11);
    CHECK(record[4] == 0xFB);
    CHECK(record[7] == 0xFF);
    CHECK(record[44] == 0x41);
    CHECK(record[45] == 0x01);
    CHECK(record[48] == 0xFA);
    CHECK(record[60] == 7);
    CHECK(record[68] == 0x0D);
    CHECK(record[72] == (TextFollowExternal | MediaFollowInternal | MediaReplaceMissing));

    Settings back{};
    REQUIRE(decodeSettings(record, sizeof record, back));
    CHECK(std::memcmp(&back, &s, sizeof s) == 0);
}

TEST_CASE("defaults describe a first run") {
    Settings s = defaultSettings();
    CHECK(s.optionFlags == 0x0B2170BE);
    for (int32_t field : {s.windowLeft, s.windowTop, s.windowWidth, s.windowHeight, s.splitterPos})
        CHECK(field == kPlacementUnset);
    const uint32_t on = OPTION_TOOLBAR | OPTION_STATUS_BAR | OPTION_DESCRIPTION_BARS | OPTION_LIST_TIPS |
                        OPTION_DETAILS_VIEW | OPTION_FIND_HOSTS | OPTION_FIND_URLS | OPTION_FIND_TITLES |
                        OPTION_SEARCH_CACHE | OPTION_RESTORE_BROWSER;
    CHECK((s.optionFlags & on) == on);
    CHECK((s.optionFlags & (OPTION_MAXIMIZED | OPTION_HIERARCHICAL | OPTION_ADJUST_BROWSER | OPTION_SHOW_ALL)) == 0);
    CHECK(s.columnWidths[0] == 100);
    CHECK(s.columnWidths[4] == 50);
    CHECK(s.documentSortKey == 1);
    CHECK(s.reserved[3] == kPlacementUnset);
    CHECK(s.reserved2 == 0);
    CHECK(s.extractOptions == kAllExtractOptions);
}

TEST_CASE("a 72-byte record gets its save options from the old option bits") {
    // Each old bit stood for the text and the media option alike; "no media
    // links" then takes away following the media links, not replacing them.
    CHECK(extractOptionsOfOldRecord(0) == 0);
    CHECK(extractOptionsOfOldRecord(OPTION_OLD_FOLLOW_INTERNAL | OPTION_OLD_NO_MEDIA_LINKS) == TextFollowInternal);
    CHECK(extractOptionsOfOldRecord(OPTION_OLD_FOLLOW_INTERNAL) == kFollowInternal);
    CHECK(extractOptionsOfOldRecord(OPTION_OLD_FOLLOW_EXTERNAL) == kFollowExternal);
    CHECK(extractOptionsOfOldRecord(OPTION_OLD_REPLACE_MISSING) == kReplaceMissing);
    const uint32_t oldDefaults = OPTION_OLD_FOLLOW_INTERNAL | OPTION_OLD_FOLLOW_EXTERNAL | OPTION_OLD_REPLACE_MISSING;
    CHECK(extractOptionsOfOldRecord(oldDefaults) == kAllExtractOptions);
    CHECK(extractOptionsOfOldRecord(oldDefaults | OPTION_OLD_NO_MEDIA_LINKS) == (kTextOptions | MediaReplaceMissing));

    unsigned char record[kOldSettingsRecordSize] = {};
    putWord(record, 48, 3);
    Settings s{};
    REQUIRE(decodeSettings(record, sizeof record, s));
    CHECK(s.documentSortKey == 3);
}

TEST_CASE("a record of another size is refused and changes nothing") {
    unsigned char record[80] = {};
    Settings s = defaultSettings();
    CHECK_FALSE(decodeSettings(record, 80, s));
    CHECK_FALSE(decodeSettings(record, 75, s));
    CHECK_FALSE(decodeSettings(record, 0, s));
    CHECK(s.optionFlags == 0x0B2170BE);
}

TEST_CASE("recording a use moves its letter to the front") {
    SUBCASE("new texts take the next letters") {
        MruChange one = recordMruUse("", 0, 10);
        CHECK(one.letter == 'a');
        CHECK(one.storeText);
        CHECK(std::strcmp(one.order, "a") == 0);
        MruChange two = recordMruUse(one.order, 0, 10);
        MruChange three = recordMruUse(two.order, 0, 10);
        CHECK(three.letter == 'c');
        CHECK(std::strcmp(three.order, "cba") == 0);
    }
    SUBCASE("a text used again keeps its letter and its stored text") {
        MruChange again = recordMruUse("cba", 'b', 10);
        CHECK(again.letter == 'b');
        CHECK_FALSE(again.storeText);
        CHECK(std::strcmp(again.order, "bca") == 0);
    }
    SUBCASE("a full list gives the least recently used letter to the new text") {
        MruChange full = recordMruUse("jihgfedcba", 0, 10);
        CHECK(full.letter == 'a');
        CHECK(full.storeText);
        CHECK(std::strcmp(full.order, "ajihgfedcb") == 0);
    }
    SUBCASE("a letter that is no longer in the order counts as a new text") {
        MruChange lost = recordMruUse("ba", 'q', 10);
        CHECK(lost.storeText);
        CHECK(std::strcmp(lost.order, "cba") == 0);
    }
    SUBCASE("an order edited by hand never hands out a letter twice") {
        MruChange edited = recordMruUse("b", 0, 10);
        CHECK(edited.letter == 'a');
        CHECK(std::strcmp(edited.order, "ab") == 0);
    }
    SUBCASE("no more than 26 letters whatever maximum is asked for") {
        MruChange all = recordMruUse("zyxwvutsrqponmlkjihgfedcba", 0, 40);
        CHECK(all.letter == 'a');
        CHECK(std::strlen(all.order) == 26);
    }
}
