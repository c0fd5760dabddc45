#pragma once

#include "Core/CVModels/LocalFiles/IClientLogoSource.h"

#include <optional>
#include <string>

// The server's logo, kept in the per-user folder: "logo.bin" holds the image
// exactly as the server sent it and "logo.cache" its change date, which the
// next check sends back so that the server only sends a changed logo.
class ClientLogo {
public:
    explicit ClientLogo(const std::string& folder);

    // Checks the logo with the server and keeps the answer in the two files;
    // a failed check changes nothing.
    void Update(CVClientData::IClientLogoSource& service);

    // The image file, or nullopt while the standard logo is in use.
    std::optional<std::string> GetLogoFilePath() const;

    bool IsStandardLogo() const { return mblnStandardLogo; }

private:
    void mReadDateToken();
    void mStoreNewLogo(const std::string& data);

    std::string mstrLogoDate = "1";
    std::string mstrLogoFilePath;
    std::string mstrCacheFilePath;
    bool mblnStandardLogo = true;
};
