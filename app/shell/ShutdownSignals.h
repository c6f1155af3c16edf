// SIGINT and SIGTERM as a Qt signal, so that the program shuts down in its proper order.
//
// The two signals are blocked in every thread and read through a signalfd in the event
// loop. Blocking matters: the Firebird client installs handlers of its own for both at
// its first connection, which shut its engine down from a thread of their own and end the
// process while our connections, channels and libraries are still in place. With the
// signals blocked everywhere those handlers never run. The blocking must happen before
// any thread exists (threads inherit it), so BlockShutdownSignals() comes first in a run.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// Blocks SIGINT and SIGTERM in the calling thread and every thread it creates later.
void BlockShutdownSignals();

class ShutdownSignals : public QObject {
    Q_OBJECT

public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    // The signals stay blocked: one that comes during the rest of the shut-down is not
    // acted on, and does not turn a clean end into a killed process.
    ~ShutdownSignals() override;

signals:
    void Received(int signalNumber);

private:
    void Read();

    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};
