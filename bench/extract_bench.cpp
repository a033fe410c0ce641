// Times saving every page of a cache with all link options on, against the
// floor of this platform: a bare loop that copies the same files with
// CreateFileA, ReadFile, WriteFile and CloseHandle into an empty folder.
//
//   extract_bench.exe CACHE_FOLDER WORK_FOLDER [ROUNDS]
//
// WORK_FOLDER must exist and be empty; each round saves into a new folder in
// it. Prints "name value" lines (times are the best of ROUNDS, in seconds)
// and writes WORK_FOLDER\files.txt, the cache file names of the documents
// saved, one a line, for a native copy of the same files.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "extract/extraction_run.h"
#include "index/cache_entry.h"
#include "model/index_filing.h"
#include "model/cache_model.h"
#include "model/shell_icons.h"

namespace {

struct SavedFile {
    std::string source;  // name in the cache folder
    std::string target;  // local name
};

struct RunResult {
    bool ok = false;
    double seconds = 0;
    std::vector<SavedFile> files;
    bool missingPage = false;
};

RunResult saveAllPages(const CacheModel& model, const std::vector<CacheEntry*>& pages, const std::string& folder) {
    RunResult result;
    if (!CreateDirectoryA(folder.c_str(), nullptr))
        return result;
    double start = now();
    // Without a host the save runs unwatched and numbers every clash.
    MessageCode status;
    std::unique_ptr<ExtractionJob> job = createJob(model, folder.c_str(), kAllExtractOptions, nullptr, status);
    if (!job)
        return result;
    for (CacheEntry* page : pages) {
        if (addDocument(*job, *page) < 0 && job->status() != 0)
            return result;
    }
    MessageCode code = runExtractionJob(*job);
    result.seconds = now() - start;
    if (code != MSG_OK) {
        std::fprintf(stderr, "extract_bench: the run returned 0x%lX\n", static_cast<unsigned long>(code));
        return result;
    }
    for (int32_t i = 0; i < job->count(); ++i)
        result.files.push_back({job->itemAt(i)->sourceFile(), job->itemAt(i)->localName()});
    result.missingPage = job->hasAnyFlag(FLAG_MISSING_PAGE_NEEDED);
    result.ok = true;
    return result;
}

bool copyFile(const std::string& source, const std::string& target, std::vector<char>& buffer) {
    HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return false;
    HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = out != INVALID_HANDLE_VALUE;
    DWORD read = 0;
    while (ok && ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0) {
        DWORD written = 0;
        ok = WriteFile(out, buffer.data(), read, &written, nullptr) && written == read;
    }
    if (out != INVALID_HANDLE_VALUE)
        CloseHandle(out);
    CloseHandle(in);
    return ok;
}

// The floor: the same files copied with nothing else done.
double copyBare(const std::string& cache, const std::vector<SavedFile>& files, const std::string& folder,
                long long& bytes) {
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<char> buffer(65536);
    bytes = 0;
    double start = now();
    for (const SavedFile& file : files) {
        if (!copyFile(cache + "\\" + file.source, folder + "\\" + file.target, buffer))
            return -1;
    }
    double seconds = now() - start;
    for (const SavedFile& file : files) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA((folder + "\\" + file.target).c_str(), GetFileExInfoStandard, &data))
            bytes += data.nFileSizeLow;
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (!enoughArguments(argc, 3, "extract_bench CACHE_FOLDER WORK_FOLDER [ROUNDS]"))
        return 2;
    std::string cache = argv[1];
    std::string work = argv[2];
    int rounds = roundsArgument(argc, argv, 3, 3);

    ShellTypeIcons icons;
    CacheModel model(&icons);
    if (model.status() != 0 || !model.cacheDirectory.assign(cache.c_str()) || scanCacheIndex(model) != MSG_OK) {
        std::fprintf(stderr, "extract_bench: the cache could not be read\n");
        return 1;
    }
    std::vector<CacheEntry*> pages;
    int32_t entries = 0;
    for (int32_t f = 0; f < model.cacheRoot->count(); ++f) {
        DomainFolder* folder = model.cacheRoot->folderAt(f);
        for (int32_t i = 0; i < folder->count(); ++i) {
            ++entries;
            if (folder->entryAt(i)->mimeIndex() == 0)
                pages.push_back(folder->entryAt(i));
        }
    }

    // Round 0 of each warms the file cache and the locale tables.
    BestTimes best;
    long long bytes = 0;
    RunResult last;
    for (int round = 0; round <= rounds; ++round) {
        std::string suffix = std::to_string(round);
        RunResult run = saveAllPages(model, pages, work + "\\run" + suffix);
        if (!run.ok) {
            std::fprintf(stderr, "extract_bench: the save failed\n");
            return 1;
        }
        double floor = copyBare(cache, run.files, work + "\\floor" + suffix, bytes);
        if (floor < 0) {
            std::fprintf(stderr, "extract_bench: the bare copy failed\n");
            return 1;
        }
        best.add(round, run.seconds, floor);
        last = std::move(run);
    }

    FILE* list = std::fopen((work + "\\files.txt").c_str(), "w");
    if (list) {
        for (const SavedFile& file : last.files)
            std::fprintf(list, "%s\n", file.source.c_str());
        std::fclose(list);
    }
    std::printf("entries %ld\npages %ld\nsaved %ld\nbytes %lld\nmissing_page %d\n", static_cast<long>(entries),
                static_cast<long>(pages.size()), static_cast<long>(last.files.size()), bytes, last.missingPage ? 1 : 0);
    best.print("run_seconds");
    return 0;
}
