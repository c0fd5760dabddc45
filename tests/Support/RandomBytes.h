#pragma once

#include <cstddef>
#include <string>

namespace TestSupport {

// Bytes that do not repeat in any short period, the same for the same seed:
// job data that no parser recognises and that shows any byte lost, doubled
// or moved on its way.
std::string RandomBytes(size_t count, unsigned seed = 20240611);

}  // namespace TestSupport
