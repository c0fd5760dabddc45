#pragma once

#include <cstdint>
#include <string>

namespace CVClientData {

// One HTTP exchange as a request primitive leaves it. The status stays 0 when
// no transfer took place or no answer came.
struct WebDataServiceResponse {
    std::string mstrBody;     // the raw bytes received
    std::string mstrHeaders;  // the raw header lines received
    int64_t mintStatus = 0;
    int64_t mintBodySize = 0;
    int64_t mintHeaderSize = 0;
};

}  // namespace CVClientData
