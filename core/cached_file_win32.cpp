#include "core/cached_file.h"

FileHandle openCachedFile(const char* path, DWORD shareMode, DWORD flags) {
    FileHandle file(CreateFileA(path, GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
                                flags | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return file;
    // A serial port or a pipe opens like a file, and a read of it may wait
    // for ever.
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return FileHandle();
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return FileHandle();
    return file;
}
