#include "tests/Support/RandomBytes.h"

#include <random>

namespace TestSupport {

std::string RandomBytes(size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (auto& byte : bytes)
        byte = static_cast<char>(generator() & 0xff);
    return bytes;
}

}  // namespace TestSupport
