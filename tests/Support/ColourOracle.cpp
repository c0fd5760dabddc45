#include "tests/Support/ColourOracle.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"
#include "tests/Support/ChildProgram.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace TestSupport {

namespace Rule = RawPrintData::ColourRule;

void NonNeutralArea::AddRgbRow(std::span<const uint8_t> rgb)
{
    for (size_t at = 0; at + 2 < rgb.size(); at += 3)
        if (!Rule::IsNeutral(rgb[at], rgb[at + 1], rgb[at + 2]))
            ++mDots;
}

OraclePage NonNeutralArea::Page() const
{
    const double dotMm2 = (Rule::MM_PER_INCH / mXDpi) * (Rule::MM_PER_INCH / mYDpi);
    return {mDots, static_cast<double>(mDots) * dotMm2, mDots >= Rule::MinimumColourDots(mXDpi, mYDpi)};
}

namespace {

// Buffered reading of a pipe.
class PipeReader {
public:
    explicit PipeReader(int fd) : mFd(fd) {}

    // The next byte, or -1 at the end.
    int Next()
    {
        if (mAt == mEnd && !Fill())
            return -1;
        return mBuffer[mAt++];
    }

    // Fills the span whole; false at an early end.
    bool Read(std::span<uint8_t> into)
    {
        size_t done = 0;
        while (done < into.size()) {
            if (mAt == mEnd && !Fill())
                return false;
            const size_t take = std::min(into.size() - done, mEnd - mAt);
            std::copy_n(mBuffer.data() + mAt, take, into.data() + done);
            mAt += take;
            done += take;
        }
        return true;
    }

private:
    bool Fill()
    {
        for (;;) {
            const ssize_t got = read(mFd, mBuffer.data(), mBuffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            mAt = 0;
            mEnd = static_cast<size_t>(got);
            return true;
        }
    }

    int mFd;
    std::vector<uint8_t> mBuffer = std::vector<uint8_t>(1 << 16);
    size_t mAt = 0;
    size_t mEnd = 0;
};

// One number of a PPM header, past white space and comments; -1 when none.
long HeaderNumber(PipeReader& in)
{
    int c = in.Next();
    while (c == '#' || std::isspace(c)) {
        if (c == '#')
            while (c != '\n' && c != -1)
                c = in.Next();
        c = in.Next();
    }
    if (!std::isdigit(c))
        return -1;
    long value = 0;
    while (std::isdigit(c) && value < 1000000) {
        value = value * 10 + (c - '0');
        c = in.Next();
    }
    return value;  // the one white-space byte after it is consumed
}

// Judges the raw PPM pages of the stream; false when it is not one.
bool JudgePages(PipeReader& in, int dpi, std::vector<OraclePage>& pages)
{
    for (;;) {
        int first = in.Next();
        while (first != -1 && std::isspace(first))
            first = in.Next();
        if (first == -1)
            return true;
        if (first != 'P' || in.Next() != '6')
            return false;
        const long width = HeaderNumber(in);
        const long height = HeaderNumber(in);
        const long maximum = HeaderNumber(in);
        if (width <= 0 || height <= 0 || maximum != 255)
            return false;
        NonNeutralArea area(dpi, dpi);
        std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
        for (long y = 0; y < height; ++y) {
            if (!in.Read(row))
                return false;
            area.AddRgbRow(row);
        }
        pages.push_back(area.Page());
    }
}

}  // namespace

std::optional<std::vector<OraclePage>> MeasureDocumentColour(const std::filesystem::path& document, int dpi,
                                                             OracleColour colour)
{
    int fds[2];
    if (dpi <= 0 || pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    std::vector<std::string> arguments = {"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dPrinted", "-dUseCropBox",
                                          "-dTextAlphaBits=1", "-dGraphicsAlphaBits=1"};
    if (colour == OracleColour::Document)
        arguments.emplace_back("-dUseFastColor");
    arguments.insert(arguments.end(), {"-sDEVICE=ppmraw", "-r" + std::to_string(dpi), "-sOutputFile=-", document.string()});
    std::vector<char*> argv = ArgumentArray(arguments);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return std::nullopt;
    }
    std::vector<OraclePage> pages;
    PipeReader in(fds[0]);
    const bool read = JudgePages(in, dpi, pages);
    if (!read)
        kill(pid, SIGKILL);
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return pages;
}

std::optional<std::vector<size_t>> ColourPages(const std::filesystem::path& document, int dpi)
{
    const auto pages = MeasureDocumentColour(document, dpi);
    if (!pages)
        return std::nullopt;
    std::vector<size_t> colour;
    for (size_t index = 0; index < pages->size(); ++index)
        if ((*pages)[index].colour)
            colour.push_back(index + 1);
    return colour;
}

}  // namespace TestSupport
