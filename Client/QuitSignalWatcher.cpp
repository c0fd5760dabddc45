#include "Client/QuitSignalWatcher.h"

#include "CoreLogger/ComponentLog.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

using Log = ComponentLog<LogComponents::ClientUserInterface>;

// The writing end of the watcher's socket pair, for the signal handler.
std::atomic<int> gWriteSocket{-1};

// Only async-signal-safe work: one byte to the main thread.
void OnQuitSignal(int)
{
    int saved = errno;
    int socket = gWriteSocket.load();
    if (socket != -1) {
        char byte = 1;
        [[maybe_unused]] ssize_t written = ::send(socket, &byte, 1, MSG_DONTWAIT | MSG_NOSIGNAL);
    }
    errno = saved;
}

}  // namespace

QuitSignalWatcher::QuitSignalWatcher(std::function<void()> onQuit) : mOnQuit(std::move(onQuit))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, mSockets) != 0) {
        Log::Error("Cannot watch for the quit signals: %s", std::strerror(errno));
        return;
    }
    gWriteSocket = mSockets[1];
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &mOldTerm);
    ::sigaction(SIGINT, &action, &mOldInt);
    mNotifier = std::make_unique<QSocketNotifier>(mSockets[0], QSocketNotifier::Read);
    QObject::connect(mNotifier.get(), &QSocketNotifier::activated, [this] { mReceived(); });
}

QuitSignalWatcher::~QuitSignalWatcher()
{
    if (mSockets[0] == -1)
        return;
    ::sigaction(SIGTERM, &mOldTerm, nullptr);
    ::sigaction(SIGINT, &mOldInt, nullptr);
    gWriteSocket = -1;
    mNotifier.reset();
    ::close(mSockets[0]);
    ::close(mSockets[1]);
}

// Empties the socket (several signals make one quit) and calls back.
void QuitSignalWatcher::mReceived()
{
    char bytes[16];
    while (::recv(mSockets[0], bytes, sizeof bytes, 0) > 0) {
    }
    if (mOnQuit)
        mOnQuit();
}
