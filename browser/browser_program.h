// Which program file is started as the browser. What a cache holds, and what
// a save copied out of it, came from other machines: a file named like the
// browser there must never be the one started. So a bare name is looked up
// only where the system registers programs, never in the current folder.
#pragma once

#include <cstddef>

// Folders whose files came from a cache: the cache directory and the folder
// the last save wrote to. A program inside one (or below it) is never
// started. Either may be null or "" when there is none.
struct UntrustedFolders {
    const char* cacheDirectory = nullptr;
    const char* saveFolder = nullptr;
};

// The folder of this program's executable, without a trailing backslash
// (but for a drive's root): the working folder of the browser it starts,
// and the program's own current folder.
// False (and `out` empty) when the path does not fit.
bool executableFolder(char* out, size_t size);

// The browser's program file as a full path: the "Browser" value of the
// program's key when it is a full path; else that name, or "netscape.exe"
// when there is none, found through the system's registered application
// paths (the machine's, then the user's) and then the absolute folders of
// PATH. False (and `out` empty) when none is found, when the value is a
// relative path, or when the file lies in one of the `untrusted` folders.
bool findBrowserProgram(const UntrustedFolders& untrusted, char* out, size_t size);
