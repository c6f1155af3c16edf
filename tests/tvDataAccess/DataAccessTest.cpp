// Queries, datasets, inserts, counts, transactions, named settings and reconnection,
// each against both back ends.
#include <cmath>
#include <string>
#include <vector>

#include "DataAccessFixture.h"

namespace datest {
namespace {

std::string EveryByte() {
    std::string s;
    for (int c = 1; c < 256; ++c) s += static_cast<char>(c);
    return s;
}

std::string Text(TvDataSet* ds, const char* field) {
    const char* out = nullptr;
    return ds->FieldAsText(field, &out) >= 0 && out != nullptr ? out : "<failed>";
}

TEST_P(DataAccess, HandlesAreIssuedInOrderAndNeverReused) {
    const int32_t a = Connect();
    const int32_t b = Connect();
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(DisconnectDB(a, 1), 1);
    const int32_t c = Connect();
    EXPECT_EQ(c, b + 1);
    EXPECT_EQ(IsConnected(a, 1), 0);
    EXPECT_EQ(IsConnected(c, 1), 1);
    char* path = GetDBPath(c, 1);
    EXPECT_EQ(std::string(path), database_);
    std::free(path);
    EXPECT_NE(GetConnection(c, 1), nullptr);
    DisconnectDB(b, 1);
    DisconnectDB(c, 1);
}

TEST_P(DataAccess, InsertedTextsReadBackByteForByte) {
    const std::string longText(10000, 'x');
    const std::string blobText = std::string(40000, 'b') + "\\'end";  // beyond a text parameter
    const struct {
        const char* what;
        std::string value;
    } cases[] = {
        {"quotes", "O'Brien said \"hi\" ''"},
        {"backslashes", "C:\\data\\new\\t\\\\ end\\"},
        {"every byte but NUL", EveryByte()},
        {"10,000 characters", longText},
        {"empty", ""},
        {"SQL-looking", "x'); DELETE FROM SAMPLE; --"},
    };
    int id = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string ids = std::to_string(++id);
        const std::string shortValue = c.value.substr(0, 300);
        ASSERT_EQ(Insert(h_, {"ID", "NAME", "NAME_U", "NOTE"},
                         {ids.c_str(), c.value.c_str(), shortValue.c_str(), c.value.c_str()}),
                  1);
        DataSetGuard ds;
        const std::string sql = "SELECT NAME, NAME_U, NOTE FROM SAMPLE WHERE ID = " + ids;
        ASSERT_EQ(QueryRecords(h_, sql.c_str(), &ds.set, 1), 1);
        EXPECT_EQ(Text(ds.set, "NAME"), c.value);
        EXPECT_EQ(Text(ds.set, "NAME_U"), shortValue);
        EXPECT_EQ(Text(ds.set, "NOTE"), c.value);
    }
    ASSERT_EQ(Insert(h_, {"ID", "NOTE"}, {"99", blobText.c_str()}), 1);
    DataSetGuard ds;
    ASSERT_EQ(QueryRecords(h_, "SELECT NOTE FROM SAMPLE WHERE ID = 99", &ds.set, 1), 1);
    EXPECT_EQ(Text(ds.set, "NOTE"), blobText);
}

TEST_P(DataAccess, NullValueAndLowerCaseNamesInsert) {
    ASSERT_EQ(Insert(h_, {"id", "name", "amount"}, {"5", nullptr, "12.5"}), 1);
    DataSetGuard ds;
    ASSERT_EQ(QueryRecords(h_, "SELECT NAME, AMOUNT FROM SAMPLE", &ds.set, 1), 1);
    EXPECT_EQ(ds.set->FieldIsNull("NAME"), 1);
    EXPECT_EQ(Text(ds.set, "AMOUNT"), "12.50");
}

TEST_P(DataAccess, DatasetGivesTextIntegerDateTimeAndNull) {
    const char* rows[] = {
        "INSERT INTO SAMPLE (ID, NAME, AMOUNT, RATIO, CREATED, DAY_ONLY, CODE) VALUES "
        "(1, ' 42 ', 3.50, 0.1, '2024-02-29 13:45:10.250', '2024-02-29', ' ab')",
        "INSERT INTO SAMPLE (ID, NAME, AMOUNT, RATIO, CREATED, DAY_ONLY) VALUES "
        "(2, 'two', -0.05, 1e20, '2000-01-01 00:00:00', '1899-12-29')",
        "INSERT INTO SAMPLE (ID) VALUES (3)",
    };
    for (const char* sql : rows) ASSERT_EQ(UpdateRecords(h_, sql, 1), 1) << sql;

    DataSetGuard ds;
    ASSERT_EQ(QueryRecordsEx(h_, "SELECT * FROM SAMPLE ORDER BY ID", &ds.set, 1), 3);
    TvDataSet* d = ds.set;
    EXPECT_EQ(d->RecordCount(), 3);
    EXPECT_EQ(d->FieldCount(), 9);
    EXPECT_STREQ(d->FieldName(0), "ID");
    EXPECT_EQ(d->FieldIndex("created"), 5);

    d->First();
    EXPECT_EQ(Text(d, "ID"), "1");
    EXPECT_EQ(Text(d, "amount"), "3.50");
    EXPECT_EQ(Text(d, "RATIO"), "0.1");
    EXPECT_EQ(Text(d, "CREATED"), "2024-02-29 13:45:10.250");
    EXPECT_EQ(Text(d, "DAY_ONLY"), "2024-02-29");
    EXPECT_EQ(Text(d, "CODE"), " ab");  // CHAR without its padding
    int64_t n = 0;
    EXPECT_EQ(d->FieldAsInteger("ID", &n), 1);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(d->FieldAsInteger("NAME", &n), 1);  // a text holding a whole number
    EXPECT_EQ(n, 42);
    EXPECT_EQ(d->FieldAsInteger("AMOUNT", &n), 1);
    EXPECT_EQ(n, 4);
    double t = 0;
    EXPECT_EQ(d->FieldAsDateTime("CREATED", &t), 1);
    EXPECT_NEAR(t, 45351 + (13 * 3600 + 45 * 60 + 10.25) / 86400.0, 1e-9);

    d->Next();
    EXPECT_EQ(Text(d, "CREATED"), "2000-01-01 00:00:00");
    EXPECT_EQ(Text(d, "AMOUNT"), "-0.05");
    EXPECT_EQ(Text(d, "RATIO"), "100000000000000000000");
    EXPECT_EQ(d->FieldAsDateTime("DAY_ONLY", &t), 1);
    EXPECT_DOUBLE_EQ(t, -1.0);

    d->Next();
    const char* text = "untouched";
    EXPECT_EQ(d->FieldIsNull("NAME"), 1);
    EXPECT_EQ(d->FieldAsText("NAME", &text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(d->FieldAsInteger("AMOUNT", &n), 0);
    EXPECT_EQ(d->FieldAsDateTime("CREATED", &t), 0);
    EXPECT_EQ(d->FieldIsNull("ID"), 0);

    d->Next();
    EXPECT_EQ(d->Eof(), 1);
    EXPECT_EQ(d->RecNo(), 3);
    EXPECT_EQ(d->MoveTo(3), 0);
    EXPECT_EQ(d->MoveTo(1), 1);
    EXPECT_EQ(Text(d, "NAME"), "two");
}

TEST_P(DataAccess, MissingFieldsAndRowsAreErrorResults) {
    ASSERT_EQ(UpdateRecords(h_, "INSERT INTO SAMPLE (ID, NAME) VALUES (1, 'abc')", 1), 1);
    DataSetGuard ds;
    ASSERT_EQ(QueryRecords(h_, "SELECT ID, NAME, CREATED FROM SAMPLE", &ds.set, 1), 1);
    TvDataSet* d = ds.set;
    const char* text = "untouched";
    int64_t n = 77;
    double t = 7.0;
    const auto lines = StderrLines([&] {
        EXPECT_EQ(d->FieldAsText("NO_SUCH", &text), -1);
        EXPECT_EQ(d->FieldAsInteger("NAME", &n), -1);       // "abc" is no number
        EXPECT_EQ(d->FieldAsDateTime("NAME", &t), -1);      // nor a date
        EXPECT_EQ(d->FieldTextAt(3, &text), -1);
        EXPECT_EQ(d->FieldIsNull(nullptr), -1);
        d->Next();
        EXPECT_EQ(d->FieldAsText("ID", &text), -1);         // past the last row
    });
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(n, 77);
    EXPECT_EQ(t, 7.0);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_NE(lines[0].find("FieldAsText(\"NO_SUCH\"): no such field"), std::string::npos) << lines[0];
    EXPECT_NE(lines[5].find("no current row"), std::string::npos) << lines[5];
    EXPECT_EQ(d->FieldName(3), nullptr);

    DataSetGuard empty;
    ASSERT_EQ(QueryRecords(h_, "SELECT ID FROM SAMPLE WHERE ID = 0", &empty.set, 1), 0);
    EXPECT_EQ(empty.set->Eof(), 1);
    EXPECT_EQ(empty.set->FieldCount(), 1);
}

TEST_P(DataAccess, UpdateAndDeleteReportRowCounts) {
    for (int i = 0; i < 5; ++i) {
        const std::string id = std::to_string(i);
        ASSERT_EQ(Insert(h_, {"ID", "NAME"}, {id.c_str(), "a"}), 1);
    }
    EXPECT_EQ(UpdateRecords(h_, "UPDATE SAMPLE SET NAME = 'z' WHERE ID < 3", 1), 3);
    // Rows matched, also when the value does not change.
    EXPECT_EQ(UpdateRecords(h_, "UPDATE SAMPLE SET NAME = 'z' WHERE ID < 3", 1), 3);
    EXPECT_EQ(UpdateRecords(h_, "UPDATE SAMPLE SET NAME = 'q' WHERE ID = 100", 1), 0);
    EXPECT_EQ(QueryIfRecordExists(h_, "SELECT * FROM SAMPLE WHERE NAME = 'z'", 1), 3);
    EXPECT_EQ(DeleteRecords(h_, "SAMPLE", "ID >= 3", 1), 2);
    EXPECT_EQ(DeleteRecords(h_, "SAMPLE", "ID = ID AND ID = 1", 1), 1);
    {
        DataSetGuard ds;
        EXPECT_EQ(GetTableDataSet(h_, "SAMPLE", &ds.set, 1), 2);
        ASSERT_NE(ds.set, nullptr);
        EXPECT_EQ(ds.set->FieldCount(), 9);
    }
    EXPECT_EQ(DeleteAllRecords(h_, "SAMPLE", 1), 2);
    EXPECT_EQ(QueryIfRecordExists(h_, "SELECT * FROM SAMPLE", 1), 0);
}

TEST_P(DataAccess, TransactionCommitsAllOrRollsBackAll) {
    const int32_t other = Connect();
    ASSERT_GE(other, 0);

    ASSERT_EQ(BeginTransaction(h_), 1);
    for (const char* id : {"1", "2", "3"}) ASSERT_EQ(Insert(h_, {"ID"}, {id}), 1);
    EXPECT_EQ(CountRows(h_), 3);     // visible inside the transaction
    EXPECT_EQ(CountRows(other), 0);  // and nowhere else
    ASSERT_EQ(EndTransaction(h_, 0), 1);
    EXPECT_EQ(CountRows(h_), 0);

    ASSERT_EQ(BeginTransaction(h_), 1);
    ASSERT_EQ(Insert(h_, {"ID"}, {"4"}), 1);
    EXPECT_EQ(UpdateRecords(h_, "UPDATE SAMPLE SET NAME = 'x'", 1), 1);
    EXPECT_EQ(CountRows(other), 0);
    ASSERT_EQ(EndTransaction(h_, 1), 1);
    EXPECT_EQ(CountRows(other, "NAME = 'x'"), 1);

    // Nesting and ending what was never begun are refused.
    const auto lines = StderrLines([&] {
        ASSERT_EQ(BeginTransaction(h_), 1);
        EXPECT_EQ(BeginTransaction(h_), 0);
        EXPECT_EQ(EndTransaction(h_, 1), 1);
        EXPECT_EQ(EndTransaction(h_, 1), 0);
    });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("already open"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("no transaction is open"), std::string::npos) << lines[1];
    DisconnectDB(other, 1);
}

TEST_P(DataAccess, DisconnectRollsBackAnOpenTransaction) {
    const int32_t h = Connect();
    ASSERT_EQ(BeginTransaction(h), 1);
    ASSERT_EQ(Insert(h, {"ID"}, {"1"}), 1);
    ASSERT_EQ(DisconnectDB(h, 1), 1);
    EXPECT_EQ(CountRows(h_), 0);
}

TEST_P(DataAccess, NamedSettingsAreStoredAndUpdated) {
    char* absent = GetSettingValue(h_, "NOT_THERE", 1);
    EXPECT_STREQ(absent, "");
    std::free(absent);
    const struct {
        const char* name;
        const char* value;
    } steps[] = {
        {"EXPIRY_MONTHS", "3"},
        {"EXPIRY_MONTHS", "-1"},  // an update of the same name
        {"it's quoted", "O'Brien \\ 'x'"},
        {"EMPTY", ""},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        ASSERT_EQ(SetSettingValue(h_, s.name, s.value, 1), 1);
        char* v = GetSettingValue(h_, s.name, 1);
        EXPECT_STREQ(v, s.value);
        std::free(v);
    }
    EXPECT_EQ(QueryIfRecordExists(h_, "SELECT * FROM APP_SETTING", 1), 3);
}

TEST_P(DataAccess, DroppedConnectionIsReopenedOnce) {
    // The insert is prepared already, as in a channel that has been saving rows.
    ASSERT_EQ(Insert(h_, {"ID"}, {"1"}), 1);
    const int64_t before = SessionId(h_);
    ASSERT_GT(before, 0);
    KillSession(before);
    const auto lines = StderrLines([&] { EXPECT_EQ(Insert(h_, {"ID"}, {"2"}), 1); });
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("re-opened"), std::string::npos) << lines[0];
    EXPECT_NE(SessionId(h_), before);
    EXPECT_EQ(CountRows(h_), 2);

    // A query on a dropped connection is repeated as well.
    KillSession(SessionId(h_));
    StderrLines([&] { EXPECT_EQ(CountRows(h_), 2); });
}

TEST_P(DataAccess, TransactionLostWithItsConnectionIsNotContinued) {
    ASSERT_EQ(BeginTransaction(h_), 1);
    ASSERT_EQ(Insert(h_, {"ID"}, {"1"}), 1);
    KillSession(SessionId(h_));
    const auto lines = StderrLines([&] {
        // Continuing on a new connection would commit the rest without the first row.
        EXPECT_NE(Insert(h_, {"ID"}, {"2"}), 1);
        EXPECT_EQ(EndTransaction(h_, 1), 0);
    });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find("rolled back"), std::string::npos) << lines[1];

    StderrLines([&] { ASSERT_EQ(Insert(h_, {"ID"}, {"3"}), 1); });
    EXPECT_EQ(CountRows(h_), 1);
    EXPECT_EQ(CountRows(h_, "ID = 3"), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, DataAccess, testing::Values(Backend::Firebird, Backend::MariaDb),
                         BackendName);

}  // namespace
}  // namespace datest

