// What the program keeps in the test's Wine prefix between runs: the
// browser's cache directory it is pointed to, its own registry key and its
// hidden-list file. Every test sets these up before it starts the program.
#pragma once

#include <cstdint>
#include <string>

// A fixture cache built for the end-to-end tests, as Wine sees it.
std::string fixtureCache(const std::string& name);

// Points the browser's "Cache Dir" to `directory`; "" removes the value.
void setBrowserCacheDirectory(const std::string& directory);

// Removes the program's key with its settings record and histories, and its
// hidden-list file: the state of a first start.
void forgetProgramState();

// The settings record "Configuration" as the program wrote it.
struct StoredSettings {
    bool present = false;
    uint32_t optionFlags = 0;
    int32_t windowLeft = 0;
    int32_t windowTop = 0;
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    int32_t splitterPos = 0;
    int32_t columnWidths[6] = {};
    int32_t documentSortKey = 0;
};
StoredSettings readStoredSettings();

// "TARN.INI" in the Windows directory.
void writeHiddenListEntry(const char* section, const char* key, const char* value);
// The value, or "<none>" when the key is not there.
std::string readHiddenListEntry(const char* section, const char* key);

// The state of a first start on the cache in `directory` ("" for none).
void prepareFirstStart(const std::string& directory);
