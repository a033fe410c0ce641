// A hidden main window that records the background run's messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "model/cache_model.h"
#include "model/loading.h"
#include "ui/frame/window_notifier.h"

struct RunMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const RunMessage& other) const {
        return message == other.message && wParam == other.wParam && lParam == other.lParam;
    }
};

class RunWindow {
public:
    RunWindow() : window_(createWindow()), notifier_(window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~RunWindow() { DestroyWindow(window_); }
    RunWindow(const RunWindow&) = delete;
    RunWindow& operator=(const RunWindow&) = delete;

    HWND window() const { return window_; }
    ModelNotifier& notifier() { return notifier_; }
    const std::vector<RunMessage>& messages() const { return messages_; }
    bool ended() const { return ended_; }
    // Before a second run in the same window.
    void expectAnotherRun() { ended_ = false; }
    // Hands the end of each run to `model`, as the main window does.
    void follow(CacheModel& model) { model_ = &model; }

    // Dispatches the thread's messages until WM_RUN_ENDED has been handled.
    bool pumpUntilEnded(DWORD timeoutMs = 60000) {
        DWORD start = GetTickCount();
        while (!ended_) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
            if (ended_)
                break;
            if (GetTickCount() - start > timeoutMs)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return true;
    }

    int count(UINT message) const {
        int n = 0;
        for (const RunMessage& m : messages_)
            n += m.message == message;
        return n;
    }

private:
    static HWND createWindow() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TarnRunTestWindow";
        RegisterClassA(&windowClass);
        return CreateWindowExA(0, "TarnRunTestWindow", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                               windowClass.hInstance, nullptr);
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message >= WM_RUN_BEGINS && message <= WM_RUN_ENDED) {
            auto* self = reinterpret_cast<RunWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
            self->messages_.push_back({message, wParam, lParam});
            if (message == WM_RUN_ENDED) {
                self->ended_ = true;
                if (self->model_)
                    acceptRunEnd(*self->model_, static_cast<uint32_t>(lParam));
            }
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_;
    WindowNotifier notifier_;
    std::vector<RunMessage> messages_;
    bool ended_ = false;
    CacheModel* model_ = nullptr;
};

// Waits until the model's background thread has really ended.
inline bool waitForThreadEnd(CacheModel& model, DWORD timeoutMs = 60000) {
    DWORD start = GetTickCount();
    while (threadBusy(model) != RUN_NONE) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(1);
    }
    return true;
}
