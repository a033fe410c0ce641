#include <cstring>
#include <string>
#include <vector>

#include "doctest.h"
#include "registry_fixture.h"
#include "settings/extract_options.h"

namespace {

void storeConfiguration(DWORD type, const void* data, DWORD size) {
    HKEY key = createTestKey();
    RegSetValueExA(key, "Configuration", 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

bool sameSettings(const Settings& a, const Settings& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

TEST_CASE("the settings record round-trips through the registry") {
    deleteProgramKey();
    Settings s = defaultSettings();
    s.optionFlags = 0x1234567;
    s.windowLeft = 10;
    s.windowTop = 20;
    s.windowWidth = 640;
    s.windowHeight = 480;
    s.splitterPos = 200;
    s.columnWidths[2] = 333;
    s.documentSortKey = -6;
    s.reserved[1] = 42;
    s.reserved2 = 99;
    s.extractOptions = TextFollowInternal | TextReplaceMissing | MediaFollowExternal;
    REQUIRE(writeSettingsRecord(s));

    HKEY key = createTestKey();
    DWORD type = 0, size = 0;
    CHECK(RegQueryValueExA(key, "Configuration", nullptr, &type, nullptr, &size) == ERROR_SUCCESS);
    RegCloseKey(key);
    CHECK(type == REG_BINARY);
    CHECK(size == 76);

    CHECK(sameSettings(loadSettings(), s));
    deleteProgramKey();
}

TEST_CASE("an unusable stored record gives the defaults") {
    deleteProgramKey();
    SUBCASE("no key") {}
    SUBCASE("a key without the value") {
        RegCloseKey(createTestKey());
    }
    SUBCASE("a value of another type") {
        DWORD word = 5;
        storeConfiguration(REG_DWORD, &word, sizeof word);
    }
    SUBCASE("a binary value of 76 bytes that claims another type") {
        std::vector<unsigned char> record(76, 0);
        storeConfiguration(REG_SZ, record.data(), 76);
    }
    SUBCASE("a binary value of 80 bytes") {
        std::vector<unsigned char> record(80, 0);
        storeConfiguration(REG_BINARY, record.data(), 80);
    }
    SUBCASE("a binary value of 40 bytes") {
        std::vector<unsigned char> record(40, 0);
        storeConfiguration(REG_BINARY, record.data(), 40);
    }
    CHECK(sameSettings(loadSettings(), defaultSettings()));
    deleteProgramKey();
}

TEST_CASE("a 72-byte record from the registry is converted") {
    deleteProgramKey();
    unsigned char record[72] = {};
    record[3] = 0x05;
    record[20] = 0x2C;
    record[21] = 0x01;
    storeConfiguration(REG_BINARY, record, sizeof record);
    const Settings loaded = loadSettings();
    CHECK(loaded.optionFlags == 0x05000000);
    CHECK(loaded.splitterPos == 300);
    CHECK(loaded.extractOptions == TextFollowInternal);
    deleteProgramKey();
}

namespace {

struct SaveLog {
    std::string steps;
};

void logHiddenLists(void* context) {
    static_cast<SaveLog*>(context)->steps += "hidden ";
}

void logRestore(void* context) {
    static_cast<SaveLog*>(context)->steps += "restore ";
}

void logPlacement(Settings& settings, void* context) {
    static_cast<SaveLog*>(context)->steps += "placement ";
    settings.windowLeft = 77;
}

}  // namespace

TEST_CASE("saveSettings runs its steps in order and only after start-up") {
    deleteProgramKey();
    SaveLog log;
    const SaveSettingsSteps steps = {logHiddenLists, logRestore, logPlacement, &log};
    Settings settings = defaultSettings();

    saveSettings(settings, false, steps);
    CHECK(log.steps.empty());
    Settings stored = defaultSettings();
    CHECK_FALSE(readSettingsRecord(stored));

    saveSettings(settings, true, steps);
    CHECK(log.steps == "hidden restore placement ");
    REQUIRE(readSettingsRecord(stored));
    CHECK(stored.windowLeft == 77);

    log.steps.clear();
    settings.optionFlags &= ~static_cast<uint32_t>(OPTION_RESTORE_BROWSER);
    saveSettings(settings, true, steps);
    CHECK(log.steps == "hidden placement ");

    deleteProgramKey();
}
