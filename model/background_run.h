// The model's one background run (loading details or a content search) and
// the window messages between it and the main window. Their numbers are
// fixed: the main window's procedure is written against them.
#pragma once

#include <cstdint>

#include "core/test_seam.h"
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
// Posted by the thread as its last action. wParam: run kind; lParam: the
// run's number, so that the end of an earlier run is known for what it is.
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

// The slot of the one background thread: its thread, its kind, its number
// and where it reports. Only the main thread starts runs and asks about
// them.
//
// A run is in flight from its start until the main thread has handled its
// end message: the thread may be gone while its WM_RUN_ENDED still waits in
// the queue, and a new run started then would have its folders emptied by
// the old run's end.
class BackgroundRun {
public:
    // Starts `procedure(parameter)` as the next run, of `kind`, reporting to
    // `notifier`. False when no thread could be started; the run is in
    // flight all the same, and its end message is the caller's to post.
    bool start(RunKind kind, ModelNotifier& notifier, WorkerThread::Procedure procedure, void* parameter) {
        notifier_ = &notifier;
        ++number_;
        inFlight_ = true;
        flightKind_ = kind;
        kind_ = kind;
        if (!testSeam().refuseWorkerStart.load(std::memory_order_acquire) && thread_.start(procedure, parameter))
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

    uint32_t number() const { return number_; }
    bool inFlight() const { return inFlight_; }
    // The kind of the run in flight, RUN_NONE when there is none.
    RunKind flightKind() const { return inFlight_ ? flightKind_ : RUN_NONE; }

    // The main thread has the end message of run `number`: true when it is
    // the run in flight, which then is over (its thread, which only posted
    // the message, is waited for); false for the end of an earlier run.
    bool finish(uint32_t number) {
        if (!inFlight_ || number != number_)
            return false;
        inFlight_ = false;
        thread_.waitForEnd();
        busy();
        return true;
    }

    // Where the current (or last) run reports; null before the first.
    ModelNotifier* notifier() const { return notifier_; }

private:
    WorkerThread thread_;
    RunKind kind_ = RUN_NONE;
    uint32_t number_ = 0;
    bool inFlight_ = false;
    RunKind flightKind_ = RUN_NONE;
    ModelNotifier* notifier_ = nullptr;
};
