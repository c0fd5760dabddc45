#include "hook/ParserErrorLog.h"

#include "CoreLogger/ComponentLog.h"

void ParserErrorLog::WriteError(const char* text)
{
    using Log = ComponentLog<LogComponents::CoreRawPrint>;
    if (text == nullptr || mintLines > MaxLines)
        return;
    if (++mintLines > MaxLines)
        Log::Error("More errors of the printer-language parser for this job are not logged.");
    else
        Log::Error("%s", text);
}
