#include "program_state.h"

#include <windows.h>

#include "app_driver.h"
#include "support/registry_keys.h"
#include "support/temp_folder.h"
#include "support/wine_path.h"

namespace {

int32_t readLong(const unsigned char* data, int offset) {
    return static_cast<int32_t>(data[offset] | data[offset + 1] << 8 | data[offset + 2] << 16 |
                                static_cast<uint32_t>(data[offset + 3]) << 24);
}

const char kBrowserCacheKey[] = "Software\\Netscape\\Netscape Navigator\\Cache";
const char kProgramKey[] = "Software\\Quill\\TARN";
const char kHiddenListFile[] = "TARN.INI";
const char kBrowserMainKey[] = "Software\\Netscape\\Netscape Navigator\\Main";
const char kInternetSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

void writeLong(unsigned char* data, int offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        data[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

// Sets (or with `data` null removes) a value of a key of the current user.
void setValue(const char* keyName, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (data)
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    else
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// A 4-byte value and its type; type REG_NONE when it is missing.
DWORD readFourBytes(const char* keyName, const char* name, uint32_t& value) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return REG_NONE;
    unsigned char data[4] = {};
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key, name, nullptr, &type, data, &size) != ERROR_SUCCESS || size != sizeof data)
        type = REG_NONE;
    RegCloseKey(key);
    value = static_cast<uint32_t>(readLong(data, 0));
    return type;
}

void copyFolder(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyFileA((from + "\\" + found.cFileName).c_str(), (to + "\\" + found.cFileName).c_str(), FALSE);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::string environment(const char* name) {
    char value[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? value : "";
}

std::string hiddenListPath() {
    char directory[MAX_PATH];
    GetWindowsDirectoryA(directory, sizeof directory);
    return std::string(directory) + "\\" + kHiddenListFile;
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

void writeStoredOptionFlags(uint32_t optionFlags) {
    const uint32_t unset = 0x80000000u;
    const uint32_t columnWidths[6] = {100, 80, 80, 80, 50, 80};
    unsigned char data[76] = {};
    writeLong(data, 0, optionFlags);
    for (int field = 1; field <= 5; ++field)
        writeLong(data, 4 * field, unset);
    for (int column = 0; column < 6; ++column)
        writeLong(data, 24 + 4 * column, columnWidths[column]);
    writeLong(data, 48, 1);
    for (int field = 13; field <= 16; ++field)
        writeLong(data, 4 * field, unset);
    setValue(kProgramKey, "Configuration", REG_BINARY, data, sizeof data);
}

void setBrowserProgram(const std::string& path) {
    setValue(kProgramKey, "Browser", REG_SZ, path.empty() ? nullptr : path.c_str(),
             static_cast<DWORD>(path.size() + 1));
}

void setCheckServer(int32_t value) {
    setValue(kBrowserMainKey, "Check Server", REG_DWORD, value < 0 ? nullptr : &value, sizeof value);
}

int32_t readCheckServer() {
    uint32_t value = 0;
    return readFourBytes(kBrowserMainKey, "Check Server", value) == REG_NONE ? -1 : static_cast<int32_t>(value);
}

void setAutodial(const AutodialValue& autodial) {
    setValue(kInternetSettingsKey, "EnableAutodial", autodial.type,
             autodial.type == REG_NONE ? nullptr : &autodial.value, sizeof autodial.value);
}

AutodialValue readAutodial() {
    AutodialValue autodial;
    autodial.type = readFourBytes(kInternetSettingsKey, "EnableAutodial", autodial.value);
    return autodial;
}

CacheCopy::CacheCopy(const std::string& fixture) {
    std::string base = std::string(TARN_BINARY_DIR) + "/tests/e2e/scratch";
    CreateDirectoryA(winePath(base).c_str(), nullptr);
    for (unsigned n = GetTickCount() & 0xFFFF;; ++n) {
        linuxPath_ = base + "/" + fixture + "-" + std::to_string(n);
        path_ = winePath(linuxPath_);
        if (CreateDirectoryA(path_.c_str(), nullptr))
            break;
    }
    copyFolder(fixtureCache(fixture), path_);
}

CacheCopy::~CacheCopy() {
    TempFolder::removeTree(path_);
}

std::string fileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool inRecycleBin(const std::string& linuxPath) {
    // Wine's recycle bin is the freedesktop.org trash: each file it holds
    // has an info file that names where it came from.
    std::string dataHome = environment("XDG_DATA_HOME");
    if (dataHome.empty())
        dataHome = environment("HOME") + "/.local/share";
    std::string info = winePath(dataHome + "/Trash/info");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((info + "\\*.trashinfo").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool held = false;
    do {
        std::string text = fileBytes(info + "\\" + found.cFileName);
        held = text.find("Path=" + linuxPath + "\n") != std::string::npos;
    } while (!held && FindNextFileA(search, &found));
    FindClose(search);
    return held;
}
