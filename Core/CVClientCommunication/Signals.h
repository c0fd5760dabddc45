#pragma once

// Process-wide signal settings of the socket link.
class Signals {
public:
    // Ignores SIGPIPE for the whole process, so that writing to a peer that
    // has gone fails with an error instead of ending the process.
    static void IgnoreSigPipe();
};
