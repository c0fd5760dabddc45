#pragma once

#include "CoreLogger/LogComponents.h"

#include <string>

namespace CoreLogger {

class ComponentMapper {
public:
    // The fixed text of a component; "General" for every value without one.
    static std::string MapComponents(LogComponents component);
};

}  // namespace CoreLogger
