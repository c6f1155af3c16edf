#include "ShutdownSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace {

int pipeEnds[2] = {-1, -1};

void OnSignal(int signalNumber) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

void Handle(int signalNumber, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

}  // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &ShutdownSignals::Drain);
    Handle(SIGINT, OnSignal);
    Handle(SIGTERM, OnSignal);
}

ShutdownSignals::~ShutdownSignals() {
    Handle(SIGINT, SIG_DFL);
    Handle(SIGTERM, SIG_DFL);
    notifier_.reset();
    for (int& end : pipeEnds) {
        if (end >= 0) ::close(end);
        end = -1;
    }
}

void ShutdownSignals::Drain() {
    unsigned char byte = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1) emit Received(byte);
}
