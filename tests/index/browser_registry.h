// The browser's registry values and the program's "Cache" value, put into a
// known state by each test.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

#include "index/navigator.h"
#include "settings/program_key.h"
#include "settings/settings_store.h"
#include "support/registry_keys.h"

// No browser installed, and no cache directory of the user's choice.
inline void forgetBrowserAndChoice() {
    deleteKeyTree(HKEY_CURRENT_USER, "Software\\Netscape");
    HKEY program;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProgramKeyPath, 0, KEY_SET_VALUE, &program) == ERROR_SUCCESS) {
        RegDeleteValueA(program, "Cache");
        RegCloseKey(program);
    }
}

inline void setValue(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

inline void setText(const char* keyPath, const char* name, const std::string& text) {
    setValue(keyPath, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

inline void setBrowserCacheDir(const std::string& path) {
    setText(kNavigatorCacheKey, kNavigatorCacheDirValue, path);
}

inline void setChosenCacheDir(const std::string& path) {
    setText(kProgramKeyPath, "Cache", path);
}

inline bool readText(const char* keyPath, const char* name, std::string& out) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    out = buffer;
    return result == ERROR_SUCCESS;
}

inline bool chosenCacheDir(std::string& out) {
    return readText(kProgramKeyPath, "Cache", out);
}

inline void setCheckServerValue(DWORD value) {
    setValue(kNavigatorMainKey, kNavigatorCheckServerValue, REG_DWORD, &value, sizeof value);
}

// The stored "Check Server", or -1 when there is none.
inline long checkServerValue() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kNavigatorMainKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return -1;
    DWORD value = 0, size = sizeof value;
    LONG result = RegQueryValueExA(key, kNavigatorCheckServerValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                   &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? static_cast<long>(value) : -1;
}
