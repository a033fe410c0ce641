// Times one whole content search (the worker reading every candidate, its
// progress messages handled by a window on the main thread, the matches
// filed at the end) against the floor of this platform for the same files:
// opening each candidate file, reading it whole with ReadFile and closing it,
// with nothing done with the bytes.
//
//   search_bench.exe CACHE_FOLDER WORDS [ROUNDS] [LIST_FILE]
//
// Prints "name value" lines: the best of ROUNDS runs of each, in seconds.
// LIST_FILE, when given, receives the candidates' file names, one a line.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/text_locale.h"
#include "index/cache_entry.h"
#include "model/cache_model.h"
#include "model/index_filing.h"
#include "model/loading.h"
#include "search/content_search.h"

namespace {

// The main window's part of a run: a window whose thread handles every
// message the worker posts, as the program's main window does.
class RunWindow : public ModelNotifier {
public:
    RunWindow() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TarnSearchBench";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "TarnSearchBench", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    }
    ~RunWindow() override { DestroyWindow(window_); }
    void send(uint32_t, uintptr_t, intptr_t) override {}
    void post(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        PostMessageA(window_, message, wParam, lParam);
    }

    // Handles the run's messages until its end; returns the run's number.
    uint32_t pumpUntilEnded(long& steps) {
        steps = 0;
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (message.message == WM_RUN_STEP)
                ++steps;
            if (message.message == WM_RUN_ENDED)
                return static_cast<uint32_t>(message.lParam);
        }
        return 0;
    }

private:
    HWND window_ = nullptr;
};

bool scan(const char* folder, CacheModel& model) {
    return model.status() == 0 && model.cacheDirectory.assign(folder) && scanCacheIndex(model) == MSG_OK;
}

// The floor: each file opened, read whole into one buffer, closed.
void readWhole(const std::vector<std::string>& paths, std::vector<char>& buffer) {
    for (const std::string& path : paths) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        DWORD read = 0;
        while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
               read == buffer.size()) {
        }
        CloseHandle(file);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!enoughArguments(argc, 3, "search_bench CACHE_FOLDER WORDS [ROUNDS] [LIST_FILE]"))
        return 2;
    const char* folder = argv[1];
    std::string words = argv[2];
    lowerText(&words[0]);
    int rounds = roundsArgument(argc, argv, 3, 5);
    prepareLoading();

    CacheModel model(nullptr);
    if (!scan(folder, model)) {
        std::fprintf(stderr, "search_bench: the cache could not be read\n");
        return 1;
    }
    std::unique_ptr<SortedCollection> all = makeCandidateSet();
    if (!all || !addCacheCandidates(*all, model))
        return 1;
    std::vector<std::string> paths;
    double bytes = 0;
    FILE* list = argc > 4 ? std::fopen(argv[4], "w") : nullptr;
    all->forEach([&](NamedItem* item) {
        auto* entry = static_cast<CacheEntry*>(item);
        char path[MAX_PATH];
        if (!cachePath(model, path, sizeof path, entry->localFile()))
            return;
        paths.push_back(path);
        bytes += entry->contentLength();
        if (list)
            std::fprintf(list, "%s\n", entry->localFile());
    });
    if (list)
        std::fclose(list);

    RunWindow window;
    ContentSearch search;
    std::vector<char> buffer(1 << 20);
    BestTimes best;
    long steps = 0;
    int32_t matches = 0;
    for (int round = 0; round <= rounds; ++round) {
        double start = now();
        readWhole(paths, buffer);
        double floorTime = now() - start;

        std::unique_ptr<SortedCollection> candidates = makeCandidateSet();
        if (!candidates || !addCacheCandidates(*candidates, model))
            return 1;
        start = now();
        if (search.start(model, window, words.c_str(), std::move(candidates)) != MSG_OK)
            return 1;
        uint32_t number = window.pumpUntilEnded(steps);
        acceptRunEnd(model, number);
        search.fileResults(model);
        search.pruneEmptyResults(model);
        double searchTime = now() - start;
        matches = model.searchRoot->totalCount();
        best.add(round, searchTime, floorTime);
    }
    std::printf("candidates %ld\nmegabytes %.1f\nmatches %ld\nsteps %ld\n", static_cast<long>(paths.size()),
                bytes / 1e6, static_cast<long>(matches), steps);
    best.print("search_seconds");
    return 0;
}
