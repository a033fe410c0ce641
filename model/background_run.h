// The model's one background run (loading details or a content search) and
// the window messages between it and the main window. Their numbers are
// fixed: the main window's procedure is written against them.
#pragma once

#include <cstdint>

#include "core/worker_thread.h"

// WM_USER, spelt out so that the model needs no windows header.
constexpr uint32_t kUserMessageBase = 0x0400;

// Sent by the main thread just before it starts the thread.
// wParam: run kind; lParam: number of steps.
constexpr uint32_t WM_RUN_BEGINS = kUserMessageBase + 111;
// Posted by the thread as its first action. wParam: run kind; lParam: 0.
constexpr uint32_t WM_RUN_STARTED = kUserMessageBase + 112;
// Posted by the thread after each step. wParam and lParam: 0.
constexpr uint32_t WM_RUN_STEP = kUserMessageBase + 113;
// Posted by the thread as its last action. wParam: run kind; lParam: 0.
constexpr uint32_t WM_RUN_ENDED = kUserMessageBase + 114;

enum RunKind : int32_t {
    RUN_NONE = 0,
    RUN_LOADING = 1,
    RUN_CONTENT_SEARCH = 2,
};

// Where a background run's messages go (the main window, in the product),
// so that the model itself never holds a window.
class ModelNotifier {
public:
    virtual ~ModelNotifier() = default;
    // Delivered before it returns; only the main thread sends.
    virtual void send(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    // Queued; the background thread never waits for the main thread.
    virtual void post(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

// The slot of the one background thread: its thread, its kind and where it
// reports. Only the main thread starts runs and asks about them.
class BackgroundRun {
public:
    // Starts `procedure(parameter)` as a run of `kind` that reports to
    // `notifier`. False when no thread could be started; the slot then
    // holds no run, but keeps the notifier for the run's end message.
    bool start(RunKind kind, ModelNotifier& notifier, WorkerThread::Procedure procedure, void* parameter) {
        notifier_ = &notifier;
        kind_ = kind;
        if (thread_.start(procedure, parameter))
            return true;
        kind_ = RUN_NONE;
        return false;
    }

    // RUN_NONE, or the kind of the thread still running. Notices the end of
    // a thread and lets it go.
    RunKind busy() {
        if (kind_ != RUN_NONE && !thread_.running()) {
            thread_.reset();
            kind_ = RUN_NONE;
        }
        return kind_;
    }

    // Where the current (or last) run reports; null before the first.
    ModelNotifier* notifier() const { return notifier_; }

private:
    WorkerThread thread_;
    RunKind kind_ = RUN_NONE;
    ModelNotifier* notifier_ = nullptr;
};
