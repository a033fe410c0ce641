// Paths of files: joining a folder and a name so that a cut path can never
// name another file.
#pragma once

#include <cstddef>

// Joins `directory`, a backslash unless it ends in one, and `name` into
// `out`. An empty directory, or a result that does not fit, is refused:
// false and `out` empty.
bool joinPath(char* out, size_t size, const char* directory, const char* name);

// A name that stays inside the folder it is joined to: not empty, not "." or
// "..", and without separators or a drive.
bool isPlainFileName(const char* name);
