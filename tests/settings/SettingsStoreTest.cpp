// The settings store against a real settings database in a temporary program folder
// (QUILLON_HOME): loading both channel lists, the texts a save stores, the all-or-nothing
// save, the INI options and the autostart entry.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "ChannelObj.h"
#include "ChannelObjList.h"
#include "ExePath.h"
#include "MainWindowInterface.h"
#include "ScanControl.h"
#include "SettingsStore.h"
#include "TestSupport.h"
#include "tvDaHeader.h"
#include "tvGnHeader.h"
#include "tvScHeader.h"

namespace fs = std::filesystem;

namespace {

using Row = std::map<std::string, std::string>;

const std::vector<std::string> kColumns = {
    "ID",        "DESCRIPTION",   "SCANNED_LOCATION", "PROCESSED_LOCATION", "FILE_EXTENSION", "FILE_NAME_STARTS_WITH",
    "FILE_NAME_ENDS_WITH", "DISABLED", "SCAN_INTERVAL", "LOGGED", "RULE_FILE", "DB_TYPE", "DB_SERVER_NAME",
    "DB_NAME",   "DB_USER_NAME",  "DB_PASSWORD"};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The window side the store talks to, with the shared Start and Stop actions.
class TestWindow : public IMainWindow {
public:
    void LogMessage(const std::string& text) override { lines.push_back(text); }
    void StopAll(StopCause) override { StopAllChannels(live_, *this); }
    std::string SettingsDatabasePath() const override { return SettingsDBPath(); }
    TChannelObjList& LiveChannels() override { return live_; }
    TChannelObjList& EditChannels() override { return edit_; }
    void bbnStartClick() override { StartAllChannels(live_, *this); }
    void bbnStopClick() override { StopAllChannels(live_, *this); }
    void ShowOptions(const SystemOptions& options, bool reload) override {
        shown = options;
        shownReload = reload;
    }
    bool HasLine(const std::string& text) const {
        for (const std::string& line : lines)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }

    std::vector<std::string> lines;
    SystemOptions shown;
    bool shownReload = false;

private:
    TChannelObjList live_, edit_;
};

// A fresh settings database in the program folder for each test, the window and the store
// on it, and a connection of the test's own to look at the table.
class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override {
        fs::remove(SettingsDBPath());
        fs::remove(ExePath() + IniFileName);
        fs::remove_all(ExePath() + "autostart");
        ASSERT_TRUE(testsupport::CreateSettingsDatabase(SettingsDBPath()));
        Open();
    }
    void TearDown() override { Close(); }
    // Every connection to the file is closed: the in-process engine keeps a file open as
    // long as one is, and would go on showing a removed file's contents.
    void Close() {
        store.reset();
        if (peek_ >= 0) tvDa::DisconnectDB(peek_);
        peek_ = -1;
    }
    void Open() {
        store = std::make_unique<SettingsStore>(window);
        ASSERT_TRUE(store->OpenSettingsDatabase(nullptr));
        peek_ = tvDa::ConnectDB(SettingsDBPath().c_str(), kSettingsDBUser, kSettingsDBPassword, nullptr, 1);
        ASSERT_GE(peek_, 0);
    }

    // Stores a row as an earlier save would have; unnamed columns get plain defaults.
    void StoreRow(Row row) {
        const Row defaults = {{"ID", "1"},           {"SCANNED_LOCATION", "/in/"},  {"PROCESSED_LOCATION", "/done/"},
                              {"FILE_EXTENSION", ".txt"}, {"FILE_NAME_STARTS_WITH", ""}, {"FILE_NAME_ENDS_WITH", ""},
                              {"DISABLED", "0"},     {"SCAN_INTERVAL", "1000"},     {"LOGGED", "0"},
                              {"RULE_FILE", "/r.arp"}, {"DB_TYPE", "Firebird"},      {"DB_SERVER_NAME", "embedded"},
                              {"DB_NAME", "/repo.fdb"}, {"DB_USER_NAME", "SYSDBA"},   {"DB_PASSWORD", ""}};
        row.insert(defaults.begin(), defaults.end());
        std::vector<std::string> values;
        for (const std::string& column : kColumns) values.push_back(row.at(column));
        ASSERT_EQ(tvDa::InsertRecord(peek_, "CHANNEL_SETTING", kColumns, values), 1);
    }

