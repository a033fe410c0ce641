// The one place where tests and benchmarks reach into the program's work.
// The program itself never sets anything here: with the seam untouched,
// every run behaves as it does for a user.
#pragma once

#include <atomic>
#include <cstdint>

// A pause point of the loading pass: called on whichever thread has just
// claimed `folder` (a DomainFolder), before any of its entries is loaded.
struct FolderClaimHook {
    void (*claimed)(void* folder, void* context);
    void* context;
};

struct TestSeam {
    // While set, the background thread of every run "cannot be started",
    // as on a system out of threads.
    std::atomic<bool> refuseWorkerStart{false};
    // Null, or a hook that outlives every run started while it is set.
    std::atomic<const FolderClaimHook*> folderClaimHook{nullptr};

    // How much work a save did, for tests that bound it: candidates whose
    // URLs a link was compared with, and names tried while numbering a taken
    // one. Counted on the thread that saves, which is the one that reads.
    int64_t comparedCandidates = 0;
    int64_t numberedLookups = 0;
};

TestSeam& testSeam();
