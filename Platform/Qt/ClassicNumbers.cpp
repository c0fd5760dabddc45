#include "Platform/Qt/ClassicNumbers.h"

#include <clocale>

namespace Platform {

void KeepClassicNumbers()
{
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace Platform