    // The table as stored, ordered by ID, every column as text ("<null>" for NULL).
    std::vector<Row> StoredRows() {
        std::vector<Row> rows;
        TvDataSet* data = nullptr;
        if (tvDa::QueryRecords(peek_, "SELECT * FROM CHANNEL_SETTING ORDER BY ID", &data) < 0 || data == nullptr)
            return rows;
        for (data->First(); !data->Eof(); data->Next()) {
            Row row;
            for (const std::string& column : kColumns) {
                const char* value = nullptr;
                row[column] = data->FieldAsText(column.c_str(), &value) == 1 ? value : "<null>";
            }
            rows.push_back(row);
        }
        tvDa::FreeDataSet(data);
        return rows;
    }

    static std::unique_ptr<TChannelObj> Channel(const std::string& description) {
        auto channel = std::make_unique<TChannelObj>();
        channel->Description = description;
        channel->ScannedLocation = "/data/" + description + "/";
        channel->ProcessedLocation = "/data/" + description + "/done/";
        channel->FileExt = ".csv";
        channel->RuleFile = "/rules/" + description + ".arp";
        channel->DBType = "MySQL";
        channel->DBServerName = "127.0.0.1/3306";
        channel->DBName = "plant";
        channel->DBUserName = "loader";
        return channel;
    }

    // Runs a save with stderr captured (the boxes go there without a window application).
    SettingsStore::SaveResult Save(const SystemOptions& options, const std::string& confirm, std::string* shown) {
        testing::internal::CaptureStderr();
        const SettingsStore::SaveResult result = store->Save(options, confirm);
        *shown = testing::internal::GetCapturedStderr();
        return result;
    }

    static std::string AutostartEntry() { return ExePath() + "autostart/" + RunAtStartupName + ".desktop"; }

    TestWindow window;
    std::unique_ptr<SettingsStore> store;

private:
    int32_t peek_ = -1;
};

TEST_F(SettingsStoreTest, LoadsInDescriptionOrderIntoBothListsWithIdsFromZero) {
    StoreRow({{"ID", "1"}, {"DESCRIPTION", "B"}, {"DISABLED", "2"}, {"LOGGED", "1"}, {"SCAN_INTERVAL", "250"},
              {"DB_PASSWORD", *tvSc::Encrypt("s3cret")}});
    StoreRow({{"ID", "2"}, {"DESCRIPTION", "A"}, {"DISABLED", "1"}, {"LOGGED", "2"}, {"FILE_NAME_STARTS_WITH", "m_"},
              {"FILE_NAME_ENDS_WITH", "_x"}});
    store->LoadSettings(false);

    TChannelObjList& live = window.LiveChannels();
    TChannelObjList& edit = window.EditChannels();
    ASSERT_EQ(live.Count(), 2);
    ASSERT_EQ(edit.Count(), 2);
    const TChannelObj& a = *live.Items(0);
    const TChannelObj& b = *live.Items(1);
    EXPECT_EQ(a.Description, "A");
    EXPECT_EQ(a.ChannelID, 0);
    EXPECT_TRUE(a.Disabled);
    EXPECT_FALSE(a.Logged) << "only 1 counts as true";
    EXPECT_EQ(a.FileNameStartsWith, "m_");
    EXPECT_EQ(a.FileNameEndsWith, "_x");
    EXPECT_EQ(b.Description, "B");
    EXPECT_EQ(b.ChannelID, 1);
    EXPECT_FALSE(b.Disabled) << "only 1 counts as true";
    EXPECT_TRUE(b.Logged);
    EXPECT_EQ(b.ScanInterval, 250);
    EXPECT_EQ(b.DBPassword, "s3cret");
    EXPECT_EQ(b.LogFile, ExePath() + "B.log");
    EXPECT_EQ(live.EnabledCount(), 1);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(edit.Items(i)->Description, live.Items(i)->Description);
        EXPECT_EQ(edit.Items(i)->ChannelID, live.Items(i)->ChannelID);
        EXPECT_EQ(edit.Items(i)->DBPassword, live.Items(i)->DBPassword);
        EXPECT_NE(edit.Items(i), live.Items(i));
    }
    const std::vector<std::string> framing = {window.lines.front(), window.lines.back()};
    EXPECT_EQ(framing, (std::vector<std::string>{"Connecting to database \"" + SettingsDBPath() + "\".",
                                                 "Settings loaded."}));
    EXPECT_TRUE(window.HasLine("Loading settings."));
    EXPECT_FALSE(store->SettingsModified);
}

