#pragma once

#include <chrono>
#include <span>
#include <sys/types.h>

// Where the hook reads a job's data: the file that CUPS named in argument 6,
// or standard input.
class JobDataSource {
public:
    // Opens the file read-only; a null path takes standard input. The hook
    // runs as root and reads (and, with debug logging, dumps) what it opens,
    // so only a regular file is taken and no link is followed: a link at the
    // job file's name would hand it some other file.
    explicit JobDataSource(const char* filePath);
    ~JobDataSource();
    JobDataSource(const JobDataSource&) = delete;
    JobDataSource& operator=(const JobDataSource&) = delete;

    // False when the file could not be opened (GetOpenError tells why).
    bool IsOpen() const { return mintFd >= 0; }
    bool IsFile() const { return mblnFile; }
    int GetOpenError() const { return mintOpenError; }
    // The open file or standard input, for reads at an offset.
    int GetDescriptor() const { return mintFd; }

    // Waits until data (or the end) can be read: 1 when it can, 0 when the
    // time ran out, -1 on an error (errno set).
    int WaitReadable(std::chrono::milliseconds limit) const;

    // One read into the buffer: the byte count, 0 at the end, -1 on an error.
    ssize_t Read(std::span<unsigned char> buffer) const;

private:
    int mintFd = -1;
    bool mblnFile = false;
    int mintOpenError = 0;
};
