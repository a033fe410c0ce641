// Waiting for the program under test: it runs in a process of its own, so
// the tests poll for what they expect, up to a time limit.
#pragma once

#include <windows.h>

// Polls `condition` every 20 ms until it holds (true) or `timeoutMs` has
// passed (false).
template <class Condition>
bool waitUntil(Condition condition, DWORD timeoutMs = 10000) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}
