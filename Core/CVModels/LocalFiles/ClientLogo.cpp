#include "Core/CVModels/LocalFiles/ClientLogo.h"

#include "Common/PrivateFileWriter.h"
#include "Common/TextTrim.h"
#include "CoreLogger/ComponentLog.h"

#include <fstream>
#include <span>
#include <unistd.h>

using Log = ComponentLog<LogComponents::CoreGeneral>;

using CVClientData::ClientLogoResult;

namespace {

// Replaces a file with the given bytes; failures are logged, not reported.
void ReplaceFile(const std::string& path, std::string_view bytes)
{
    PrivateFileWriter file;
    auto data = std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    if (!(file.Open(path) && file.Write(data) && file.Commit(PrivateFileWriter::Durability::Cache)))
        Log::Error("ClientLogo::Update - %s", file.GetError());
}

}  // namespace

ClientLogo::ClientLogo(const std::string& folder)
    : mstrLogoFilePath(folder + "/logo.bin"), mstrCacheFilePath(folder + "/logo.cache")
{
}

// Takes the change date of the logo held, or none when there is no logo.
void ClientLogo::mReadDateToken()
{
    std::ifstream cache(mstrCacheFilePath);
    mstrLogoDate.clear();
    if (cache)
        cache >> mstrLogoDate;
    // Without the image the date is dropped, so that the server sends it again.
    if (!std::ifstream(mstrLogoFilePath, std::ios::binary))
        mstrLogoDate.clear();
}

void ClientLogo::mStoreNewLogo(const std::string& data)
{
    ReplaceFile(mstrCacheFilePath, mstrLogoDate);
    ReplaceFile(mstrLogoFilePath, data);
}

void ClientLogo::Update(CVClientData::IClientLogoSource& service)
{
    mReadDateToken();

    // A check that answers without a result keeps the logo in use.
    ClientLogoResult result = mblnStandardLogo ? CVClientData::StandardLogo : CVClientData::LogoUnchanged;
    std::string data;
    std::string date = mstrLogoDate;
    if (!service.GetClientLogo(result, data, date))
        return;

    switch (result) {
    case CVClientData::StandardLogo:
        mblnStandardLogo = true;
        ::unlink(mstrLogoFilePath.c_str());
        break;
    case CVClientData::LogoUnchanged:
        mblnStandardLogo = false;
        break;
    case CVClientData::NewLogo:
        mblnStandardLogo = false;
        // The date comes from a response header as sent; stray blanks around it
        // would cut it short when it is read back as one token.
        mstrLogoDate = std::string(TrimWhiteSpace(date));
        mStoreNewLogo(data);
        break;
    default:
        mblnStandardLogo = true;
        Log::Error("ClientLogo::Update - unexpected LogoResult: %d.  Falling back to standard logo",
                   static_cast<int>(result));
        break;
    }
}

std::optional<std::string> ClientLogo::GetLogoFilePath() const
{
    if (mblnStandardLogo)
        return std::nullopt;
    return mstrLogoFilePath;
}
