// Puts the registry of the test run's Wine prefix back into a known state.
#pragma once

#include <windows.h>

// Deletes the key `name` below `parent` with all its subkeys; RegDeleteKey
// leaves a key that has subkeys alone. A missing key is no error.
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
