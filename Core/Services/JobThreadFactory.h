#pragma once

#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "Core/CVClientCommunication/SWThread.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace CVClientData {
class WebDataService;
}

namespace CVCoreDataServices {

class IJobController;
class IUIController;

// Makes the thread that carries one announced job to its final answer, not
// yet started. The job controller calls it on the listener's thread for each
// new job id and then starts the thread; it must return quickly and must not
// answer the hook itself.
//
// The thread shares the connection with the controller, which keeps its
// share only to wake the thread at shutdown (ShutdownConnection): the thread
// sends and receives on it alone and disconnects it when the job is done.
// Its Run must return once the connection fails and its user-interface calls
// return, and, like every SWThread whose Run may still run when it goes, its
// destructor calls Terminate(true).
//
// A null result (or no factory) leaves the job to print untracked.
using JobThreadFactory = std::function<std::unique_ptr<SWThread>(
    uint32_t jobId, std::shared_ptr<ClientCommunicationChannel> channel, IJobController& controller,
    IUIController& userInterface, CVClientData::WebDataService& webService)>;

}  // namespace CVCoreDataServices
