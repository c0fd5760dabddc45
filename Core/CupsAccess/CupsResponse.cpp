#include "Core/CupsAccess/CupsResponse.h"

#include "Common/StringFormat.h"
#include "CoreLogger/ComponentLog.h"

#include <cstring>

using Log = ComponentLog<LogComponents::CoreCups>;

namespace CVClientData {

CupsResponse::~CupsResponse()
{
    ippDelete(mResponse);
}

ipp_status_t CupsResponse::GetStatus() const
{
    return ippGetStatusCode(mResponse);
}

int CupsResponse::GetIntegerValue(const char* name, int defaultValue) const
{
    ipp_attribute_t* attribute = ippFindAttribute(mResponse, name, IPP_TAG_INTEGER);
    return attribute != nullptr ? ippGetInteger(attribute, 0) : defaultValue;
}

int CupsResponse::GetEnumValue(const char* name, int defaultValue) const
{
    ipp_attribute_t* attribute = ippFindAttribute(mResponse, name, IPP_TAG_ENUM);
    return attribute != nullptr ? ippGetInteger(attribute, 0) : defaultValue;
}

bool CupsResponse::GetBooleanValue(const char* name, bool defaultValue) const
{
    ipp_attribute_t* attribute = ippFindAttribute(mResponse, name, IPP_TAG_BOOLEAN);
    return attribute != nullptr ? ippGetBoolean(attribute, 0) != 0 : defaultValue;
}

std::string CupsResponse::GetNameValue(const char* name) const
{
    return mGetStringValue(name, IPP_TAG_NAME);
}

std::string CupsResponse::GetTextValue(const char* name) const
{
    return mGetStringValue(name, IPP_TAG_TEXT);
}

std::string CupsResponse::GetKeywordValue(const char* name) const
{
    return mGetStringValue(name, IPP_TAG_KEYWORD);
}

std::string CupsResponse::GetUriValue(const char* name) const
{
    return mGetStringValue(name, IPP_TAG_URI);
}

std::string CupsResponse::GetNameValueMatch(const char* partOne, const char* partTwo) const
{
    for (ipp_attribute_t* attribute = ippFirstAttribute(mResponse); attribute != nullptr;
         attribute = ippNextAttribute(mResponse)) {
        const char* name = ippGetName(attribute);
        ipp_tag_t tag = ippGetValueTag(attribute);
        if (name == nullptr || (tag != IPP_TAG_NAME && tag != IPP_TAG_NAMELANG))
            continue;
        if (std::strstr(name, partOne) != nullptr && std::strstr(name, partTwo) != nullptr) {
            const char* value = ippGetString(attribute, 0, nullptr);
            return value != nullptr ? value : "";
        }
    }
    return std::string();
}

void CupsResponse::DumpAttributesToDebug() const
{
    if (!Log::DebugEnabled())
        return;  // every line would be dropped
    for (ipp_attribute_t* attribute = ippFirstAttribute(mResponse); attribute != nullptr;
         attribute = ippNextAttribute(mResponse)) {
        const char* name = ippGetName(attribute);
        if (name == nullptr)
            continue;  // a group separator
        ipp_tag_t group = ippGetGroupTag(attribute);
        ipp_tag_t tag = ippGetValueTag(attribute);
        std::string line = stringFormat("Attribute: %s, group tag: %d, value tag: %d", name, static_cast<int>(group),
                                        static_cast<int>(tag));
        switch (tag) {
        case IPP_TAG_TEXT:
        case IPP_TAG_NAME:
        case IPP_TAG_TEXTLANG:
        case IPP_TAG_NAMELANG:
        case IPP_TAG_KEYWORD:
        case IPP_TAG_URI: {
            const char* value = ippGetString(attribute, 0, nullptr);
            line += stringFormat(", value: %s", value != nullptr ? value : "");
            break;
        }
        case IPP_TAG_INTEGER:
        case IPP_TAG_ENUM:
            line += stringFormat(", value: %d", ippGetInteger(attribute, 0));
            break;
        case IPP_TAG_BOOLEAN:
            line += stringFormat(", value: %s", ippGetBoolean(attribute, 0) ? "true" : "false");
            break;
        default:
            break;
        }
        Log::Debug("%s", line);
    }
}

std::string CupsResponse::mGetStringValue(const char* name, ipp_tag_t valueTag) const
{
    ipp_attribute_t* attribute = ippFindAttribute(mResponse, name, valueTag);
    const char* value = attribute != nullptr ? ippGetString(attribute, 0, nullptr) : nullptr;
    return value != nullptr ? value : "";
}

}  // namespace CVClientData
