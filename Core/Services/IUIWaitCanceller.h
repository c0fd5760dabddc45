#pragma once

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
};

}  // namespace CVCoreDataServices
