#pragma once

#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "tests/Support/ChildProgram.h"

#include <chrono>
#include <string>
#include <utility>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace SocketTests {

using Bytes = std::vector<unsigned char>;

// A connected pair of Unix-domain stream sockets; either end can be handed
// over (Take) to a channel, which then closes it.
class SocketPair {
public:
    SocketPair() { socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, mFds); }
    ~SocketPair()
    {
        for (int fd : mFds)
            if (fd != -1)
                close(fd);
    }
    int Take(int end) { return std::exchange(mFds[end], -1); }
    int Raw(int end) const { return mFds[end]; }
    void Close(int end) { close(Take(end)); }

private:
    int mFds[2] = {-1, -1};
};

// Writes all bytes to a raw socket.
inline void WriteAll(int fd, const Bytes& bytes)
{
    for (size_t done = 0; done < bytes.size();) {
        ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        if (count <= 0)
            return;
        done += static_cast<size_t>(count);
    }
}

// Everything a raw socket holds at the moment, without waiting.
inline Bytes ReadAvailable(int fd)
{
    Bytes bytes;
    unsigned char buffer[4096];
    for (ssize_t count; (count = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + count);
    return bytes;
}

// Plays the hook for one job: connects, announces the job, answers the
// request for page sets and returns the final answer.
inline ClientMessage RunHookJob(const std::string& user, uint32_t jobId)
{
    ClientCommunicationChannel hook(user.c_str());
    if (!TestSupport::WaitUntil([&] { return hook.Connect(); }, std::chrono::seconds(2)))
        return ClientMessage();
    ClientMessage newJob(ClientMessageType::Notify, ClientMessageSubType::NewJob);
    newJob.SetSingleNumericParameter(jobId);
    hook.SendMessage(newJob);
    ClientMessage request = hook.ReceiveMessage();
    if (request.Is(ClientMessageType::Request, ClientMessageSubType::PageSets)) {
        ClientMessage pageSets(ClientMessageType::Notify, ClientMessageSubType::PageSets);
        pageSets.SetMessageContent({2, 0, 0, 0, 'o', 'k'});
        hook.SendMessage(pageSets);
        request = hook.ReceiveMessage();
    }
    return request;
}

}  // namespace SocketTests
