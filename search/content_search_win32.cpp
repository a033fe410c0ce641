#include "search/content_search.h"

#include <windows.h>

#include <cstdlib>
#include <new>
#include <utility>

#include "core/cached_file.h"
#include "core/owned_text.h"
#include "core/win_handles.h"
#include "index/cache_entry.h"
#include "model/background_run.h"
#include "model/cache_model.h"
#include "model/loading.h"
#include "search/content_job.h"
#include "search/content_match.h"

namespace {

// One block of memory for every file of a run, grown when a file needs more:
// a search reads thousands of files, and memory of its own for each would
// cost about as much as reading it.
class FileBlock {
public:
    FileBlock() = default;
    ~FileBlock() { std::free(data_); }
    FileBlock(const FileBlock&) = delete;
    FileBlock& operator=(const FileBlock&) = delete;

    // The whole file, ended by a NUL, in the block; null when the file
    // cannot be opened or read or memory is short. Valid until the next read.
    char* read(const char* path) {
        // The browser may be writing its cache while we read it.
        FileHandle file = openCachedFile(path, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_FLAG_SEQUENTIAL_SCAN);
        if (!file)
            return nullptr;
        size_t length = 0;
        for (;;) {
            if (length + 1 >= capacity_ && !grow())
                return nullptr;
            const DWORD wanted = static_cast<DWORD>(capacity_ - 1 - length);
            DWORD read = 0;
            if (!ReadFile(file.get(), data_ + length, wanted, &read, nullptr))
                return nullptr;
            length += read;
            // A disk file reads short only at its end: one call for a file
            // that fits, as a bare read of it would take.
            if (read < wanted)
                break;
        }
        data_[length] = '\0';
        return data_;
    }

private:
    static constexpr size_t kFirstSize = 256 * 1024;
    static constexpr size_t kLargest = 0x40000000;

    bool grow() {
        size_t size = capacity_ ? capacity_ * 2 : kFirstSize;
        if (size > kLargest)
            return false;
        char* larger = static_cast<char*>(std::realloc(data_, size));
        if (!larger)
            return false;
        data_ = larger;
        capacity_ = size;
        return true;
    }

    char* data_ = nullptr;
    size_t capacity_ = 0;
};

// One WM_RUN_STEP per candidate, posted a few at a time: each post wakes
// the main thread, and waking it for every small file would cost more than
// reading the file. The bar still moves several times a second.
class StepReport {
public:
    explicit StepReport(ModelNotifier& notifier) : notifier_(notifier), lastPost_(GetTickCount()) {}

    void add() {
        ++pending_;
        if (pending_ >= kBurst || GetTickCount() - lastPost_ >= kIntervalMs)
            flush();
    }

    void flush() {
        for (; pending_ > 0; --pending_)
            notifier_.post(WM_RUN_STEP, 0, 0);
        lastPost_ = GetTickCount();
    }

private:
    static constexpr int kBurst = 256;
    static constexpr DWORD kIntervalMs = 100;

    ModelNotifier& notifier_;
    int pending_ = 0;
    DWORD lastPost_;
};

bool fileContainsAll(const CacheModel& model, const CacheEntry& entry, const SearchWords& words, FileBlock& block) {
    char path[MAX_PATH];
    if (!cachePath(model, path, sizeof path, entry.localFile()))
        return false;
    char* text = block.read(path);
    if (!text)
        return false;
    prepareSearchText(text, entry.mimeIndex() == 0);
    return containsAllWords(text, words);
}

// The worker reads the candidates, the words and the cache directory, none
// of which changes while a run is in flight, and writes only the job's
// matches.
uint32_t contentSearchThread(void* parameter) {
    ContentSearchJob& job = *static_cast<ContentSearchJob*>(parameter);
    CacheModel& model = *job.model;
    ModelNotifier& notifier = *model.run.notifier();
    const uint32_t number = model.run.number();
    notifier.post(WM_RUN_STARTED, RUN_CONTENT_SEARCH, 0);
    const SearchWords words = splitWords(job.words.data());
    FileBlock block;
    const SortedCollection& candidates = *job.candidates;
    StepReport steps(notifier);
    for (int32_t i = 0; i < candidates.count(); ++i) {
        CacheEntry* entry = static_cast<CacheEntry*>(candidates.at(i));
        if (fileContainsAll(model, *entry, words, block) && job.matches->insertAt(job.matches->count(), entry) < 0)
            job.matchLost = true;
        steps.add();
    }
    steps.flush();
    notifier.post(WM_RUN_ENDED, RUN_CONTENT_SEARCH, number);
    return 0;
}

}  // namespace

MessageCode ContentSearch::start(CacheModel& model, ModelNotifier& notifier, const char* lowerText,
                                 std::unique_ptr<SortedCollection> candidates) {
    if (!candidates)
        return MSG_OUT_OF_MEMORY;
    if (model.run.inFlight() || threadBusy(model) != RUN_NONE)
        return MSG_OK;
    std::unique_ptr<ContentSearchJob> job(new (std::nothrow) ContentSearchJob);
    if (!job || !job->words.assign(lowerText))
        return MSG_OUT_OF_MEMORY;
    job->matches = makeCandidateSet();
    if (!job->matches)
        return MSG_OUT_OF_MEMORY;
    job->model = &model;
    job->candidates = std::move(candidates);
    const int32_t steps = job->candidates->count();
    model.searchRoot->clearDeep();
    job_ = std::move(job);
    notifier.send(WM_RUN_BEGINS, RUN_CONTENT_SEARCH, steps);
    if (!model.run.start(RUN_CONTENT_SEARCH, notifier, contentSearchThread, job_.get())) {
        // A worker that cannot start has searched nothing: its end says
        // that memory ran out, not that nothing was found. The job goes
        // with the end.
        job_->matchLost = true;
        notifier.post(WM_RUN_ENDED, RUN_CONTENT_SEARCH, model.run.number());
    }
    return MSG_OK;
}

bool documentContainsAll(const CacheModel& model, const CacheEntry& entry, const char* lowerText) {
    OwnedText copy(duplicateText(lowerText));
    if (!copy)
        return false;
    FileBlock block;
    return fileContainsAll(model, entry, splitWords(copy.data()), block);
}
