#include "ChannelFixture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
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

}  // namespace

void RecordingHost::StopAll(StopCause cause) {
    stops.push_back(cause);
    if (channels != nullptr) StopAllChannels(*channels, *this);
}

ChannelFixture::ChannelFixture() {
    ProcessWide();
    host.settingsPath = dir.File("QUILLON.GDB");
    host.channels = &channels;
    EXPECT_TRUE(testsupport::CreateSettingsDatabase(host.settingsPath));
    repository = dir.File("repo.fdb");
    EXPECT_TRUE(testsupport::CreateFirebirdDatabase(repository, ReadFile(testsupport::SourceDir() + "/db/demo.sql")));
    mkdir(dir.File("in").c_str(), 0777);
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
    channel->DBServerName = "embedded";
    channel->DBName = repository;
    channel->DBUserName = "SYSDBA";
    channel->DBPassword = "x";
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

int64_t ChannelFixture::Rows() const {
    const int32_t handle = tvDa::ConnectDB(repository.c_str(), "SYSDBA", "x", nullptr, 1);
    TvDataSet* data = nullptr;
    int64_t count = -1;
    if (tvDa::QueryRecords(handle, "SELECT COUNT(*) AS N FROM MEASUREMENT", &data) >= 0 && data != nullptr) {
        data->First();
        data->FieldAsInteger("N", &count);
    }
    tvDa::FreeDataSet(data);
    tvDa::DisconnectDB(handle);
    return count;
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
