// The program's own registry key "Software\Quill\TARN" under
// HKEY_CURRENT_USER, where the settings record, the search histories, the
// browser's path and the user's cache directory live.
#pragma once

#include <cstddef>

#include "core/win_handles.h"

extern const char kProgramKeyPath[];

// The browser program's full path, a REG_SZ of the program's key; without
// it the browser is started by its plain name.
constexpr char kBrowserPathValue[] = "Browser";

enum ProgramKeyAccess {
    PROGRAM_KEY_READ,    // an existing key, for reading
    PROGRAM_KEY_CHANGE,  // an existing key, for reading, writing and deleting values
    PROGRAM_KEY_CREATE,  // made when missing, for reading, writing and subkeys
};

// The program's key, or its subkey `subkey` when one is named; an empty
// owner when it cannot be opened (or made).
RegKey openProgramKey(ProgramKeyAccess access, const char* subkey = nullptr);

// The "Browser" value, or "" when there is none or it cannot be read.
void readBrowserPath(char* out, size_t size);
// Stores `path` as "Browser"; "" removes the value. False when the key
// cannot be made or the value not changed.
bool writeBrowserPath(const char* path);
