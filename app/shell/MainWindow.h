// TfrmMain, the program's main window. For now the shell of it: the page control with the
// monitor, the settings database opened at creation and closed at destruction, and the
// closing by the operator or by an "Exit" text from another process.
#pragma once

#include <QByteArray>
#include <QWidget>
#include <memory>
#include <string>

#include "MainWindowInterface.h"
#include "MonitorLog.h"
#include "ChannelObjList.h"
#include "SettingsStore.h"

class QCloseEvent;
class QPlainTextEdit;
class QTabWidget;

class TfrmMain : public QWidget, public IMainWindow {
    Q_OBJECT

public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    void LogMessage(const std::string& text) override;
    void StopAll(StopCause cause) override;
    std::string SettingsDatabasePath() const override;
    TChannelObjList& LiveChannels() override { return liveChannels_; }
    TChannelObjList& EditChannels() override { return editChannels_; }
    void bbnStartClick() override;
    void bbnStopClick() override;

    MonitorLog& Monitor() { return *monitor_; }
    SettingsStore& Settings() { return settings_; }

    // Closing asks "Are you sure to exit Tavmere Quillon?" while this is set.
    bool ConfirmExit() const { return confirmExit_; }
    void SetConfirmExit(bool confirm) { confirmExit_ = confirm; }

public slots:
    // A text from another process: exactly "Exit" closes the window without the exit
    // question; anything else is ignored.
    void WMCopyData(const QByteArray& text);

signals:
    // The window has closed for good: the message loop ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose

private:
    class MemoView;

    void FormCreate();
    void FormDestroy();

    void* appHandle_ = nullptr;
    bool confirmExit_ = true;

    QTabWidget* pclMain;
    QWidget* tstMonitor;
    QWidget* tstSettings;
    QPlainTextEdit* mmoLog;

    std::unique_ptr<MemoView> memoView_;
    std::unique_ptr<MonitorLog> monitor_;
    SettingsStore settings_;
    TChannelObjList liveChannels_;
    TChannelObjList editChannels_;
};
