// The self-pipe between the signal handler and the message loop.
#include "SignalBridge.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

int pipeEnds[2] = {-1, -1};

void onSignal(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // If the pipe is full, a request is already pending: dropping is fine.
    [[maybe_unused]] ssize_t ignored = ::write(pipeEnds[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

void SignalBridge::catchEndingSignals()
{
    if (pipeEnds[0] >= 0)
        return;
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // without the pipe the signals keep their default action

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

SignalBridge::SignalBridge(QObject* parent)
    : QObject(parent)
{
    catchEndingSignals();
    if (pipeEnds[0] < 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalBridge::drain);
}

SignalBridge::~SignalBridge()
{
    // The handlers and the pipe stay in place on purpose: the port is
    // restored only after main returns, and a signal arriving in between
    // must not kill the process before that. Closing the pipe could hand its
    // descriptor number to another file the handler would then write into.
    notifier_.reset();
}

void SignalBridge::drain()
{
    if (pipeEnds[0] < 0)
        return;
    unsigned char byte = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1) {
        if (!received_) {
            received_ = byte;
            emit endRequested(byte);
        }
    }
}
