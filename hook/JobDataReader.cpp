#include "hook/JobDataReader.h"

#include "CoreLogger/ComponentLog.h"
#include "hook/HookTimings.h"

#include <cerrno>
#include <cstring>

namespace {

using Log = ComponentLog<LogComponents::CoreCups>;

}  // namespace

JobDataReader::JobDataReader(JobDataSource& source) : mSource(source) {}

JobDataReader::Piece JobDataReader::Next(std::span<unsigned char> buffer)
{
    const auto readWait = HookTimings::Seconds(HookTimings::ReadWaitSeconds);
    for (;;) {
        Log::Debug("Begin monitoring the socket/file");
        int ready = mSource.WaitReadable(readWait);
        ssize_t got = -1;
        if (ready <= 0) {
            Log::Error("Socket/file is not ready. Error#: %ld", static_cast<long>(ready));
        } else {
            Log::Debug("Socket/file is available (selectRetVal: %ld).  Read data into our buffer...",
                       static_cast<long>(ready));
            got = mSource.Read(buffer);
        }
        if (got == 0) {
            Log::Debug("No more data to read from buffer.  End Parsing.");
            return {Piece::Kind::End, {}};
        }
        if (got > 0) {
            mintFailures = 0;
            return {Piece::Kind::Data, buffer.first(static_cast<size_t>(got))};
        }
        int error = errno;
        Log::Error("Failed to read the buffer... try again");
        if (++mintFailures >= HookTimings::ReadFailuresAllowed) {
            Log::Error("Error after read - Error# %d: %s", error, std::strerror(error));
            return {Piece::Kind::Failed, {}};
        }
    }
}

void JobDataReader::ReadRest(std::span<unsigned char> buffer,
                             const std::function<void(std::span<const unsigned char>)>& sink)
{
    for (ssize_t got; mSource.IsOpen() && (got = mSource.Read(buffer)) > 0;)
        sink(buffer.first(static_cast<size_t>(got)));
}
