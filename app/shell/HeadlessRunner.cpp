#include "HeadlessRunner.h"

#include <cstdio>

#include "ExePath.h"
#include "ScanControl.h"
#include "SingleInstance.h"

// Standard output is a stream: "clearing" it only starts the count again.
class HeadlessRunner::StdoutView : public MonitorLog::View {
public:
    int LineCount() const override { return lines_; }
    void Clear() override { lines_ = 0; }
    void AppendLine(const std::string& line) override {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);  // a service journal shows each line as it happens
        ++lines_;
    }

private:
    int lines_ = 0;
};

HeadlessRunner::HeadlessRunner(QObject* parent)
    : QObject(parent),
      view_(std::make_unique<StdoutView>()),
      monitor_(std::make_unique<MonitorLog>(*view_, MonitorLogFile())),
      settings_(*this) {
    GateScope scope(&gate_);
    settings_.OpenSettingsDatabase(nullptr);
    settings_.LoadSettings(false);
    tmrStart.setSingleShot(true);
    tmrStart.setInterval(2000);
    connect(&tmrStart, &QTimer::timeout, this, [this] {
        GateScope scope(&gate_);
        if (!ending_ && liveChannels_.EnabledCount() > 0) bbnStartClick();
    });
    tmrStart.start();
}

HeadlessRunner::~HeadlessRunner() {
    GateScope scope(&gate_);
    tmrStart.stop();
    bool running = false;
    for (const auto& channel : liveChannels_) running = running || channel->Running;
    if (running) StopAllChannels(liveChannels_, *this);
    liveChannels_.Clear();  // each channel waits for its worker
    editChannels_.Clear();
    settings_.CloseSettingsDatabase();
}

void HeadlessRunner::LogMessage(const std::string& text) {
    GateScope scope(&gate_);
    monitor_->Add(text);
}

std::string HeadlessRunner::SettingsDatabasePath() const { return SettingsDBPath(); }

void HeadlessRunner::bbnStartClick() {
    GateScope scope(&gate_);
    StartAllChannels(liveChannels_, *this);
}

void HeadlessRunner::bbnStopClick() {
    GateScope scope(&gate_);
    StopAllChannels(liveChannels_, *this);
}

void HeadlessRunner::StopAll(StopCause cause) {
    bbnStopClick();
    // A failed file has stopped every channel: the service ends with status 1 once the
    // workers are done (the destructor waits for them), so that its manager restarts it.
    if (cause == StopCause::FileFailed) {
        QMetaObject::invokeMethod(this, [this] { End(1); }, Qt::QueuedConnection);
    }
}

void HeadlessRunner::ShowOptions(const SystemOptions& options, bool) {
    monitor_->SetLogEventsToFile(options.LogEventsToFile);
}

void HeadlessRunner::End(int status) {
    if (ending_) return;
    ending_ = true;
    emit Finished(status);
}

void HeadlessRunner::WMCopyData(const QByteArray& text) {
    if (text == kExitCommand) {
        bbnStopClick();
        End(0);
    }
}

void HeadlessRunner::ShutdownRequested(int) {
    bbnStopClick();
    End(0);
}
