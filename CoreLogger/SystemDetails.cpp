#include "CoreLogger/SystemDetails.h"

#include "Common/StringFormat.h"
#include "Platform/FileSystemRoot.h"
#include "Platform/Preferences.h"
#include "Platform/UserAccount.h"

namespace CoreLogger {

SystemDetails::SystemDetails()
    : mstrUserName(Platform::CurrentUserName()),
      mblnDebugLogging(DebugLoggingEnabled()),
      mstrLogFileName("Quorvel.log"),
      mstrLogFolderName("Library/Logs")
{
}

bool SystemDetails::DebugLoggingEnabled()
{
    Platform::PreferenceValue value = Platform::CopyAppValue("DebugLogging", "com.corvane.cvk.client");
    return !(value.IsText() && value.text == "0");
}

std::string SystemDetails::GetLoggingDirectory() const
{
    if (mstrUserName == "root")
        return Platform::HostPath("/Library/Logs");
    return stringFormat("%s/%s", Platform::CurrentHomeFolder(), mstrLogFolderName);
}

}  // namespace CoreLogger
