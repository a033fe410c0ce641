// Times the index scan of one cache folder against the floor of this
// platform for the same input: listing the folder and reading FAT.DB page by
// page, with nothing done with either.
//
//   scan_bench.exe CACHE_FOLDER [ROUNDS]
//
// Prints "name value" lines: the best of ROUNDS runs of each, in seconds.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "index/cache_index_scan.h"
#include "index/navigator.h"
#include "model/cache_model.h"
#include "model/index_filing.h"
#include "model/shell_icons.h"

namespace {

struct FloorResult {
    long files = 0;
    long pages = 0;
};

FloorResult listAndRead(const char* folder) {
    FloorResult result;
    char pattern[MAX_PATH];
    std::snprintf(pattern, sizeof pattern, "%s\\*.*", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ++result.files;
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%s\\%s", folder, kCacheIndexName);
    HANDLE index = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (index == INVALID_HANDLE_VALUE)
        return result;
    unsigned char header[kIndexHeaderSize];
    DWORD read = 0;
    ReadFile(index, header, sizeof header, &read, nullptr);
    DWORD pageSize = header[kIndexPageSizeByte] * 256u;
    if (pageSize > 0) {
        std::vector<unsigned char> page(pageSize);
        SetFilePointer(index, static_cast<LONG>(pageSize), nullptr, FILE_BEGIN);
        while (ReadFile(index, page.data(), pageSize, &read, nullptr) && read == pageSize)
            ++result.pages;
    }
    CloseHandle(index);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (!enoughArguments(argc, 2, "scan_bench CACHE_FOLDER [ROUNDS]"))
        return 2;
    const char* folder = argv[1];
    int rounds = roundsArgument(argc, argv, 2, 5);
    ShellTypeIcons icons;

    // The first pass of each warms the file cache and the locale tables.
    FloorResult floor = listAndRead(folder);
    BestTimes best;
    int32_t entries = 0;
    int32_t folders = 0;
    int32_t types = 0;
    for (int round = 0; round <= rounds; ++round) {
        double start = now();
        floor = listAndRead(folder);
        double floorTime = now() - start;

        CacheModel* model = new CacheModel(&icons);
        if (model->status() != 0 || !model->cacheDirectory.assign(folder)) {
            std::fprintf(stderr, "scan_bench: the model could not be made\n");
            return 1;
        }
        start = now();
        MessageCode result = scanCacheIndex(*model);
        double scanTime = now() - start;
        if (result != MSG_OK) {
            std::fprintf(stderr, "scan_bench: scanCacheIndex returned 0x%lX\n", static_cast<unsigned long>(result));
            return 1;
        }
        entries = model->cacheRoot->totalCount();
        folders = model->cacheRoot->count();
        types = model->mimeTypes->count();
        delete model;
        best.add(round, scanTime, floorTime);
    }
    std::printf("files %ld\npages %ld\nentries %ld\nfolders %ld\ntypes %ld\n", floor.files, floor.pages,
                static_cast<long>(entries), static_cast<long>(folders), static_cast<long>(types));
    best.print("scan_seconds");
    return 0;
}
