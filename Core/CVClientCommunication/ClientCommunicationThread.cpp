#include "Core/CVClientCommunication/ClientCommunicationThread.h"

#include "Core/CVClientCommunication/IJobController.h"
#include "CoreLogger/ComponentLog.h"

#include <memory>

using Log = ComponentLog<LogComponents::CoreMessaging>;

ClientCommunicationThread::ClientCommunicationThread(const char* userName,
                                                     CVCoreDataServices::IJobController& jobController)
    : mJobController(jobController), mChannel(userName)
{
}

// Stops and joins the thread while Run and the channel still exist.
ClientCommunicationThread::~ClientCommunicationThread()
{
    Terminate(true);
}

// Listens, then accepts connections one by one and hands each to the job
// controller, until listening stops or fails.
int ClientCommunicationThread::Run()
{
    Log::Debug("ClientCommunicationThread::Run - client <--> hook communication thread starting.");
    Log::Debug("ClientCommunicationThread::Run - listening for print jobs");
    if (!mChannel.Listen())
        return 0;
    // A Shutdown that ran before Listen found nothing to close.
    if (mblnStopping) {
        mCloseChannel();
        return 0;
    }
    for (;;) {
        ClientCommunicationChannel connection = mChannel.Accept();
        if (!connection.IsConnected())
            break;
        mJobController.HandleHookConnection(std::make_unique<ClientCommunicationChannel>(std::move(connection)));
    }
    return 0;
}

// Stops listening, which wakes the blocked Accept and ends Run.
void ClientCommunicationThread::Shutdown(bool /*wait*/)
{
    mblnStopping = true;
    mCloseChannel();
}

// Closes the listening socket and removes the socket file.
void ClientCommunicationThread::mCloseChannel()
{
    mChannel.StopListening();
}
