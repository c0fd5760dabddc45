// cvk_standin_server: the loopback stand-in of the print-accounting server as
// a program of its own, with its default answers.
//
//   cvk_standin_server [--port N]
//
// It writes "url=<service address>" and "ca=<CA bundle>" on standard output
// once it listens, then serves until SIGINT or SIGTERM.

#include "tests/StandInServer/StandInServer.h"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string_view>

namespace {

// Explains the command line; the exit status of a wrong one.
int Usage()
{
    std::fprintf(stderr, "usage: cvk_standin_server [--port N]\n");
    return 2;
}

}  // namespace

// Serves until a stop signal arrives.
int main(int argc, char** argv)
{
    int port = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            std::string_view text(argv[++i]);
            auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
            if (error != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535)
                return Usage();
        } else {
            return Usage();
        }
    }

    // Block the stop signals in every thread; this one waits for them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        StandIn::StandInServer server(StandIn::TestCertificates::Loopback(), port);
        std::printf("url=%s\nca=%s\n", server.BaseUrl().c_str(), server.CaFile().c_str());
        std::fflush(stdout);
        int received = 0;
        sigwait(&stopSignals, &received);
        server.Stop();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "cvk_standin_server: %s\n", error.what());
        return 1;
    }
    return 0;
}
