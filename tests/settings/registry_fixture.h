// Tests of the registry start from a program key that does not exist.
#pragma once

#include <windows.h>

#include "settings/program_key.h"
#include "settings/settings_store.h"
#include "support/registry_keys.h"

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
