// Times one full loading pass (titles of the HTML pages, folder by folder, on
// the loading thread) against the floor of this platform for the same files:
// opening each HTML page, reading its first 1023 bytes and closing it, with
// nothing done with them.
//
//   titles_bench.exe CACHE_FOLDER [ROUNDS] [LIST_FILE]
//
// Prints "name value" lines: the best of ROUNDS runs of each, in seconds.
// LIST_FILE, when given, receives the HTML pages' file names, one a line.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "index/cache_entry.h"
#include "index/cache_index_scan.h"
#include "index/entry_flags.h"
#include "model/cache_model.h"
#include "model/index_filing.h"
#include "model/domain_folder.h"
#include "model/loading.h"
#include "model/shell_icons.h"

namespace {

// Counts the run's messages and signals its end; the pass needs no window.
class EventNotifier : public ModelNotifier {
public:
    EventNotifier() : ended_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~EventNotifier() override { CloseHandle(ended_); }
    void send(uint32_t, uintptr_t, intptr_t) override {}
    void post(uint32_t message, uintptr_t, intptr_t) override {
        if (message == WM_RUN_STEP)
            InterlockedIncrement(&steps_);
        if (message == WM_RUN_ENDED)
            SetEvent(ended_);
    }
    void wait() { WaitForSingleObject(ended_, INFINITE); }
    void reset() {
        ResetEvent(ended_);
        steps_ = 0;
    }
    long steps() const { return steps_; }

private:
    HANDLE ended_;
    volatile LONG steps_ = 0;
};

struct ScannedCache {
    CacheModel* model;
    std::vector<std::string> htmlPaths;
    std::vector<std::string> htmlNames;
};

bool scan(const char* folder, ShellTypeIcons& icons, ScannedCache& out) {
    out.model = new CacheModel(&icons);
    if (out.model->status() != 0 || !out.model->cacheDirectory.assign(folder) || scanCacheIndex(*out.model) != MSG_OK)
        return false;
    out.htmlPaths.clear();
    out.htmlNames.clear();
    out.model->cacheRoot->forEachDeep([&](NamedItem* item) {
        auto* entry = static_cast<CacheEntry*>(item);
        char path[MAX_PATH];
        if (entry->mimeIndex() == 0 && cachePath(*out.model, path, sizeof path, entry->localFile())) {
            out.htmlPaths.push_back(path);
            out.htmlNames.push_back(entry->localFile());
        }
    });
    return true;
}

void readHeads(const std::vector<std::string>& paths) {
    char buffer[1024];
    for (const std::string& path : paths) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        DWORD read = 0;
        ReadFile(file, buffer, 1023, &read, nullptr);
        CloseHandle(file);
    }
}

long loadedTitles(const CacheModel& model) {
    long count = 0;
    model.cacheRoot->forEachDeep([&](NamedItem* item) {
        auto* entry = static_cast<CacheEntry*>(item);
        count += entry->mimeIndex() == 0 && !entry->hasAnyFlag(FLAG_TITLE_PENDING);
    });
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    if (!enoughArguments(argc, 2, "titles_bench CACHE_FOLDER [ROUNDS] [LIST_FILE]"))
        return 2;
    const char* folder = argv[1];
    int rounds = roundsArgument(argc, argv, 2, 5);
    prepareLoading();
    ShellTypeIcons icons;
    EventNotifier notifier;

    ScannedCache cache{};
    if (!scan(folder, icons, cache)) {
        std::fprintf(stderr, "titles_bench: the cache could not be read\n");
        return 1;
    }
    if (argc > 3) {
        FILE* list = std::fopen(argv[3], "w");
        if (list) {
            for (const std::string& name : cache.htmlNames)
                std::fprintf(list, "%s\n", name.c_str());
            std::fclose(list);
        }
    }
    const int32_t folders = cache.model->cacheRoot->count();
    const int32_t entries = cache.model->cacheRoot->totalCount();
    delete cache.model;

    // Round 0 warms the file cache for both.
    BestTimes best;
    long titles = 0, steps = 0;
    for (int round = 0; round <= rounds; ++round) {
        double start = now();
        readHeads(cache.htmlPaths);
        double floorTime = now() - start;

        ScannedCache fresh{};
        if (!scan(folder, icons, fresh)) {
            std::fprintf(stderr, "titles_bench: the cache could not be read again\n");
            return 1;
        }
        notifier.reset();
        start = now();
        startLoadingRun(*fresh.model, notifier);
        notifier.wait();
        double passTime = now() - start;
        while (threadBusy(*fresh.model) != 0)
            Sleep(1);
        titles = loadedTitles(*fresh.model);
        steps = notifier.steps();
        delete fresh.model;
        best.add(round, passTime, floorTime);
    }
    std::printf("entries %ld\nfolders %ld\nhtml_files %ld\ntitles_loaded %ld\nsteps %ld\n", static_cast<long>(entries),
                static_cast<long>(folders), static_cast<long>(cache.htmlPaths.size()), titles, steps);
    best.print("pass_seconds");
    return 0;
}
