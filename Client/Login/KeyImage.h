#pragma once

#include <QPixmap>

namespace Login {

// The key drawn beside the login windows' fields: a brass key lying
// diagonally, size by size pixels, on a transparent ground.
QPixmap KeyImage(int size);

}  // namespace Login
