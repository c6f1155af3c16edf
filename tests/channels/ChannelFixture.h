// A real channel against real databases: a settings database in a temporary folder, a
// repository with the table MEASUREMENT (a Firebird file beside it, or a MariaDB schema of
// the fixture's own on the test server), the family libraries of the build, and a host
// that records the monitor lines and runs the stop-all action over its channels.
#pragma once

#include <functional>
#include <ostream>
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

enum class RepositoryKind { Firebird, MariaDb };
std::ostream& operator<<(std::ostream& out, RepositoryKind kind);

// Why a MariaDB fixture cannot run here, empty when it can (QUILLON_TEST_MYSQL is set).
std::string MariaDbUnavailable();

class ChannelFixture {
public:
    // A MariaDB fixture needs the test server (check MariaDbUnavailable() first).
    explicit ChannelFixture(RepositoryKind kind = RepositoryKind::Firebird);
    // Destroys the channels first, then drops a MariaDB schema.
    ~ChannelFixture();
    ChannelFixture(const ChannelFixture&) = delete;
    ChannelFixture& operator=(const ChannelFixture&) = delete;

    // A channel of `host` scanning in/ into done/ with the rule `ruleName` (written from
    // `ruleText`) and the fixture's repository.
    TChannelObj* AddChannel(const std::string& ruleName, const std::string& ruleText);
    void WriteInput(const std::string& name, const std::string& content) const;
    bool InScanned(const std::string& name) const;
    bool InProcessed(const std::string& name) const;
    int64_t Rows() const;  // rows of MEASUREMENT, -1 when they cannot be counted
    // An integer that one query of the repository yields (a column named N), -1 on failure.
    int64_t QueryNumber(const std::string& sql) const;
    // A database name of the fixture's kind that does not exist.
    std::string MissingDatabase() const;
    // Processes events until `done` or the time is up.
    bool WaitFor(const std::function<bool()>& done, int timeoutMs = 15000);
    bool HasLine(const std::string& text) const;
    // Index of the first line containing `text`, -1 when none.
    int LineIndex(const std::string& text) const;

    const RepositoryKind kind;
    testsupport::TempDir dir;
    RecordingHost host;
    TChannelObjList channels;
    // Where the channels' repository is: their DBServerName, DBName, DBUserName and
    // DBPassword, and the text ConnectDB takes for it.
    std::string serverName, databaseName, userName, password;
    std::string repository;

private:
    void CreateMariaDbSchema();
};

// The demo rule of the rules folder.
std::string DemoRule();
// A demo line.
std::string DemoLine(int i);
