#pragma once

#include "Common/StringFormat.h"
#include "CoreLogger/Logger.h"

#include <string>
#include <utility>

// The job controller's log lines, formatted and written under its component.
namespace CVCoreDataServices::ControllerLog {

constexpr LogComponents Component = LogComponents::CoreClientCommunication;

// Writes one debug line of the job controller.
template <typename... Args>
void Debug(std::string format, Args&&... args)
{
    Logger::Log_Debug(Component, stringFormat(std::move(format), std::forward<Args>(args)...));
}

// Writes one error line of the job controller.
template <typename... Args>
void Error(std::string format, Args&&... args)
{
    Logger::Log_Error(Component, stringFormat(std::move(format), std::forward<Args>(args)...));
}

}  // namespace CVCoreDataServices::ControllerLog
