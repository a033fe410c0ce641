#include "program_state.h"

#include <windows.h>

#include "app_driver.h"
#include "support/registry_keys.h"
#include "support/wine_path.h"

namespace {

const char kBrowserCacheKey[] = "Software\\Netscape\\Netscape Navigator\\Cache";
const char kProgramKey[] = "Software\\Quill\\TARN";
const char kHiddenListFile[] = "TARN.INI";

std::string hiddenListPath() {
    char directory[MAX_PATH];
    GetWindowsDirectoryA(directory, sizeof directory);
    return std::string(directory) + "\\" + kHiddenListFile;
}

int32_t readLong(const unsigned char* data, int offset) {
    return static_cast<int32_t>(data[offset] | data[offset + 1] << 8 | data[offset + 2] << 16 |
                                static_cast<uint32_t>(data[offset + 3]) << 24);
}

}  // namespace

std::string fixtureCache(const std::string& name) {
    return winePath(std::string(TARN_BINARY_DIR) + "/tests/e2e/caches/" + name);
}

void setBrowserCacheDirectory(const std::string& directory) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kBrowserCacheKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (directory.empty())
        RegDeleteValueA(key, "Cache Dir");
    else
        RegSetValueExA(key, "Cache Dir", 0, REG_SZ, reinterpret_cast<const BYTE*>(directory.c_str()),
                       static_cast<DWORD>(directory.size() + 1));
    RegCloseKey(key);
}

void forgetProgramState() {
    deleteKeyTree(HKEY_CURRENT_USER, kProgramKey);
    DeleteFileA(hiddenListPath().c_str());
}

StoredSettings readStoredSettings() {
    StoredSettings stored;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProgramKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return stored;
    unsigned char data[76];
    DWORD size = sizeof data;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, "Configuration", nullptr, &type, data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_BINARY || size != sizeof data)
        return stored;
    stored.present = true;
    stored.optionFlags = static_cast<uint32_t>(readLong(data, 0));
    stored.windowLeft = readLong(data, 4);
    stored.windowTop = readLong(data, 8);
    stored.windowWidth = readLong(data, 12);
    stored.windowHeight = readLong(data, 16);
    stored.splitterPos = readLong(data, 20);
    for (int column = 0; column < 6; ++column)
        stored.columnWidths[column] = readLong(data, 24 + 4 * column);
    stored.documentSortKey = readLong(data, 48);
    return stored;
}

void writeHiddenListEntry(const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, kHiddenListFile);
}

std::string readHiddenListEntry(const char* section, const char* key) {
    // The profile functions cache files per process; the program wrote this
    // one in its own.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kHiddenListFile);
    char value[512];
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, kHiddenListFile);
    return value;
}

void prepareFirstStart(const std::string& directory) {
    forgetProgramState();
    setBrowserCacheDirectory(directory);
}
