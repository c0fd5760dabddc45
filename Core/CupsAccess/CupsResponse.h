#pragma once

#include <cups/ipp.h>

#include <string>

namespace CVClientData {

// An IPP response of the CUPS server, owned and freed with this object, with
// typed look-ups of the first value of the first attribute of a name.
class CupsResponse {
public:
    explicit CupsResponse(ipp_t* response) : mResponse(response) {}
    ~CupsResponse();
    CupsResponse(const CupsResponse&) = delete;
    CupsResponse& operator=(const CupsResponse&) = delete;

    ipp_status_t GetStatus() const;

    int GetIntegerValue(const char* name, int defaultValue) const;
    int GetEnumValue(const char* name, int defaultValue) const;
    bool GetBooleanValue(const char* name, bool defaultValue) const;
    // Each an empty text when the attribute is absent.
    std::string GetNameValue(const char* name) const;
    std::string GetTextValue(const char* name) const;
    std::string GetKeywordValue(const char* name) const;
    std::string GetUriValue(const char* name) const;

    // The value of the first name attribute whose name holds both parts.
    std::string GetNameValueMatch(const char* partOne, const char* partTwo) const;

    // One debug line per attribute: name, group and value tags, and the
    // value of the kinds that have a readable one.
    void DumpAttributesToDebug() const;

private:
    std::string mGetStringValue(const char* name, ipp_tag_t valueTag) const;

    ipp_t* mResponse;
};

}  // namespace CVClientData
