// A real channel against real databases: a settings database and a Firebird repository
// in a temporary folder, the family libraries of the build, and a host that records the
// monitor lines and runs the stop-all action over its channels.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ChannelHost.h"
#include "ChannelObjList.h"
#include "TestSupport.h"

class RecordingHost : public IChannelHost {
public:
    void LogMessage(const std::string& text) override { lines.push_back(text); }
    void StopAll(StopCause cause) override;
    std::string SettingsDatabasePath() const override { return settingsPath; }

    std::string settingsPath;
    TChannelObjList* channels = nullptr;
    std::vector<std::string> lines;
    std::vector<StopCause> stops;
};

class ChannelFixture {
public:
    ChannelFixture();

    // A channel of `host` scanning in/ into done/ with the rule `ruleName` (written from
    // `ruleText`) and the repository file repo.fdb (table MEASUREMENT).
    TChannelObj* AddChannel(const std::string& ruleName, const std::string& ruleText);
    void WriteInput(const std::string& name, const std::string& content) const;
    bool InScanned(const std::string& name) const;
    bool InProcessed(const std::string& name) const;
    int64_t Rows() const;  // rows of MEASUREMENT
    // Processes events until `done` or the time is up.
    bool WaitFor(const std::function<bool()>& done, int timeoutMs = 15000);
    bool HasLine(const std::string& text) const;
    // Index of the first line containing `text`, -1 when none.
    int LineIndex(const std::string& text) const;

    testsupport::TempDir dir;
    RecordingHost host;
    TChannelObjList channels;
    std::string repository;
};

// The demo rule of the rules folder.
std::string DemoRule();
// A demo line.
std::string DemoLine(int i);
