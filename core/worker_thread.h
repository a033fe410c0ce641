// A thread of the program's own, owned by whoever started it. The owner
// never waits for the thread or stops it: a thread still running when the
// owner goes keeps running until the process ends.
#pragma once

#include <cstdint>

class WorkerThread {
public:
    using Procedure = uint32_t (*)(void* parameter);

    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs `procedure(parameter)` on a new thread. False when no thread could
    // be started, or there is no procedure (then nothing runs); a thread held
    // before is let go.
    bool start(Procedure procedure, void* parameter);
    // Whether a thread was started and has not ended yet.
    bool running() const;
    // Waits a moment for a thread that is about to end (one that has posted
    // its last message); returns at once when there is none.
    void waitForEnd() const;
    // Lets go of the thread, running or not.
    void reset();

private:
    void* handle_ = nullptr;
};
