#include "index/cache_index_scan.h"

#include <windows.h>

#include <cstdlib>

#include "core/win_handles.h"
#include "index/cache_location.h"
#include "index/index_filing.h"
#include "index/index_page.h"
#include "index/navigator.h"
#include "model/cache_model.h"

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

MessageCode readIndex(CacheModel& model) {
    if (!model.cacheDirectory.view()[0] && !findCacheDirectory(model))
        return MSG_NO_CACHE_DIRECTORY;
    const char* directory = model.cacheDirectory.view();
    uint32_t pageSize = 0;
    FileHandle index = openCacheIndex(directory, pageSize);
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
    IndexFiler filer(model, files);
    DWORD read = 0;
    // A trailing partial page is not read.
    while (ReadFile(index.get(), page.get(), pageSize, &read, nullptr) && read == pageSize) {
        if (!filer.filePage(page.get(), pageSize))
            return MSG_OUT_OF_MEMORY;
    }
    return MSG_OK;
}

}  // namespace

FileHandle openCacheIndex(const char* directory, uint32_t& pageSize) {
    char path[MAX_PATH];
    if (!joinPath(path, sizeof path, directory, kCacheIndexName))
        return FileHandle();
    // The browser may be running and writing its index meanwhile.
    FileHandle index(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!index)
        return index;
    unsigned char header[kIndexHeaderSize];
    DWORD read = 0;
    if (!ReadFile(index.get(), header, sizeof header, &read, nullptr) || read != sizeof header)
        return FileHandle();
    // A page size of 0 counts like a wrong magic: it would never advance
    // through the file.
    uint32_t announced = indexPageSize(header, sizeof header);
    if (announced == 0)
        return FileHandle();
    pageSize = announced;
    return index;
}

MessageCode scanCacheIndex(CacheModel& model) {
    model.lastScanComplete = false;
    MessageCode result = readIndex(model);
    model.lastScanComplete = result == MSG_OK;
    return result;
}

std::unique_ptr<SortedCollection> listDirectory(const char* pattern, uint32_t excludedAttributes) {
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(pattern, &found));
    if (!search)
        return nullptr;
    std::unique_ptr<SortedCollection> names = makeNameList();
    if (!names)
        return nullptr;
    // A large cache directory holds thousands of files: they are appended and
    // sorted once, instead of shifting the array for every name.
    do {
        if (found.dwFileAttributes & excludedAttributes)
            continue;
        if (names->insertStringAt(names->count(), found.cFileName) < 0)
            return nullptr;
    } while (FindNextFileA(search.get(), &found));
    if (!names->sortStable())
        return nullptr;
    return names;
}
