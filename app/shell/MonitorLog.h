// The monitor's lines: time stamp, the 5000-line limit and the optional monitor log file.
// The window shows the lines in its memo, the headless runner on standard output.
#pragma once

#include <QDateTime>
#include <string>

// ExePath() + "Quillon.log": the file the monitor's texts go to while LogEventsToFile is set.
std::string MonitorLogFile();

class MonitorLog {
public:
    // The monitor is cleared before a line is added once it holds this many lines.
    static constexpr int kMaxLines = 5000;

    // Where the lines are shown.
    class View {
    public:
        virtual ~View() = default;
        virtual int LineCount() const = 0;
        virtual void Clear() = 0;
        virtual void AppendLine(const std::string& line) = 0;
    };

    // `logFile` receives the bare texts while LogEventsToFile is set.
    MonitorLog(View& view, std::string logFile);

    // Clears a full view, appends "yyyy-mm-dd hh:nn:ss  " + text and, when
    // LogEventsToFile is set, appends the bare text to the log file.
    void Add(const std::string& text);

    bool LogEventsToFile() const { return logEventsToFile_; }
    void SetLogEventsToFile(bool on) { logEventsToFile_ = on; }
    const std::string& LogFile() const { return logFile_; }

    // The monitor line for `text` written at `when` (local time, two blanks after it).
    static std::string FormatLine(const QDateTime& when, const std::string& text);

private:
    View& view_;
    std::string logFile_;
    bool logEventsToFile_ = false;
};
