#include "index/cache_index_scan.h"

#include <windows.h>

#include <cstdlib>

#include "core/file_paths.h"
#include "core/win_handles.h"
#include "index/index_page.h"
#include "index/navigator.h"

namespace {

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};

// The files of the cache directory (folders left out). False when nothing
// matched or memory ran out.
bool listCacheDirectory(const char* pattern, CacheDirectoryFiles& files) {
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(pattern, &found));
    if (!search)
        return false;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (!files.add(found.cFileName))
            return false;
    } while (FindNextFileA(search.get(), &found));
    return files.count() > 0;
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

    char pattern[MAX_PATH];
    if (!joinPath(pattern, sizeof pattern, directory, "*.*"))
        return MSG_NO_CACHE_DIRECTORY;
    CacheDirectoryFiles files;
    if (!listCacheDirectory(pattern, files))
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
