#include "CoreLogger/Logger.h"

#include "Common/StringFormat.h"
#include "CoreLogger/LoggerFactory.h"
#include "CoreLogger/SystemDetails.h"

void Logger::Log(LogComponents component, std::string message)
{
    Log_Info(component, std::move(message));
}

void Logger::Log_Info(LogComponents component, std::string message)
{
    CoreLogger::LoggerFactory::CreateLogger(false)->LogMessage(component, std::move(message));
}

void Logger::Log_Debug(LogComponents component, std::string message)
{
    CoreLogger::LoggerFactory::CreateLogger(false)->LogMessageDebug(component, std::move(message));
}

void Logger::Log_Error(LogComponents component, std::string message)
{
    CoreLogger::LoggerFactory::CreateLogger(false)->LogMessageError(component, std::move(message));
}

void Logger::Log_Debug_Start(LogComponents component, std::string name)
{
    Log_Debug(component, stringFormat("*START*:[ %s ]", name));
}

void Logger::Log_Debug_End(LogComponents component, std::string name)
{
    Log_Debug(component, stringFormat("*END*:[ %s ]", name));
}

bool Logger::IsDebugLoggingEnabled()
{
    return CoreLogger::SystemDetails::DebugLoggingEnabled();
}
