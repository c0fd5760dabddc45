#include "CoreLogger/SystemDetails.h"

#include "Common/StringFormat.h"
#include "Platform/Folders.h"
#include "Platform/Preferences.h"
#include "Platform/UserAccount.h"

namespace CoreLogger {

SystemDetails::SystemDetails()
    : mstrUserName(Platform::CurrentUserName()),
      mblnDebugLogging(DebugLoggingEnabled()),
      mstrLogFileName("Quorvel.log")
{
}

bool SystemDetails::DebugLoggingEnabled()
{
    Platform::PreferenceValue value = Platform::CopyAppValue("DebugLogging", "com.corvane.cvk.client");
    return !(value.IsText() && value.text == "0");
}

std::string SystemDetails::GetLoggingDirectory() const
{
    return Platform::FolderPath(mstrUserName == "root" ? Platform::Folder::SystemLogs : Platform::Folder::UserLogs);
}

}  // namespace CoreLogger
