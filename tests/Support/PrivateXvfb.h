#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace TestSupport {

// A private X server without a screen (Xvfb) on a free display, for tests
// that run a program with windows as a person meets it and drive it with
// xdotool. It ends with the object (or with the thread that made it).
class PrivateXvfb {
public:
    PrivateXvfb();
    ~PrivateXvfb();
    PrivateXvfb(const PrivateXvfb&) = delete;
    PrivateXvfb& operator=(const PrivateXvfb&) = delete;

    bool Running() const { return !mstrDisplay.empty(); }
    // The display's name, such as ":93"; empty when the server did not start.
    const std::string& Display() const { return mstrDisplay; }
    // What the server wrote.
    std::string Output() const;

    // Runs xdotool on this display with the arguments, for at most the
    // given seconds; its standard output, trimmed, or an empty text when it
    // failed.
    std::string XdoTool(const std::vector<std::string>& arguments, int seconds = 30) const;

    // Waits up to 30 seconds for a visible window whose title matches the
    // pattern, other than the one last pressed in, focuses it and presses the
    // key there, as a person answers an alert; false when none came up.
    bool PressInNextWindow(const std::string& titlePattern, const std::string& key);

private:
    std::string mstrFolder;
    pid_t mintPid = -1;
    std::string mstrDisplay;
    std::string mstrLastPressedWindow;
};

}  // namespace TestSupport
