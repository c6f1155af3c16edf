// The service form of the program: the main window's start-up without any window. Monitor
// lines go to standard output with their time stamps; message boxes go to standard error
// (the general library does that by itself when there is no window application).
#pragma once

#include <QByteArray>
#include <QObject>
#include <memory>
#include <string>

#include "MainWindowInterface.h"
#include "MonitorLog.h"
#include "SettingsStore.h"

class HeadlessRunner : public QObject, public IMainWindow {
    Q_OBJECT

public:
    // Opens the settings database, as the window's creation does.
    explicit HeadlessRunner(QObject* parent = nullptr);
    // Closes the settings connection.
    ~HeadlessRunner() override;

    void LogMessage(const std::string& text) override;

    MonitorLog& Monitor() { return *monitor_; }
    SettingsStore& Settings() { return settings_; }

public slots:
    // Exactly "Exit" ends the run with status 0; anything else is ignored.
    void WMCopyData(const QByteArray& text);
    // SIGINT or SIGTERM: ends the run with status 0.
    void ShutdownRequested(int signalNumber);

signals:
    // The run is over; the process ends with `status` after the shut-down.
    void Finished(int status);

private:
    class StdoutView;

    std::unique_ptr<StdoutView> view_;
    std::unique_ptr<MonitorLog> monitor_;
    SettingsStore settings_;
};
