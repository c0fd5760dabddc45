#pragma once

#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "Core/CVClientCommunication/SWThread.h"

#include <atomic>

namespace CVCoreDataServices {
class IJobController;
}

// The client's listener thread: listens on the user's socket and hands every
// accepted hook connection to the job controller, until Shutdown.
class ClientCommunicationThread : public SWThread {
public:
    ClientCommunicationThread(const char* userName, CVCoreDataServices::IJobController& jobController);
    ~ClientCommunicationThread() override;

    int Run() override;
    void Shutdown(bool wait) override;

private:
    void mCloseChannel();

    CVCoreDataServices::IJobController& mJobController;
    ClientCommunicationChannel mChannel;
    // Set once the thread is told to stop, so that a stop that comes before
    // Listen is not lost: this object listens once in its life.
    std::atomic<bool> mblnStopping{false};
};
