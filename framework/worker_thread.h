#pragma once
#include <windows.h>

#include "owned_handle.h"

namespace framework {

using ThreadEntry = unsigned (*)(void*);

// One worker thread at normal priority with the default stack, running at once.
// The object owns the thread's handle, not the thread: the thread keeps running
// if the object goes away.
class WorkerThread {
public:
    // False when the thread could not be created; the argument is then untouched.
    bool Start(ThreadEntry entry, void* argument);
    bool started() const { return handle_.valid(); }
    bool finished() const {
        return !started() || WaitForSingleObject(handle_.get(), 0) == WAIT_OBJECT_0;
    }

    // Waits for the thread's end while serving messages that other threads send
    // to this thread's windows, so a worker that sends to them cannot deadlock
    // the wait. Posted messages stay in the queue.
    void WaitServingSentMessages() const;

private:
    OwnedHandle handle_;
};

}  // namespace framework
