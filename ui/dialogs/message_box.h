// How results reach the user: message codes become message boxes, and the
// texts that must be at hand even when memory has run out are loaded once.
#pragma once

#include <windows.h>

#include "core/message_code.h"

// Loads the strings kept for the life of the process (display name, root
// names, formats of the list and the status bar, the out-of-memory box).
// False when memory ran out for one of them.
bool loadPreloadedStrings();
// One of those strings; "" for an id that is not preloaded or did not load.
const char* preloadedString(UINT id);

// A malloc'd copy of resource string `id` (at most 259 characters; "" when
// the resource is missing), or null when memory ran out.
char* loadStringCopy(UINT id);

// Shows `code` as a message box owned by `owner`, its string formatted with
// the optional arguments; returns the box's answer. -1 shows the
// out-of-memory box and returns -1.
int showMessageCode(HWND owner, MessageCode code, ...);
// The system-modal out-of-memory box; it allocates nothing.
void showOutOfMemory();
// Shows `code` and ends the process with exit code -1.
[[noreturn]] void fatalMessageCode(HWND owner, MessageCode code);
