// The service form of the program: the main window's start-up without any window. Monitor
// lines go to standard output with their time stamps; message boxes go to standard error
// (the general library does that by itself when there is no window application).
//
// Without a window to protect, the workers run their synchronous calls on their own
// thread under a gate that this runner holds around its own channel work.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

#include "ChannelObjList.h"
#include "DirectCallGate.h"
#include "MainWindowInterface.h"
#include "MonitorLog.h"
#include "SettingsStore.h"

class HeadlessRunner : public QObject, public IMainWindow {
    Q_OBJECT

public:
    // Opens the settings database, loads the channels and arms the start two seconds
    // later when a channel is enabled.
    explicit HeadlessRunner(QObject* parent = nullptr);
    // Stops the channels, destroys them (waiting for their workers) and closes the
    // settings connection.
    ~HeadlessRunner() override;

    void LogMessage(const std::string& text) override;
    void StopAll(StopCause cause) override;
    std::string SettingsDatabasePath() const override;
    DirectCallGate* DirectCalls() override { return &gate_; }
    TChannelObjList& LiveChannels() override { return liveChannels_; }
    TChannelObjList& EditChannels() override { return editChannels_; }
    void bbnStartClick() override;
    void bbnStopClick() override;
    void ShowOptions(const SystemOptions& options, bool reload) override;

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
    void End(int status);

    DirectCallGate gate_;
    std::unique_ptr<StdoutView> view_;
    std::unique_ptr<MonitorLog> monitor_;
    SettingsStore settings_;
    TChannelObjList liveChannels_;
    TChannelObjList editChannels_;
    QTimer tmrStart;
    bool ending_ = false;
};
