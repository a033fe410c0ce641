#include "index/cache_location.h"

#include <windows.h>

#include <cstring>

#include "core/file_paths.h"
#include "core/owned_text.h"
#include "core/text_locale.h"
#include "core/win_handles.h"
#include "core/registry_text.h"
#include "index/cache_index_scan.h"
#include "index/navigator.h"
#include "settings/program_key.h"

namespace {

// The user's own cache directory, under the program's key, when it is not
// the browser's.
constexpr char kCacheValue[] = "Cache";

uint8_t codeOfCheckServer(DWORD value) {
    return value <= kCheckServerNever ? static_cast<uint8_t>(kCheckServerNever - value) : kCheckServerUnknown;
}

}  // namespace

bool isValidCacheDirectory(const char* path) {
    // A relative path would name another folder whenever another folder is
    // current, and reads and deletes would follow it there.
    if (!path || !isAbsolutePath(path))
        return false;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    uint32_t pageSize = 0;
    return openCacheIndex(path, pageSize).valid();
}

void readBrowserCacheDirectory(char* out, size_t size) {
    if (size == 0)
        return;
    out[0] = '\0';
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kNavigatorCacheKey, 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS)
        return;
    readRegistryText(key.get(), kNavigatorCacheDirValue, out, size);
}

MessageCode findCacheDirectory(OwnedText& directory) {
    char path[MAX_PATH];
    if (RegKey program = openProgramKey(PROGRAM_KEY_CHANGE)) {
        if (readRegistryText(program.get(), kCacheValue, path, sizeof path) && isValidCacheDirectory(path))
            return directory.assign(path) ? MSG_OK : MSG_OUT_OF_MEMORY;
        // A stale choice is not kept.
        RegDeleteValueA(program.get(), kCacheValue);
    }
    readBrowserCacheDirectory(path, sizeof path);
    if (!isValidCacheDirectory(path))
        return MSG_NO_CACHE_DIRECTORY;
    return directory.assign(path) ? MSG_OK : MSG_OUT_OF_MEMORY;
}

bool setCacheDirectory(OwnedText& directory, const char* path) {
    if (!path || !path[0])
        return false;
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full || !isValidCacheDirectory(full))
        return false;
    OwnedText chosen(duplicateText(full));
    if (!chosen)
        return false;

    char browsers[MAX_PATH];
    readBrowserCacheDirectory(browsers, sizeof browsers);
    if (RegKey program = openProgramKey(PROGRAM_KEY_CREATE)) {
        if (compareTextNoCase(full, browsers) == 0) {
            RegDeleteValueA(program.get(), kCacheValue);
        } else {
            RegSetValueExA(program.get(), kCacheValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(full),
                           static_cast<DWORD>(std::strlen(full) + 1));
        }
    }
    directory = static_cast<OwnedText&&>(chosen);
    return true;
}

uint8_t readCheckServer() {
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kNavigatorMainKey, 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS)
        return kCheckServerUnknown;
    DWORD value = 0;
    DWORD bytes = sizeof value;
    if (RegQueryValueExA(key.get(), kNavigatorCheckServerValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &bytes) != ERROR_SUCCESS ||
        bytes != sizeof value)
        return kCheckServerUnknown;
    return codeOfCheckServer(value);
}

void writeCheckServer(uint8_t code) {
    if (code > kCheckServerNever)
        return;
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kNavigatorMainKey, 0, KEY_SET_VALUE, key.receive()) != ERROR_SUCCESS)
        return;
    DWORD value = kCheckServerNever - code;
    RegSetValueExA(key.get(), kNavigatorCheckServerValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
}

void forceNeverVerify(uint8_t& savedCode) {
    if (savedCode == kCheckServerUnknown)
        savedCode = readCheckServer();
    writeCheckServer(0);
}

void restoreCheckServer(uint8_t& savedCode) {
    uint8_t saved = savedCode;
    savedCode = kCheckServerUnknown;
    if (saved != kCheckServerUnknown && saved != 0 && readCheckServer() == 0)
        writeCheckServer(saved);
}
