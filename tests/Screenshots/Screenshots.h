#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Screenshots {

// Makes one window as users see it, filled with typical content.
using WindowMaker = std::function<std::unique_ptr<QWidget>()>;

// Adds a window to the pictures the program renders; "<name>.png" is its file.
// Each source file of this folder registers its windows with a static
// Registration, so a new picture is a new file.
void Register(std::string name, WindowMaker maker);

// Every window registered, in the order of registration.
const std::vector<std::pair<std::string, WindowMaker>>& Windows();

struct Registration {
    Registration(std::string name, WindowMaker maker) { Register(std::move(name), std::move(maker)); }
};

}  // namespace Screenshots
