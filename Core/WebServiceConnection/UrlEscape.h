#pragma once

#include <string>
#include <string_view>

namespace CVClientData {

// Percent-encodes every byte but the unreserved characters A-Z a-z 0-9 - . _ ~
// (as libcurl's URL escaping does), for a query value, a path segment or a
// form field. A blank becomes %20.
std::string UrlEscape(std::string_view text);

}  // namespace CVClientData
