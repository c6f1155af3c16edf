// Every failure gives the entry's failure result and exactly one line on standard error
// that names the entry and the cause.
#include <functional>
#include <string>

#include "DataAccessFixture.h"

namespace datest {
namespace {

struct FailureCase {
    const char* what;
    std::function<bool()> failsAsPromised;  // runs the call, checks its failure result
    std::string cause;                      // expected in the diagnostic line
};

void ExpectOneDiagnostic(const FailureCase& c) {
    SCOPED_TRACE(c.what);
    bool ok = false;
    const auto lines = StderrLines([&] { ok = c.failsAsPromised(); });
    EXPECT_TRUE(ok) << "the call did not give its failure result";
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    ASSERT_EQ(lines.size(), 1u) << all;
    EXPECT_EQ(lines[0].rfind("tvDataAccess: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(c.cause), std::string::npos) << lines[0];
}

TEST(DataAccessFailure, WithoutADatabase) {
    testsupport::TempDir dir;
    const std::string missing = dir.File("missing.fdb");
    const std::string embeddedMissing = "EMBEDDED:" + dir.File("none.gdb");
    const std::vector<FailureCase> cases = {
        {"unknown handle", [] { return QueryIfRecordExists(424242, "SELECT 1", 1) == -1; },
         "QueryIfRecordExists(424242, \"SELECT 1\"): unknown connection handle 424242"},
        {"negative handle", [] { return DisconnectDB(-1, 1) == 0; }, "unknown connection handle -1"},
        {"missing file",
         [&] { return ConnectDB(missing.c_str(), "SYSDBA", "plumtrees", nullptr, 1) < 0; },
         "ConnectDB(\"" + missing + "\"): Firebird in-process: I/O error"},
        {"missing file through embedded",
         [&] { return ConnectDB(embeddedMissing.c_str(), "SYSDBA", "x", nullptr, 1) < 0; },
         "none.gdb"},
        {"unreachable Firebird server",
         [] { return ConnectDB("127.0.0.1/1:/srv/repo.fdb", "SYSDBA", "x", nullptr, 1) < 0; },
         "Firebird server: Unable to complete network request"},
        {"unreachable MariaDB server",
         [] { return ConnectDB("127.0.0.1/1:repo", "u", "p", nullptr, 1) < 0; },
         "MariaDB server 127.0.0.1/1: MariaDB error 2002"},
        {"unusable database text", [] { return ConnectDB("host/port:repo", "u", "p", nullptr, 1) < 0; },
         "bad port \"port\""},
        {"no database", [] { return ConnectDB(nullptr, "u", "p", nullptr, 1) < 0; }, "no database given"},
    };
    for (const auto& c : cases) ExpectOneDiagnostic(c);
}

TEST(DataAccessFailure, WrongMariaDbCredentials) {
    const auto t = testsupport::TestMySql();
    if (!t) GTEST_SKIP() << "QUILLON_TEST_MYSQL is not set (./test.sh starts a server)";
    ExpectOneDiagnostic({"wrong password",
                         [&] { return ConnectDB(t->database.c_str(), t->user.c_str(), "wrong", nullptr, 1) < 0; },
                         "Access denied"});
}

class DataAccessFailures : public DataAccess {};

TEST_P(DataAccessFailures, OnAnOpenConnection) {
    const int32_t h = h_;
    const char* names[] = {"ID", "NAME"};
    const char* values[] = {"1", "a"};
    const char* badName[] = {"ID", "NAME) VALUES (1, 2); --"};
    const int32_t closed = Connect();
    ASSERT_EQ(DisconnectDB(closed, 1), 1);
    TvDataSet* ds = reinterpret_cast<TvDataSet*>(1);  // must come back null

    const std::vector<FailureCase> cases = {
        {"closed handle", [&] { return InsertRecord(closed, "SAMPLE", names, 2, values, 2, 1) == 0; },
         "InsertRecord(" + std::to_string(closed) + ", \"SAMPLE\"): connection handle " +
             std::to_string(closed) + " is closed"},
        {"closed handle twice", [&] { return DisconnectDB(closed, 1) == 0; }, "is closed"},
        {"bad SQL",
         [&] { return QueryRecords(h, "SELEKT * FROM SAMPLE", &ds, 1) == -1 && ds == nullptr; },
         Sql("Token unknown", "error in your SQL syntax")},
        {"bad statement", [&] { return UpdateRecords(h, "UPDATE SAMPLE SET", 1) == -1; },
         Sql("Unexpected end of command", "error in your SQL syntax")},
        {"missing table", [&] { return InsertRecord(h, "NO_SUCH", names, 2, values, 2, 1) == 0; },
         Sql("Table unknown", "doesn't exist")},
        {"missing table to delete from", [&] { return DeleteRecords(h, "NO_SUCH", "ID = ID", 1) == -1; },
         Sql("Table unknown", "doesn't exist")},
        {"missing column", [&] { return QueryIfRecordExists(h, "SELECT NOPE FROM SAMPLE", 1) == -1; },
         Sql("Column unknown", "Unknown column")},
        {"unequal name and value arrays",
         [&] { return InsertRecord(h, "SAMPLE", names, 2, values, 1, 1) == 0; },
         "unequal name and value arrays (2 names, 1 values)"},
        {"table name that is no identifier",
         [&] { return InsertRecord(h, "SAMPLE; DROP TABLE SAMPLE", names, 2, values, 2, 1) == 0; },
         "refused table name"},
        {"column name that is no identifier",
         [&] { return InsertRecord(h, "SAMPLE", badName, 2, values, 2, 1) == 0; }, "refused column name"},
        {"value that does not convert",
         [&] {
             const char* v[] = {"not a number", "a"};
             return InsertRecord(h, "SAMPLE", names, 2, v, 2, 1) == 0;
         },
         Sql("conversion error", "Incorrect integer value")},
        {"not a query", [&] { return QueryRecords(h, "DELETE FROM SAMPLE", &ds, 1) == -1; },
         "not a query"},
        {"empty condition", [&] { return DeleteRecords(h, "SAMPLE", "", 1) == -1; }, "no condition given"},
        {"settings without their table",
         [&] {
             UpdateRecords(h, "DROP TABLE APP_SETTING", 1);
             return SetSettingValue(h, "A", "1", 1) == 0;
         },
         Sql("Table unknown", "doesn't exist")},
    };
    for (const auto& c : cases) ExpectOneDiagnostic(c);
    // The connection is still usable after all of that.
    EXPECT_EQ(InsertRecord(h, "SAMPLE", names, 2, values, 2, 1), 1);
    EXPECT_EQ(QueryIfRecordExists(h, "SELECT * FROM SAMPLE", 1), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, DataAccessFailures,
                         testing::Values(Backend::Firebird, Backend::MariaDb), BackendName);

}  // namespace
}  // namespace datest
