#pragma once

#include "Common/StringFormat.h"
#include "CoreLogger/Logger.h"

#include <string>
#include <utility>

// The job thread's log lines, formatted and written under the job-handling
// component unless another one is named.
namespace CVCoreDataServices::JobLog {

constexpr LogComponents Component = LogComponents::CoreJobHandling;

// Writes one debug line under a component.
template <typename... Args>
void DebugAs(LogComponents component, std::string format, Args&&... args)
{
    Logger::Log_Debug(component, stringFormat(std::move(format), std::forward<Args>(args)...));
}

// Writes one debug line of the job thread.
template <typename... Args>
void Debug(std::string format, Args&&... args)
{
    DebugAs(Component, std::move(format), std::forward<Args>(args)...);
}

// Writes one information line of the job thread.
template <typename... Args>
void Info(std::string format, Args&&... args)
{
    Logger::Log_Info(Component, stringFormat(std::move(format), std::forward<Args>(args)...));
}

// Writes one error line of the job thread.
template <typename... Args>
void Error(std::string format, Args&&... args)
{
    Logger::Log_Error(Component, stringFormat(std::move(format), std::forward<Args>(args)...));
}

}  // namespace CVCoreDataServices::JobLog
