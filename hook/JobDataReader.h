#pragma once

#include "hook/JobDataSource.h"

#include <cstddef>
#include <functional>
#include <span>

// The hook's first stage on a job's data: reads it piece by piece from its
// source, waiting a limited time for each piece and trying again after a
// wait or read that failed, up to a limit in a row. So a source that goes
// silent ends the reading instead of holding the job for ever.
class JobDataReader {
public:
    // How one look for the next piece ended.
    struct Piece {
        enum class Kind { Data, End, Failed } kind;
        std::span<const unsigned char> bytes;  // the data, for Kind::Data
    };

    explicit JobDataReader(JobDataSource& source);

    // The next piece, read into the buffer.
    Piece Next(std::span<unsigned char> buffer);

    // After a failure: reads what is left without waiting, until its end or
    // an error, handing every piece to the sink.
    void ReadRest(std::span<unsigned char> buffer, const std::function<void(std::span<const unsigned char>)>& sink);

private:
    JobDataSource& mSource;
    int mintFailures = 0;  // failed waits or reads in a row
};
