// SaveResult writing real rows into a Firebird file through libtvDataAccess.so, with the
// demo rule, and the demo rule refusing to go on when a row is not saved.
#include <gtest/gtest.h>

#include "RulesTestKit.h"
#include "TestSupport.h"
#include "TextFileLines.h"
#include "tvDaHeader.h"

using rulestest::RecordingChannel;

namespace {

const char* kSchema =
    "CREATE TABLE MEASUREMENT (MEASURED_AT TIMESTAMP, CHANNEL VARCHAR(20), FREQUENCY_HZ DOUBLE PRECISION, "
    "LEVEL_DBM DOUBLE PRECISION, SUPPLY_V DOUBLE PRECISION);\n"
    "CREATE TABLE NOTE (TXT VARCHAR(200));\n";

class Repository : public testing::Test {
protected:
    void SetUp() override {
        database_ = dir_.File("repository.fdb");
        ASSERT_TRUE(testsupport::CreateFirebirdDatabase(database_, kSchema));
        handle_ = tvDa::ConnectDB(database_.c_str(), "SYSDBA", "plumtrees", nullptr, 1);
        ASSERT_GE(handle_, 0);
        executor_.Init(handle_, &channel_);
    }
    void TearDown() override {
        if (handle_ >= 0) tvDa::DisconnectDB(handle_);
    }

    // The rows of `sql`, each as its fields' texts joined with "|".
    std::vector<std::string> Rows(const char* sql) {
        std::vector<std::string> rows;
        TvDataSet* data = nullptr;
        EXPECT_GE(tvDa::QueryRecords(handle_, sql, &data), 0) << sql;
        if (data == nullptr) return rows;
        for (data->First(); !data->Eof(); data->Next()) {
            std::string row;
            for (int32_t i = 0; i < data->FieldCount(); ++i) {
                const char* text = nullptr;
                data->FieldTextAt(i, &text);
                row += (i > 0 ? "|" : "") + std::string(text != nullptr ? text : "");
            }
            rows.push_back(row);
        }
        tvDa::FreeDataSet(data);
        return rows;
    }

    // The demo rule of `file` (rules/), in the syntax of its extension.
    std::string DemoRule(const std::string& file) {
        EXPECT_TRUE(executor_.SetSyntaxFromRuleFile(file));
        return RuleTextFromLines(SplitTextLines(rulestest::ReadFile(rulestest::SourceFile("rules/" + file))));
    }

    testsupport::TempDir dir_;
    std::string database_;
    int32_t handle_ = -1;
    TdmScriptExecutor executor_;
    RecordingChannel channel_;
};

TEST_F(Repository, DemoRulesSaveRealRows) {
    int32_t line = 0, character = 0;
    const char* files[] = {"demo.arp", "demo.arc", "demo.arb"};
    for (const char* file : files) {
        const std::string rule = DemoRule(file);
        ASSERT_TRUE(executor_.Execute(rule, line, character, false, "2026-12-11 10:00:00;CH01;2.4GHz;-50dbm;12 V", true))
            << file << ": " << executor_.LastError() << " at " << line << ":" << character;
    }
    const std::vector<std::string> rows =
        Rows("SELECT CHANNEL, FREQUENCY_HZ, LEVEL_DBM, SUPPLY_V, EXTRACT(HOUR FROM MEASURED_AT) FROM MEASUREMENT");
    ASSERT_EQ(rows.size(), 3u);
    for (const std::string& row : rows) EXPECT_EQ(row, "CH01|2400000000|-50|12|10");
    EXPECT_TRUE(channel_.shown.empty());
}

TEST_F(Repository, TextsAreBoundAsTheyAre) {
    rulestest::RunRule(executor_, "PascalScript",
                       "begin if not SaveResult('NOTE', ['TXT'], [line_content]) then LogEvent('no'); end.",
                       {"it's \"quoted\"; -- not SQL", "x'); DROP TABLE NOTE; --"});
    EXPECT_EQ(Rows("SELECT TXT FROM NOTE"),
              (std::vector<std::string>{"it's \"quoted\"; -- not SQL", "x'); DROP TABLE NOTE; --"}));
}

TEST_F(Repository, RowTheDatabaseRefusesIsReportedAndStopsTheDemoRule) {
    int32_t line = 0, character = 0;
    const std::string rule = DemoRule("demo.arp");
    testing::internal::CaptureStderr();
    // CHANNEL holds at most 20 characters.
    try {
        executor_.Execute(rule, line, character, false, "2026-12-11 10:00:00;CHANNEL-NAME-FAR-TOO-LONG;1;2;3", true);
        ADD_FAILURE() << "the demo rule went on";
    } catch (const RuleRuntimeError& e) {
        EXPECT_NE(std::string(e.what()).find("Row not saved"), std::string::npos) << e.what();
    }
    const std::string boxes = testing::internal::GetCapturedStderr();
    const std::string message =
        "Error occurred while saving data [MEASURED_AT,CHANNEL,FREQUENCY_HZ,LEVEL_DBM,SUPPLY_V] "
        "[2026-12-11 10:00:00,CHANNEL-NAME-FAR-TOO-LONG,1,2,3]!";
    EXPECT_EQ(channel_.shown, (std::vector<std::string>{message}));
    EXPECT_NE(boxes.find(message), std::string::npos) << boxes;
    EXPECT_TRUE(Rows("SELECT CHANNEL FROM MEASUREMENT").empty());
}

}  // namespace
