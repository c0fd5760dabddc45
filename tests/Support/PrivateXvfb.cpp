#include "tests/Support/PrivateXvfb.h"

#include "tests/Support/ChildProgram.h"
#include "tests/Support/TempRoot.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace TestSupport {

namespace {

// The display number that "-displayfd 1" writes: a line of digits alone.
std::string DisplayNumberIn(const std::string& output)
{
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && std::all_of(line.begin(), line.end(), [](unsigned char c) { return std::isdigit(c); }))
            return line;
    }
    return std::string();
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    return text;
}

}  // namespace

PrivateXvfb::PrivateXvfb()
{
    char pattern[] = "/tmp/cvkx.XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return;
    mstrFolder = pattern;
    // The server picks a free display and writes its number to standard output.
    mintPid = StartProgram({"Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"},
                           mstrFolder + "/xvfb.out");
    if (mintPid < 0)
        return;
    std::string number;
    WaitUntil([&] { return !(number = DisplayNumberIn(Output())).empty(); }, std::chrono::seconds(30));
    if (!number.empty())
        mstrDisplay = ":" + number;
}

PrivateXvfb::~PrivateXvfb()
{
    if (mintPid > 0)
        StopProgram(mintPid);
    if (!mstrFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(mstrFolder, ignored);
    }
}

std::string PrivateXvfb::Output() const
{
    return ReadFileText(mstrFolder + "/xvfb.out");
}

std::string PrivateXvfb::XdoTool(const std::vector<std::string>& arguments, int seconds) const
{
    std::vector<std::string> command{"timeout", std::to_string(seconds), "env", "DISPLAY=" + mstrDisplay, "xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ProgramResult result = RunProgram(command);
    return result.status == 0 ? Trimmed(result.output) : std::string();
}

bool PrivateXvfb::PressInNextWindow(const std::string& titlePattern, const std::string& key)
{
    std::string window;
    auto newWindowUp = [&] {
        window = XdoTool({"search", "--onlyvisible", "--name", titlePattern}, 5);
        window = window.substr(0, window.find('\n'));
        return !window.empty() && window != mstrLastPressedWindow;
    };
    if (!WaitUntil(newWindowUp, std::chrono::seconds(30)))
        return false;
    mstrLastPressedWindow = window;
    XdoTool({"windowfocus", "--sync", window});
    XdoTool({"key", "--clearmodifiers", key});
    return true;
}

}  // namespace TestSupport
