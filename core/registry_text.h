// Reading text values of the registry, which come from other programs and
// from the user and need not end in a NUL.
#pragma once

#include <windows.h>

#include <cstddef>

// Reads the REG_SZ value `name` of `key` so that `out` always ends in a NUL
// inside it. False, and `out` empty, when the value is missing, of another
// type or does not fit.
bool readRegistryText(HKEY key, const char* name, char* out, size_t size);

// Writes `text` as the REG_SZ value `name`, its NUL included.
bool writeRegistryText(HKEY key, const char* name, const char* text);
