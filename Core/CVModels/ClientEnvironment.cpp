#include "Core/CVModels/ClientEnvironment.h"

#include <sys/utsname.h>

namespace CVCoreDataServices {

// The kernel release names the system as precisely as a version string does
// elsewhere and, unlike /etc/os-release, is always there.
std::string ClientEnvironment::CurrentOperatingSystemText()
{
    utsname names{};
    if (uname(&names) != 0)
        return "Linux";
    return std::string("Linux ") + names.release;
}

}  // namespace CVCoreDataServices
