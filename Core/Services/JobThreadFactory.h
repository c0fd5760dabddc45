#pragma once

#include "Core/CVClientCommunication/SWThread.h"
#include "Core/Services/HookConnection.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace CVClientData {
class WebDataService;
}

namespace CVCoreDataServices {

class IJobController;
class IUIController;

// Makes the object that carries one announced job to its final answer. The
// job controller calls it for each new job id on the thread that serves the
// job's connection, which has just read the announcement, and then calls its
// Run on that same thread (the object is not started as a thread of its
// own); it must not answer the hook itself.
//
// The job shares its connection with the controller, which marks it when
// the client quits (HookConnection::AnswerForQuit: a job committed to its
// cancel is answered cancel there) and wakes its user-interface waits; the
// job then stores itself and answers. Run must return soon once the client
// quits and the user-interface calls return; a job still running after the
// quit's grace has its connection cut off. The controller closes the connection after
// Run, if the job has not.
//
// A null result (or no factory) leaves the job to print untracked.
using JobThreadFactory = std::function<std::unique_ptr<SWThread>(
    uint32_t jobId, std::shared_ptr<HookConnection> connection, IJobController& controller,
    IUIController& userInterface, CVClientData::WebDataService& webService)>;

}  // namespace CVCoreDataServices