TEST_F(SettingsStoreTest, SaveStoresEveryChannelInListOrderWithIdsFromOneAndTheCipheredPassword) {
    auto b = Channel("B");
    b->Disabled = true;
    b->ScanInterval = 1500;
    b->DBPassword = "admin";
    auto a = Channel("A");
    a->Logged = true;
    a->FileNameStartsWith = "it's";
    window.EditChannels().Add(std::move(b));
    window.EditChannels().Add(std::move(a));
    store->SettingsModified = true;

    std::string shown;
    ASSERT_EQ(Save(SystemOptions{}, "", &shown), SettingsStore::SaveResult::Saved);
    EXPECT_NE(shown.find("Settings saved!"), std::string::npos) << shown;

    const std::vector<Row> rows = StoredRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (Row{{"ID", "1"}, {"DESCRIPTION", "B"}, {"SCANNED_LOCATION", "/data/B/"},
                            {"PROCESSED_LOCATION", "/data/B/done/"}, {"FILE_EXTENSION", ".csv"},
                            {"FILE_NAME_STARTS_WITH", ""}, {"FILE_NAME_ENDS_WITH", ""}, {"DISABLED", "1"},
                            {"SCAN_INTERVAL", "1500"}, {"LOGGED", "0"}, {"RULE_FILE", "/rules/B.arp"},
                            {"DB_TYPE", "MySQL"}, {"DB_SERVER_NAME", "127.0.0.1/3306"}, {"DB_NAME", "plant"},
                            {"DB_USER_NAME", "loader"}, {"DB_PASSWORD", "1DC92D5852"}}));
    EXPECT_EQ(rows[1].at("ID"), "2");
    EXPECT_EQ(rows[1].at("DESCRIPTION"), "A");
    EXPECT_EQ(rows[1].at("DISABLED"), "0");
    EXPECT_EQ(rows[1].at("LOGGED"), "1");
    EXPECT_EQ(rows[1].at("FILE_NAME_STARTS_WITH"), "it's");
    EXPECT_EQ(rows[1].at("DB_PASSWORD"), "");

    // The reload that ends the save brings them back in description order.
    ASSERT_EQ(window.LiveChannels().Count(), 2);
    EXPECT_EQ(window.LiveChannels().Items(0)->Description, "A");
    EXPECT_EQ(window.LiveChannels().Items(1)->DBPassword, "admin");
    EXPECT_TRUE(window.shownReload);
    EXPECT_FALSE(store->SettingsModified);

    // Saved again, the rows are rewritten with IDs in the new list order.
    ASSERT_EQ(Save(SystemOptions{}, "", &shown), SettingsStore::SaveResult::Saved);
    const std::vector<Row> again = StoredRows();
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[0].at("DESCRIPTION"), "A");
    EXPECT_EQ(again[1].at("DESCRIPTION"), "B");
    EXPECT_EQ(again[1].at("DB_PASSWORD"), "1DC92D5852");
}

