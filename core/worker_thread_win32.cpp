#include "core/worker_thread.h"

#include <windows.h>

#include <new>

namespace {

struct ThreadStart {
    WorkerThread::Procedure procedure;
    void* parameter;
};

DWORD WINAPI runThread(void* start) {
    ThreadStart copy = *static_cast<ThreadStart*>(start);
    delete static_cast<ThreadStart*>(start);
    return copy.procedure(copy.parameter);
}

}  // namespace

WorkerThread::~WorkerThread() {
    reset();
}

bool WorkerThread::start(Procedure procedure, void* parameter) {
    reset();
    if (!procedure)
        return false;
    ThreadStart* start = new (std::nothrow) ThreadStart{procedure, parameter};
    if (!start)
        return false;
    handle_ = CreateThread(nullptr, 0, runThread, start, 0, nullptr);
    if (!handle_)
        delete start;
    return handle_ != nullptr;
}

bool WorkerThread::running() const {
    DWORD exitCode = 0;
    return handle_ && GetExitCodeThread(handle_, &exitCode) && exitCode == STILL_ACTIVE;
}

void WorkerThread::waitForEnd() const {
    // A thread whose last action was to post its end message is gone at
    // once; the limit only keeps a stuck thread from freezing the window.
    if (handle_)
        WaitForSingleObject(handle_, 2000);
}

void WorkerThread::reset() {
    if (handle_)
        CloseHandle(handle_);
    handle_ = nullptr;
}
