// The windows that the source files of this folder register.
#include "tests/Screenshots/Screenshots.h"

namespace Screenshots {

namespace {

std::vector<std::pair<std::string, WindowMaker>>& Makers()
{
    static std::vector<std::pair<std::string, WindowMaker>> makers;
    return makers;
}

}  // namespace

void Register(std::string name, WindowMaker maker)
{
    Makers().emplace_back(std::move(name), std::move(maker));
}

const std::vector<std::pair<std::string, WindowMaker>>& Windows()
{
    return Makers();
}

}  // namespace Screenshots
