#pragma once

#include <thread>

namespace CVCoreDataServices {

// Implemented, besides IUIController, by a user interface whose calls from
// job threads wait for an answer (a window on the main thread). The job
// controller's Shutdown, which runs on the main thread and waits for every
// job thread, calls it first: from then on every such call that is waiting
// returns at once, and every later one does not wait, each answering as if
// the user had closed the window (false, nothing chosen).
class IUIWaitCanceller {
public:
    virtual ~IUIWaitCanceller() = default;
    virtual void CancelWaitsForShutdown() = 0;
    // The call that this thread waits in is no longer wanted (its job's hook
    // has gone): a call still queued returns at once, a window that is up
    // for it closes as if the user had closed it. Calls of other threads go
    // on; a thread that waits in no call is not affected. Any thread.
    virtual void CancelWaitOf(std::thread::id caller) = 0;
};

}  // namespace CVCoreDataServices
