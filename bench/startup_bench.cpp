// Times the start of tarnview.exe on one cache, from starting the process to
// the end of its loading pass: the tree filled, the first folder listed, the
// progress bar gone and the window painted.
//
//   startup_bench.exe TARNVIEW_EXE CACHE_FOLDER [ROUNDS]
//
// Prints "name value" lines: the best of ROUNDS starts, in seconds, after
// one start that warms the file cache.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "bench_support.h"
#include "startup_probe.h"

int main(int argc, char** argv) {
    if (!enoughArguments(argc, 3, "startup_bench TARNVIEW_EXE CACHE_FOLDER [ROUNDS]"))
        return 2;
    const char* exe = argv[1];
    const char* folder = argv[2];
    int rounds = roundsArgument(argc, argv, 3, 3);
    double best = 1e9;
    long folders = 0, listed = 0;
    for (int round = 0; round <= rounds; ++round) {
        if (!startup_probe::prepareFirstStart(folder)) {
            std::fprintf(stderr, "startup_bench: the registry could not be set\n");
            return 1;
        }
        startup_probe::RunningProgram program;
        double start = now();
        if (!program.start(exe)) {
            std::fprintf(stderr, "startup_bench: %s could not be started\n", exe);
            return 1;
        }
        if (!program.waitUntilLoaded(600000)) {
            std::fprintf(stderr, "startup_bench: the program did not finish loading\n");
            return 1;
        }
        double elapsed = now() - start;
        if (round > 0 && elapsed < best)
            best = elapsed;
        folders = static_cast<long>(startup_probe::ask(program.child(startup_probe::kTreeId), TVM_GETCOUNT)) - 1;
        listed = static_cast<long>(startup_probe::ask(program.child(startup_probe::kListId), LVM_GETITEMCOUNT));
        program.end();
    }
    std::printf("folders %ld\nlisted %ld\nstartup_seconds %.4f\n", folders, listed, best);
    return 0;
}
