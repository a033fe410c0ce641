// Paths of files: joining a folder and a name so that a cut path can never
// name another file, and telling the names and folders that stay where they
// seem from those Windows would take elsewhere.
#pragma once

#include <cstddef>

// Joins `directory`, a backslash unless it ends in one, and `name` into
// `out`. An empty directory, or a result that does not fit, is refused:
// false and `out` empty.
bool joinPath(char* out, size_t size, const char* directory, const char* name);

// A name that, joined to a folder, names an ordinary file of that folder and
// nothing else: not empty; no separator, drive or stream colon; no wildcard
// (* ?) or other character a file name cannot hold (" < > | and control
// bytes); not ending in a dot or a blank, which Windows drops ("a." opens
// "a", "..." and " " the folder itself); and no device name.
bool isPlainFileName(const char* name);

// The length of the device name that `name` starts with when Windows would
// take the name for a device (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9
// and LPT1-9, in any case and with any extension: "con.htm" and "Lpt1 .txt"
// are devices); 0 for the name of a file.
size_t deviceNameLength(const char* name);

// A path that names the same place whatever folder or drive is current: a
// drive with its root ("C:\..."), or a share of a server ("\\server\share").
// The device and literal forms ("\\.\", "\\?\") are not taken.
bool isAbsolutePath(const char* path);
