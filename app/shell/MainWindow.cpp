#include "MainWindow.h"

#include <QCloseEvent>
#include <QFont>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include "ScanControl.h"
#include "ShellMessage.h"
#include "SingleInstance.h"
#include "tvGeneralApi.h"

class TfrmMain::MemoView : public MonitorLog::View {
public:
    explicit MemoView(QPlainTextEdit* memo) : memo_(memo) {}
    // An empty document still has one (empty) block.
    int LineCount() const override {
        return memo_->document()->isEmpty() ? 0 : memo_->document()->blockCount();
    }
    void Clear() override { memo_->clear(); }
    void AppendLine(const std::string& line) override {
        memo_->appendPlainText(QString::fromLocal8Bit(line));
    }

private:
    QPlainTextEdit* memo_;
};

TfrmMain::TfrmMain(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      settings_(*this) {
    setObjectName("frmMain");
    setWindowTitle("Tavmere Quillon");
    setFixedSize(688, 566);

    pclMain = new QTabWidget(this);
    pclMain->setObjectName("pclMain");
    tstMonitor = new QWidget;
    tstMonitor->setObjectName("tstMonitor");
    tstSettings = new QWidget;
    tstSettings->setObjectName("tstSettings");
    pclMain->addTab(tstMonitor, "Monitor");
    pclMain->addTab(tstSettings, "Settings");

    mmoLog = new QPlainTextEdit(tstMonitor);
    mmoLog->setObjectName("mmoLog");
    mmoLog->setReadOnly(true);
    mmoLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmoLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont courier("Courier New", 8);
    courier.setStyleHint(QFont::Monospace);
    mmoLog->setFont(courier);
    auto* monitorLayout = new QVBoxLayout(tstMonitor);
    monitorLayout->addWidget(mmoLog);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pclMain);

    memoView_ = std::make_unique<MemoView>(mmoLog);
    monitor_ = std::make_unique<MonitorLog>(*memoView_, MonitorLogFile());

    FormCreate();
}

TfrmMain::~TfrmMain() { FormDestroy(); }

void TfrmMain::FormCreate() {
    appHandle_ = this;
    pclMain->setCurrentWidget(tstMonitor);
    settings_.OpenSettingsDatabase(appHandle_);
}

void TfrmMain::FormDestroy() {
    // Each channel stops its worker and releases its connections before the settings
    // connection goes.
    liveChannels_.Clear();
    editChannels_.Clear();
    settings_.CloseSettingsDatabase();
}

std::string TfrmMain::SettingsDatabasePath() const { return SettingsDBPath(); }

// The channel side only for now; the buttons and the tray icon come with the window's
// controls.
void TfrmMain::bbnStartClick() { StartAllChannels(liveChannels_, *this); }

void TfrmMain::bbnStopClick() { StopAllChannels(liveChannels_, *this); }

void TfrmMain::StopAll(StopCause) { bbnStopClick(); }

void TfrmMain::LogMessage(const std::string& text) { monitor_->Add(text); }

void TfrmMain::WMCopyData(const QByteArray& text) {
    if (text != kExitCommand) return;
    confirmExit_ = false;
    close();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (confirmExit_ &&
        ShowMessage("Are you sure to exit Tavmere Quillon?", tvMsgConfirmation,
                    tvBtnYes | tvBtnCancel) != tvResYes) {
        event->ignore();
        return;
    }
    event->accept();
    emit Closed();
}
