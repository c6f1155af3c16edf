#include "MonitorLog.h"

#include "ExePath.h"
#include "tvGnHeader.h"

std::string MonitorLogFile() { return ExePath() + "Quillon.log"; }

MonitorLog::MonitorLog(View& view, std::string logFile)
    : view_(view), logFile_(std::move(logFile)) {}

std::string MonitorLog::FormatLine(const QDateTime& when, const std::string& text) {
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString() + "  " + text;
}

void MonitorLog::Add(const std::string& text) {
    if (view_.LineCount() >= kMaxLines) view_.Clear();
    view_.AppendLine(FormatLine(QDateTime::currentDateTime(), text));
    if (logEventsToFile_) tvGn::AddLog(text, logFile_);
}
