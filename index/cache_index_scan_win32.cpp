#include "index/cache_index_scan.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "core/file_paths.h"
#include "core/win_handles.h"
#include "index/index_page.h"
#include "index/navigator.h"

namespace {

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};

// What no cached file is: a folder, a link to elsewhere, a device.
constexpr DWORD kNotCachedFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;

// The name of a file of the directory in the ANSI code page, the records'
// code page, when it converts exactly. The ANSI listing converts names with
// a best fit: a file named with the fullwidth asterisk U+FF0A is reported as
// "*", and a record naming "*" would find it present.
bool ansiNameOf(const wchar_t* wide, char (&name)[MAX_PATH]) {
    BOOL lossy = FALSE;
    int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, name, sizeof name, nullptr, &lossy);
    // A UTF-8 code page takes neither the flag nor the question.
    if (bytes <= 0 && GetLastError() == ERROR_INVALID_PARAMETER)
        bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, name, sizeof name, nullptr, nullptr);
    if (bytes <= 0 || lossy)
        return false;
    // Where the flag is not honoured the way back tells a best fit.
    wchar_t back[MAX_PATH];
    int characters = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, back, MAX_PATH);
    return characters > 0 && std::wcscmp(back, wide) == 0;
}

// The files of the cache directory, by the names the records can hold.
// False when memory ran out or the directory cannot be listed.
bool listCacheDirectory(const char* directory, CacheDirectoryFiles& files) {
    char pattern[MAX_PATH];
    wchar_t widePattern[MAX_PATH];
    if (!joinPath(pattern, sizeof pattern, directory, "*.*") ||
        MultiByteToWideChar(CP_ACP, 0, pattern, -1, widePattern, MAX_PATH) <= 0)
        return false;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW(widePattern, &found));
    if (!search)
        return false;
    do {
        char name[MAX_PATH];
        if ((found.dwFileAttributes & kNotCachedFile) || !ansiNameOf(found.cFileName, name))
            continue;
        if (!files.add(name))
            return false;
    } while (FindNextFileW(search.get(), &found));
    return true;
}

}  // namespace

FileHandle openCacheIndex(const char* directory, uint32_t& pageSize, uint64_t* pageLimit) {
    char path[MAX_PATH];
    if (!joinPath(path, sizeof path, directory, kCacheIndexName))
        return FileHandle();
    // The browser may be running and writing its index meanwhile.
    FileHandle index(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!index)
        return index;
    unsigned char header[kHashHeaderSize];
    DWORD read = 0;
    if (!ReadFile(index.get(), header, sizeof header, &read, nullptr) || read < kIndexHeaderSize)
        return FileHandle();
    // A page size of 0 counts like a wrong magic: it would never advance
    // through the file.
    uint32_t announced = indexPageSize(header, read);
    if (announced == 0)
        return FileHandle();
    pageSize = announced;
    if (pageLimit)
        *pageLimit = indexPageLimit(header, read);
    return index;
}

MessageCode readCacheIndex(const char* directory, IndexRecordSink& sink) {
    uint32_t pageSize = 0;
    uint64_t pageLimit = kAllPages;
    FileHandle index = openCacheIndex(directory, pageSize, &pageLimit);
    if (!index)
        return MSG_NO_CACHE_DIRECTORY;

    CacheDirectoryFiles files;
    if (!listCacheDirectory(directory, files))
        return MSG_OUT_OF_MEMORY;

    // The first page is the header page.
    if (SetFilePointer(index.get(), static_cast<LONG>(pageSize), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return MSG_OK;
    std::unique_ptr<unsigned char, FreeDeleter> page(static_cast<unsigned char*>(std::malloc(pageSize)));
    if (!page)
        return MSG_OUT_OF_MEMORY;
    DWORD read = 0;
    // No further than the pages the header addresses: a file grown beyond
    // them, sparse or not, holds no records of the index there. A trailing
    // partial page is not read either.
    for (uint64_t number = 1; number < pageLimit; ++number) {
        if (!ReadFile(index.get(), page.get(), pageSize, &read, nullptr) || read != pageSize)
            break;
        if (!passExistingRecords(page.get(), pageSize, files, sink))
            return MSG_OUT_OF_MEMORY;
    }
    return MSG_OK;
}
