#include "ChannelFixture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <filesystem>
#include <fstream>

#include "ScanControl.h"
#include "tvDaHeader.h"
#include "tvGnHeader.h"
#include "tvScHeader.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// One application object and the family libraries for the whole test program.
void ProcessWide() {
    static int argc = 1;
    static char name[] = "channels_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = [] {
        auto* created = new QCoreApplication(argc, argv);
        tvDa::Bind();
        tvGn::Bind();
        tvSc::Bind();
        return created;
    }();
    (void)app;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

// Making a Firebird file takes seconds; each is made once per process and copied.
const std::string& TemplateDatabase(const std::string& name) {
    static testsupport::TempDir templates;
    static const bool made = [] {
        const bool settings = testsupport::CreateSettingsDatabase(templates.File("QUILLON.GDB"));
        const bool demo = testsupport::CreateFirebirdDatabase(
            templates.File("repo.fdb"), ReadFile(testsupport::SourceDir() + "/db/demo.sql"));
        return settings && demo;
    }();
    static const std::string settings = templates.File("QUILLON.GDB"), demo = templates.File("repo.fdb");
    EXPECT_TRUE(made) << "template databases in " << templates.Path();
    return name == "QUILLON.GDB" ? settings : demo;
}

bool CopyTemplate(const std::string& name, const std::string& target) {
    std::error_code error;
    std::filesystem::copy_file(TemplateDatabase(name), target, error);
    return !error;
}

// The demo table in MariaDB's types.
constexpr const char* kMariaDbMeasurement =
    "CREATE TABLE MEASUREMENT (MEASURED_AT DATETIME, CHANNEL VARCHAR(32), FREQUENCY_HZ DOUBLE, "
    "LEVEL_DBM DOUBLE, SUPPLY_V DOUBLE) ENGINE=InnoDB";

// Runs one statement on a connection of its own.
bool RunStatement(const std::string& database, const std::string& user, const std::string& password,
                  const std::string& sql) {
    const int32_t handle = tvDa::ConnectDB(database.c_str(), user.c_str(), password.c_str(), nullptr, 1);
    if (handle < 0) return false;
    const bool ok = tvDa::UpdateRecords(handle, sql.c_str()) >= 0;
    tvDa::DisconnectDB(handle);
    return ok;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, RepositoryKind kind) {
    return out << (kind == RepositoryKind::Firebird ? "Firebird" : "MariaDb");
}

std::string MariaDbUnavailable() {
    return testsupport::TestMySql() ? std::string()
                                    : "QUILLON_TEST_MYSQL is not set (./test.sh starts a MariaDB server)";
}

void RecordingHost::StopAll(StopCause cause) {
    stops.push_back(cause);
    if (channels != nullptr) StopAllChannels(*channels, *this);
}

ChannelFixture::ChannelFixture(RepositoryKind repositoryKind) : kind(repositoryKind) {
    ProcessWide();
    host.settingsPath = dir.File("QUILLON.GDB");
    host.channels = &channels;
    EXPECT_TRUE(CopyTemplate("QUILLON.GDB", host.settingsPath));
    mkdir(dir.File("in").c_str(), 0777);
    if (kind == RepositoryKind::Firebird) {
        repository = dir.File("repo.fdb");
        EXPECT_TRUE(CopyTemplate("repo.fdb", repository));
        serverName = "embedded";
        databaseName = repository;
        userName = "SYSDBA";
        password = "x";
    } else {
        CreateMariaDbSchema();
    }
}

void ChannelFixture::CreateMariaDbSchema() {
    const auto server = testsupport::TestMySql();
    if (!server) {
        ADD_FAILURE() << MariaDbUnavailable();
        return;
    }
    // A schema per fixture: the demo rule always writes MEASUREMENT, and another test
    // program may use the server at the same time.
    static int made = 0;
    serverName = server->host + "/" + std::to_string(server->port);
    databaseName = "quillon_ch_" + std::to_string(getpid()) + "_" + std::to_string(++made);
    userName = server->user;
    password = server->password;
    repository = serverName + ":" + databaseName;
    EXPECT_TRUE(RunStatement(server->database, userName, password, "CREATE DATABASE " + databaseName))
        << "on the test MariaDB server " << server->database;
    EXPECT_TRUE(RunStatement(repository, userName, password, kMariaDbMeasurement));
}

ChannelFixture::~ChannelFixture() {
    channels.Clear();
    if (kind != RepositoryKind::MariaDb || databaseName.empty()) return;
    if (const auto server = testsupport::TestMySql()) {
        EXPECT_TRUE(RunStatement(server->database, userName, password, "DROP DATABASE IF EXISTS " + databaseName));
    }
}

TChannelObj* ChannelFixture::AddChannel(const std::string& ruleName, const std::string& ruleText) {
    std::ofstream(dir.File(ruleName), std::ios::binary) << ruleText;
    auto channel = std::make_unique<TChannelObj>(&host);
    channel->Description = "C" + std::to_string(channels.Count());
    channel->ScannedLocation = dir.File("in/");
    channel->ProcessedLocation = dir.File("done/");
    channel->FileExt = ".txt";
    channel->ScanInterval = 0;
    channel->RuleFile = dir.File(ruleName);
    channel->DBServerName = serverName;
    channel->DBName = databaseName;
    channel->DBUserName = userName;
    channel->DBPassword = password;
    channel->ChannelID = channels.Count();
    return channels.Add(std::move(channel));
}

void ChannelFixture::WriteInput(const std::string& name, const std::string& content) const {
    // Written beside and renamed in, so that a pass never sees half a file.
    const std::string temp = dir.File(name + ".part");
    std::ofstream(temp, std::ios::binary) << content;
    std::rename(temp.c_str(), dir.File("in/" + name).c_str());
}

bool ChannelFixture::InScanned(const std::string& name) const { return Exists(dir.File("in/" + name)); }
bool ChannelFixture::InProcessed(const std::string& name) const { return Exists(dir.File("done/" + name)); }

int64_t ChannelFixture::QueryNumber(const std::string& sql) const {
    const int32_t handle = tvDa::ConnectDB(repository.c_str(), userName.c_str(), password.c_str(), nullptr, 1);
    TvDataSet* data = nullptr;
    int64_t number = -1;
    if (tvDa::QueryRecords(handle, sql.c_str(), &data) >= 0 && data != nullptr) {
        data->First();
        data->FieldAsInteger("N", &number);
    }
    tvDa::FreeDataSet(data);
    if (handle >= 0) tvDa::DisconnectDB(handle);
    return number;
}

int64_t ChannelFixture::Rows() const { return QueryNumber("SELECT COUNT(*) AS N FROM MEASUREMENT"); }

std::string ChannelFixture::MissingDatabase() const {
    return kind == RepositoryKind::Firebird ? dir.File("missing/none.fdb") : databaseName + "_missing";
}

bool ChannelFixture::WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

int ChannelFixture::LineIndex(const std::string& text) const {
    for (size_t i = 0; i < host.lines.size(); ++i)
        if (host.lines[i].find(text) != std::string::npos) return static_cast<int>(i);
    return -1;
}

bool ChannelFixture::HasLine(const std::string& text) const { return LineIndex(text) >= 0; }

std::string DemoRule() { return ReadFile(testsupport::SourceDir() + "/rules/demo.arp"); }

std::string DemoLine(int i) {
    return "2026-12-11 10:" + std::to_string(10 + i % 50) + ":00;CH0" + std::to_string(i % 9) + ";2.4GHz;-50dbm;12 V";
}
