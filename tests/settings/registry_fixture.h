// Tests of the registry start from a program key that does not exist.
#pragma once

#include <windows.h>

#include "settings/settings_store.h"

inline void deleteKeyTree(HKEY parent, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char child[260];
    while (RegEnumKeyA(key, 0, child, sizeof child) == ERROR_SUCCESS)
        deleteKeyTree(key, child);
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}

inline void deleteProgramKey() {
    deleteKeyTree(HKEY_CURRENT_USER, kProgramKeyPath);
}

inline HKEY createTestKey(const char* subkey = nullptr) {
    HKEY program, key;
    RegCreateKeyExA(HKEY_CURRENT_USER, kProgramKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &program, nullptr);
    if (!subkey)
        return program;
    RegCreateKeyExA(program, subkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(program);
    return key;
}
