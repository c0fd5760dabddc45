#include "Core/CVClientCommunication/Signals.h"

#include <csignal>

// Sets SIGPIPE's disposition to ignore.
void Signals::IgnoreSigPipe()
{
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPIPE, &action, nullptr);
}
