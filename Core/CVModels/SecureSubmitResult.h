#pragma once

#include "Core/CVModels/SerializableModel.h"

#include <string>

namespace CVClientData {

// The server's answer to a secure-release submission: where and with which
// token the job's print data is to be uploaded.
class SecureSubmitResult : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;
    void FromJson(const nlohmann::json& json) override;

    void CopyFrom(const SecureSubmitResult& other) { *this = other; }

    std::string JobIdentifier;  // the secured job's identifier, last segment of the upload path
    std::string PayloadToken;
    std::string PayloadUrl;  // the base URL the upload path is appended to
    int32_t SecureJobId = 0;
};

}  // namespace CVClientData