TEST_F(SettingsStoreTest, AFailedInsertLeavesTheStoredChannelsAndTheOptionsAsTheyWere) {
    StoreRow({{"ID", "1"}, {"DESCRIPTION", "Old one"}});
    StoreRow({{"ID", "2"}, {"DESCRIPTION", "Old two"}});
    const std::vector<Row> before = StoredRows();
    store->LoadSettings(false);

    window.EditChannels().Add(Channel("New"));
    // Longer than the column: the second insert is refused by the database.
    window.EditChannels().Add(Channel(std::string(300, 'x')));
    store->SettingsModified = true;
    SystemOptions options;
    options.LoadOnStartup = true;
    options.LogEventsToFile = true;

    std::string shown;
    EXPECT_EQ(Save(options, "", &shown), SettingsStore::SaveResult::Failed);
    EXPECT_NE(shown.find("Error saving Settings!"), std::string::npos) << shown;
    EXPECT_EQ(StoredRows(), before);
    EXPECT_TRUE(store->SettingsModified);
    EXPECT_EQ(window.EditChannels().Count(), 4) << "the edited channels are kept for another save";
    EXPECT_FALSE(fs::exists(ExePath() + IniFileName)) << "no option is written after a failed insert";
    EXPECT_FALSE(fs::exists(AutostartEntry()));

    // The connection is usable again: a save without the bad channel goes through.
    window.EditChannels().RemoveByDescription(std::string(300, 'x'));
    EXPECT_EQ(Save(options, "", &shown), SettingsStore::SaveResult::Saved);
    EXPECT_EQ(StoredRows().size(), 3u);
}

