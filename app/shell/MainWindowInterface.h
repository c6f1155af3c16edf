// What the layers below the main window (settings store, channels) need of it. The window
// (TfrmMain) and the service form without a window (HeadlessRunner) both implement it.
// Every call comes from the main thread.
#pragma once

#include <string>

class IMainWindow {
public:
    virtual ~IMainWindow() = default;

    // Adds one line to the monitor: the one way to write to it. The text is 8-bit, as the
    // libraries and rules hand it over.
    virtual void LogMessage(const std::string& text) = 0;
};
