// What the benchmark programs share: their command line, the clock, the best
// of the measured rounds and the lines the driver scripts read.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>

// Seconds on the performance counter.
inline double now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// False, after printing `usage`, when the command line holds fewer than
// `needed` words (the program's name counts).
inline bool enoughArguments(int argc, int needed, const char* usage) {
    if (argc >= needed)
        return true;
    std::fprintf(stderr, "usage: %s\n", usage);
    return false;
}

// ROUNDS, the command line's argument `index`, or `fallback` without it.
inline int roundsArgument(int argc, char** argv, int index, int fallback) {
    return argc > index ? std::atoi(argv[index]) : fallback;
}

// The fastest round of ours and of the floor. Round 0 is not counted: it
// warms the file cache and the locale tables for both.
class BestTimes {
public:
    void add(int round, double ours, double floor) {
        if (round == 0)
            return;
        if (ours < ours_)
            ours_ = ours;
        if (floor < floor_)
            floor_ = floor;
    }

    // The last two lines of every benchmark's output; `oursName` tells what
    // was timed, the driver script reads it and "floor_seconds".
    void print(const char* oursName) const {
        std::printf("%s %.4f\nfloor_seconds %.4f\n", oursName, ours_, floor_);
    }

private:
    double ours_ = 1e9;
    double floor_ = 1e9;
};
