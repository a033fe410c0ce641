// Texts read back from the edit fields and combo boxes of dialogs.
#pragma once

#include <windows.h>

#include <cstddef>

// Reads the text of `control` into `out`, which always ends in a NUL inside
// it. False, and `out` empty, when the whole text does not fit: a text is
// never cut, since a cut path or search text would name something else.
bool readControlText(HWND control, char* out, size_t size);
