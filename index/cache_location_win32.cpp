#include "index/cache_location.h"

#include <windows.h>

#include <cstring>

#include "core/owned_text.h"
#include "core/text_locale.h"
#include "core/win_handles.h"
#include "index/cache_index_scan.h"
#include "index/navigator.h"
#include "model/cache_model.h"
#include "settings/settings_store.h"

namespace {

// The user's own cache directory, under the program's key, when it is not
// the browser's.
constexpr char kCacheValue[] = "Cache";

// The registry does not promise that a REG_SZ value ends in a NUL: the text
// is read so that `out` always ends in one inside it. False, and `out`
// empty, when the value is missing, of another type or does not fit.
bool readRegistryText(HKEY key, const char* value, char* out, size_t size) {
    if (size == 0)
        return false;
    out[0] = '\0';
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(size);
    if (RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(out), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ || bytes > size) {
        out[0] = '\0';
        return false;
    }
    if (!std::memchr(out, '\0', bytes)) {
        if (bytes == size) {
            out[0] = '\0';
            return false;
        }
        out[bytes] = '\0';
    }
    return true;
}

uint8_t codeOfCheckServer(DWORD value) {
    return value <= kCheckServerNever ? static_cast<uint8_t>(kCheckServerNever - value) : kCheckServerUnknown;
}

}  // namespace

bool isValidCacheDirectory(const char* path) {
    if (!path || !path[0])
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

bool findCacheDirectory(CacheModel& model) {
    char path[MAX_PATH];
    RegKey program;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProgramKeyPath, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, program.receive()) ==
        ERROR_SUCCESS) {
        if (readRegistryText(program.get(), kCacheValue, path, sizeof path) && isValidCacheDirectory(path))
            return model.cacheDirectory.assign(path);
        // A stale choice is not kept.
        RegDeleteValueA(program.get(), kCacheValue);
    }
    readBrowserCacheDirectory(path, sizeof path);
    if (!isValidCacheDirectory(path))
        return false;
    return model.cacheDirectory.assign(path);
}

bool setCacheDirectory(CacheModel& model, const char* path) {
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
    RegKey program;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kProgramKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, program.receive(),
                        nullptr) == ERROR_SUCCESS) {
        if (compareTextNoCase(full, browsers) == 0) {
            RegDeleteValueA(program.get(), kCacheValue);
        } else {
            RegSetValueExA(program.get(), kCacheValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(full),
                           static_cast<DWORD>(std::strlen(full) + 1));
        }
    }
    model.cacheDirectory = static_cast<OwnedText&&>(chosen);
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

void forceNeverVerify(CacheModel& model) {
    if (model.savedCheckServer == kCheckServerUnknown)
        model.savedCheckServer = readCheckServer();
    writeCheckServer(0);
}

void restoreCheckServer(CacheModel& model) {
    uint8_t saved = model.savedCheckServer;
    model.savedCheckServer = kCheckServerUnknown;
    if (saved != kCheckServerUnknown && saved != 0 && readCheckServer() == 0)
        writeCheckServer(saved);
}
