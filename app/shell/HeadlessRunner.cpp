#include "HeadlessRunner.h"

#include <cstdio>

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
    settings_.OpenSettingsDatabase(nullptr);
}

HeadlessRunner::~HeadlessRunner() { settings_.CloseSettingsDatabase(); }

void HeadlessRunner::LogMessage(const std::string& text) { monitor_->Add(text); }

void HeadlessRunner::WMCopyData(const QByteArray& text) {
    if (text == kExitCommand) emit Finished(0);
}

void HeadlessRunner::ShutdownRequested(int) { emit Finished(0); }
