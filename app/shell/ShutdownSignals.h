// SIGINT and SIGTERM as a Qt signal. The handler only writes the signal number into a
// pipe; a socket notifier on its other end reports it in the event loop, where the
// program can shut down in its proper order. One object at a time; it restores the
// default handlers when it dies.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

class ShutdownSignals : public QObject {
    Q_OBJECT

public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

signals:
    void Received(int signalNumber);

private:
    void Drain();

    std::unique_ptr<QSocketNotifier> notifier_;
};
