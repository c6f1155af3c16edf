#include "ShutdownSignals.h"

#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t ShutdownSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

void BlockShutdownSignals() {
    const sigset_t set = ShutdownSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
    BlockShutdownSignals();
    const sigset_t set = ShutdownSet();
    fd_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd_ < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &ShutdownSignals::Read);
}

ShutdownSignals::~ShutdownSignals() {
    notifier_.reset();
    if (fd_ >= 0) ::close(fd_);
}

void ShutdownSignals::Read() {
    signalfd_siginfo info;
    while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        emit Received(static_cast<int>(info.ssi_signo));
}