TEST_F(SettingsStoreTest, OptionsRoundTripThroughTheIniFileAndTheAutostartEntryFollowsThem) {
    SystemOptions options;
    options.LoadOnStartup = true;
    options.LogEventsToFile = true;
    options.HideOnStartup = true;
    options.ProtectSettings = false;
    options.SettingsPassword = "pw";  // stored enciphered also while protection is off
    std::string shown;
    ASSERT_EQ(Save(options, "", &shown), SettingsStore::SaveResult::Saved);

    EXPECT_EQ(tvGn::GetInitSettingStr("Security", "Password", IniFileName, ""), *tvSc::Encrypt("pw"));
    EXPECT_TRUE(window.shown.LoadOnStartup);
    EXPECT_TRUE(window.shown.LogEventsToFile);
    EXPECT_TRUE(window.shown.HideOnStartup);
    EXPECT_FALSE(window.shown.ProtectSettings);
    EXPECT_EQ(window.shown.SettingsPassword, "pw");
    const std::string entry = ReadFile(AutostartEntry());
    EXPECT_NE(entry.find("Exec=" + ExePath() + "quillon\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("Name=Tavmere Quillon\n"), std::string::npos) << entry;

    // Switched off, every save removes the entry, whether it is there or not.
    options.LoadOnStartup = false;
    ASSERT_EQ(Save(options, "", &shown), SettingsStore::SaveResult::Saved);
    EXPECT_FALSE(fs::exists(AutostartEntry()));
    ASSERT_EQ(Save(options, "", &shown), SettingsStore::SaveResult::Saved);
    EXPECT_FALSE(window.shown.LoadOnStartup);

    // Protected with a confirmation that differs: nothing is written.
    StoreRow({{"DESCRIPTION", "Kept"}});
    options.ProtectSettings = true;
    options.SettingsPassword = "new";
    EXPECT_EQ(Save(options, "New", &shown), SettingsStore::SaveResult::PasswordMismatch);
    EXPECT_NE(shown.find("Password and Confirm Password do not match!"), std::string::npos) << shown;
    EXPECT_EQ(StoredRows().size(), 1u);
    EXPECT_FALSE(tvGn::GetInitSettingBool("Security", "Protect Settings", IniFileName, false));
}

TEST_F(SettingsStoreTest, EmptyTableLoadsEmptyListsAndSavingNoChannelsEmptiesTheTable) {
    store->LoadSettings(false);
    EXPECT_EQ(window.LiveChannels().Count(), 0);
    EXPECT_EQ(window.EditChannels().Count(), 0);

    StoreRow({{"DESCRIPTION", "Gone"}});
    std::string shown;
    ASSERT_EQ(Save(SystemOptions{}, "", &shown), SettingsStore::SaveResult::Saved);
    EXPECT_TRUE(StoredRows().empty());
    EXPECT_TRUE(fs::exists(ExePath() + IniFileName));
}

// The demo channel exactly as a new program folder stores it, empty password included.
TEST_F(SettingsStoreTest, DemoChannelOfANewProgramFolderLoadsWithItsPaths) {
    Close();
    fs::remove(SettingsDBPath());
    const std::string folder = ExePath().substr(0, ExePath().size() - 1);
    const std::string src = testsupport::SourceDir();
    const std::string command = src + "/db/new-program-folder.sh '" + folder + "' " + src +
                                "/scripts/create-database.sh " + src + "/db/demo.sql " + src + "/demo/in " + src +
                                "/db/settings.sql " + src + "/db/security.sql " + src + "/db/seed.sql";
    ASSERT_EQ(testsupport::Run(command), 0) << command;
    Open();
    testing::internal::CaptureStderr();
    store->LoadSettings(false);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    ASSERT_EQ(window.LiveChannels().Count(), 1);
    const TChannelObj& demo = *window.LiveChannels().Items(0);
    EXPECT_EQ(demo.Description, "Demo");
    EXPECT_FALSE(demo.Disabled);
    EXPECT_EQ(demo.ScannedLocation, ExePath() + "demo/in/");
    EXPECT_EQ(demo.ProcessedLocation, ExePath() + "demo/done/");
    EXPECT_EQ(demo.FileExt, ".txt");
    EXPECT_EQ(demo.RuleFile, ExePath() + "rules/demo.arp");
    EXPECT_EQ(demo.DBType, "Firebird");
    EXPECT_EQ(demo.DBServerName, "embedded");
    EXPECT_EQ(demo.DBName, ExePath() + "demo/DEMO.FDB");
    EXPECT_EQ(demo.DBUserName, "SYSDBA");
    EXPECT_EQ(demo.DBPassword, "");
    EXPECT_TRUE(fs::exists(ExePath() + "demo/DEMO.FDB"));
    EXPECT_FALSE(fs::is_empty(ExePath() + "demo/in"));
}

// A save while scanning: the reload stops the channels under their old names and starts
// them under the saved ones.
TEST_F(SettingsStoreTest, SaveWhileScanningRestartsTheChannelsAsSaved) {
    testsupport::TempDir work;
    const std::string repository = work.File("repo.fdb");
    ASSERT_TRUE(testsupport::CreateFirebirdDatabase(repository, ReadFile(testsupport::SourceDir() + "/db/demo.sql")));
    fs::create_directories(work.File("in"));
    const std::string rule = work.File("demo.arp");
    fs::copy_file(testsupport::SourceDir() + "/rules/demo.arp", rule);
    StoreRow({{"DESCRIPTION", "X"}, {"SCANNED_LOCATION", work.File("in/")}, {"PROCESSED_LOCATION", work.File("done/")},
              {"RULE_FILE", rule}, {"DB_NAME", repository}, {"DB_PASSWORD", *tvSc::Encrypt("x")}});
    store->LoadSettings(false);
    window.bbnStartClick();
    ASSERT_TRUE(window.LiveChannels().Items(0)->Running) << testing::PrintToString(window.lines);

    window.EditChannels().Items(0)->Description = "Y";
    std::string shown;
    ASSERT_EQ(Save(SystemOptions{}, "", &shown), SettingsStore::SaveResult::Saved);
    EXPECT_TRUE(window.HasLine("Channel \"X\" stopped!"));
    EXPECT_TRUE(window.HasLine("Channel \"Y\" started!"));
    ASSERT_EQ(window.LiveChannels().Count(), 1);
    EXPECT_TRUE(window.LiveChannels().Items(0)->Running);
    window.bbnStopClick();
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::TempDir home;
    setenv("QUILLON_HOME", home.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.Path().c_str(), 1);
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    tvDa::Bind();
    tvGn::Bind();
    tvSc::Bind();
    const int status = RUN_ALL_TESTS();
    tvSc::Release();
    tvGn::Release();
    tvDa::Release();
    return status;
}
