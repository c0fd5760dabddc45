#pragma once

#include "Core/CVClientCommunication/ClientCommunicationChannel.h"

#include <memory>

namespace CVCoreDataServices {

// The client's job controller as the socket listener sees it.
class IJobController {
public:
    virtual ~IJobController() = default;

    // Takes one connection that the listener accepted from a hook, on the
    // listener's thread: reads its first message and either answers and
    // disconnects at once or hands the channel to a job thread. The channel
    // now belongs to the controller; it closes when its last owner lets go.
    virtual void HandleHookConnection(std::unique_ptr<ClientCommunicationChannel> channel) = 0;
};

}  // namespace CVCoreDataServices