namespace datest {
namespace {

// The settings database as the build makes it, used the way its callers use it.
TEST(SettingsDatabase, ServesTheCallsOfItsUsers) {
    testsupport::TempDir dir;
    const std::string path = dir.File("QUILLON.GDB");
    ASSERT_TRUE(testsupport::CreateSettingsDatabase(path));
    const int32_t h = ConnectDB(path.c_str(), "SYSDBA", "plumtrees", nullptr, 1);
    ASSERT_GE(h, 0);

    char* months = GetSettingValue(h, "EVENTLOG_RECORDS_EXPIRY_MONTHS", 1);
    EXPECT_STREQ(months, "3");
    std::free(months);

    const char* names[] = {"EVENT", "MODULE", "EVENT_TYPE", "USER_ID", "COMPUTER"};
    const char* values[] = {"User 'admin' logged in", "Quillon", "1", "admin", "host-1"};
    for (int i = 0; i < 3; ++i) ASSERT_EQ(InsertRecord(h, "EVENTLOG", names, 5, values, 5, 1), 1);
    {
        DataSetGuard ds;
        ASSERT_EQ(QueryRecords(h, "SELECT MIN(ID) FROM EVENTLOG", &ds.set, 1), 1);
        int64_t lowest = 0;
        EXPECT_EQ(ds.set->FieldAsInteger("MIN", &lowest), 1);
        EXPECT_EQ(DeleteRecords(h, "EVENTLOG", ("ID < " + std::to_string(lowest + 2)).c_str(), 1), 2);
    }
    {
        DataSetGuard ds;
        ASSERT_EQ(QueryRecords(h, "SELECT * FROM EVENTLOG", &ds.set, 1), 1);
        const char* event = nullptr;
        double created = 0;
        EXPECT_EQ(ds.set->FieldAsText("EVENT", &event), 1);
        EXPECT_STREQ(event, "User 'admin' logged in");
        EXPECT_EQ(ds.set->FieldAsDateTime("DATE_TIME_CREATED", &created), 1);
        EXPECT_GT(created, 45000.0);  // filled in by the database: today
    }
    EXPECT_EQ(QueryIfRecordExists(h, "SELECT * FROM USERS WHERE USER_ID='admin' AND USER_PASSWORD='1DC92D5852'", 1), 1);
    {
        DataSetGuard ds;
        EXPECT_EQ(QueryRecords(h, "SELECT FIRST 1 CREATED FROM LOG_SCANNED_FILE WHERE FILE_LOCATION = '/in' "
                                  "ORDER BY CREATED DESC", &ds.set, 1), 0);
    }
    EXPECT_EQ(DisconnectDB(h, 1), 1);
}

}  // namespace
}  // namespace datest
