// Small icons of file types from the shell's system image list.
#pragma once

#include <cstdint>

#include "model/cache_model.h"

// The icons of the known types. The shell names a type's icon only for a
// file that exists, so one temporary file is renamed through the known
// extensions and removed again, on every path.
class ShellTypeIcons : public FileTypeIcons {
public:
    bool findIcons(const char* const* extensions, int32_t count, int32_t* icons) override;
};

// The index of the file's small icon in the system image list; 0 when the
// shell has none. The shell reads the file itself for that (an icon file's
// own picture, a shortcut's target): only for files of our own making.
int32_t smallIconIndexOf(const char* path);

// The small icon the shell shows for any file with this name's extension,
// asked without naming a file: a cached file, whatever its bytes, never
// reaches a handler of the shell. For types whose icon lives in each file
// (icon files, programs) that is the type's generic icon. 0 when the shell
// has none.
int32_t smallIconIndexOfName(const char* fileName);
