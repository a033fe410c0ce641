// Opening a file of the cache directory for reading. The files beside the
// index come from whoever wrote the cache: a name may be a link to a file
// elsewhere, a folder, or a device that never answers a read.
#pragma once

#include <windows.h>

#include "core/win_handles.h"

// Opens `path` for reading with `shareMode` and the extra `flags`
// (FILE_FLAG_SEQUENTIAL_SCAN). A link (symbolic link, junction or other
// reparse point) is opened as itself and never followed; the handle is then
// refused with everything else that is not an ordinary file on a disk
// (folders, devices, pipes). An empty handle for all of these and when the
// file cannot be opened.
FileHandle openCachedFile(const char* path, DWORD shareMode, DWORD flags = 0);
