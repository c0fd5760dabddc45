#include "Core/WebServiceConnection/ServiceText.h"

namespace CVClientData {

// Dumps without indentation; invalid UTF-8 becomes U+FFFD.
std::string CompactDump(const nlohmann::json& value)
{
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// get_ref raises the library's type error for a value of another kind.
const nlohmann::json& RequireObject(const nlohmann::json& value)
{
    (void)value.get_ref<const nlohmann::json::object_t&>();
    return value;
}

// As RequireObject, for arrays.
const nlohmann::json& RequireArray(const nlohmann::json& value)
{
    (void)value.get_ref<const nlohmann::json::array_t&>();
    return value;
}


}  // namespace CVClientData
