// The native build of the portable code runs no threads of its own.
#include "core/worker_thread.h"

WorkerThread::~WorkerThread() = default;

bool WorkerThread::start(Procedure, void*) {
    return false;
}

bool WorkerThread::running() const {
    return false;
}

void WorkerThread::waitForEnd() const {}

void WorkerThread::reset() {}
