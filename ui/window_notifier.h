// Carries the background threads' messages to the main window, so that the
// model itself never holds a window.
#pragma once

#include <windows.h>

#include "model/cache_model.h"

class WindowNotifier : public ModelNotifier {
public:
    explicit WindowNotifier(HWND window) : window_(window) {}
    void send(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        SendMessageA(window_, message, wParam, lParam);
    }
    void post(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        PostMessageA(window_, message, wParam, lParam);
    }

private:
    HWND window_;
};
