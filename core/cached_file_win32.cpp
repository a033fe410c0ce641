#include "core/cached_file.h"

#include <winternl.h>

FileHandle openCachedFile(const char* path, DWORD shareMode, DWORD flags) {
    FileHandle file(CreateFileA(path, GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
                                flags | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return file;
    // A serial port or a pipe opens like a file, and a read of it may wait
    // for ever.
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return FileHandle();
    // The attributes alone: the whole information of
    // GetFileInformationByHandle asks the volume for its serial number
    // besides, which costs more than the open itself on every file of a
    // save or a search.
    FILE_BASIC_INFORMATION basic;
    IO_STATUS_BLOCK status;
    if (NtQueryInformationFile(file.get(), &status, &basic, sizeof basic, FileBasicInformation) != 0 ||
        (basic.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return FileHandle();
    return file;
}
