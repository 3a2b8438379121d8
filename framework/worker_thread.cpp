// Starts the job's worker thread and waits for its end while serving the messages it sends to
// this thread's windows, so that the wait cannot deadlock.
#include "worker_thread.h"

#include <process.h>

#include <memory>

namespace framework {

namespace {

struct Launch {
    ThreadEntry entry;
    void* argument;
};

unsigned __stdcall Trampoline(void* launch) {
    const Launch copy = *static_cast<Launch*>(launch);
    delete static_cast<Launch*>(launch);
    return copy.entry(copy.argument);
}

}  // namespace

bool WorkerThread::Start(ThreadEntry entry, void* argument) {
    auto launch = std::make_unique<Launch>(Launch{entry, argument});
    const uintptr_t thread = _beginthreadex(nullptr, 0, Trampoline, launch.get(), 0, nullptr);
    if (thread == 0) return false;
    launch.release();
    handle_.Reset(reinterpret_cast<HANDLE>(thread));
    return true;
}

void WorkerThread::WaitServingSentMessages() const {
    if (!started()) return;
    const HANDLE thread = handle_.get();
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woke != WAIT_OBJECT_0 + 1) return;  // the thread ended, or the wait is impossible
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace framework
