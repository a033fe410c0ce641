// Carries the background threads' messages to the main window, so that the
// model itself never holds a window.
#pragma once

#include <windows.h>

#include "model/background_run.h"

class WindowNotifier : public ModelNotifier {
public:
    explicit WindowNotifier(HWND window) : window_(window) {}
    void send(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        SendMessageA(window_, message, wParam, lParam);
    }
    void post(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        // A full queue refuses a message. A lost step only leaves the
        // progress bar behind, but the end of a run must arrive, or the run
        // would stay in flight for good: the thread waits for room.
        while (!PostMessageA(window_, message, wParam, lParam) && message == WM_RUN_ENDED && IsWindow(window_))
            Sleep(10);
    }

private:
    HWND window_;
};
