#pragma once

#include <map>
#include <string>
#include <string_view>

namespace CVClientData {

// Orders header names without regard to case, as HTTP compares them.
struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view left, std::string_view right) const;
};

// Header name -> value as received (untrimmed).
using HeaderMap = std::map<std::string, std::string, CaseInsensitiveLess>;

}  // namespace CVClientData
