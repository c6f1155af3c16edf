#include "DataAccessFixture.h"

#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

namespace datest {
namespace {

// SAMPLE has one column per kind of value the datasets read; NAME_U stores texts in
// another character set than the connection's.
const char* kFirebirdSchema =
    "CREATE TABLE SAMPLE (ID INTEGER, NAME VARCHAR(10000), NAME_U VARCHAR(300) CHARACTER SET "
    "ISO8859_1, AMOUNT NUMERIC(10,2), RATIO DOUBLE PRECISION, CREATED TIMESTAMP, DAY_ONLY DATE, "
    "NOTE BLOB SUB_TYPE TEXT, CODE CHAR(8));\n"
    "CREATE TABLE APP_SETTING (SETTING_NAME VARCHAR(255) NOT NULL PRIMARY KEY, SETTING_VALUE "
    "VARCHAR(4000));\n";
const char* kMariaDbSchema[] = {
    "CREATE TABLE SAMPLE (ID INTEGER, NAME VARCHAR(10000), NAME_U VARCHAR(300) CHARACTER SET "
    "utf8mb4, AMOUNT DECIMAL(10,2), RATIO DOUBLE, CREATED DATETIME(3), DAY_ONLY DATE, NOTE "
    "MEDIUMTEXT, CODE CHAR(8)) ENGINE=InnoDB DEFAULT CHARSET=latin1",
    "CREATE TABLE APP_SETTING (SETTING_NAME VARCHAR(255) NOT NULL PRIMARY KEY, SETTING_VALUE "
    "VARCHAR(4000)) ENGINE=InnoDB DEFAULT CHARSET=latin1",
};

// MariaDB tests work in a schema of their own process, so that APP_SETTING and SAMPLE
// never meet another test's tables.
std::string PrivateSchema() { return "quillon_da_" + std::to_string(::getpid()); }

int32_t AdminConnection(const testsupport::MySqlTarget& t) {
    const int32_t h = ConnectDB(t.database.c_str(), t.user.c_str(), t.password.c_str(), nullptr, 1);
    EXPECT_GE(h, 0) << "test MariaDB server at " << t.database;
    return h;
}

bool schemaCreated = false;

}  // namespace

std::string BackendName(const testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Firebird ? "Firebird" : "MariaDb";
}

void DataAccess::TearDownTestSuite() {
    const auto t = testsupport::TestMySql();
    if (!t || !schemaCreated) return;
    const int32_t admin = AdminConnection(*t);
    UpdateRecords(admin, ("DROP DATABASE IF EXISTS " + PrivateSchema()).c_str(), 1);
    DisconnectDB(admin, 1);
    schemaCreated = false;
}

void DataAccess::SetUp() {
    if (IsFirebird()) {
        database_ = dir_.File("sample.fdb");
        user_ = "SYSDBA";
        password_ = "plumtrees";
        ASSERT_TRUE(testsupport::CreateFirebirdDatabase(database_, kFirebirdSchema));
    } else {
        const auto t = testsupport::TestMySql();
        if (!t) GTEST_SKIP() << "QUILLON_TEST_MYSQL is not set (./test.sh starts a server)";
        const int32_t admin = AdminConnection(*t);
        ASSERT_GE(admin, 0);
        const std::string schema = PrivateSchema();
        ASSERT_GE(UpdateRecords(admin, ("CREATE DATABASE IF NOT EXISTS " + schema).c_str(), 1), 0);
        schemaCreated = true;
        DisconnectDB(admin, 1);
        std::ostringstream db;
        db << t->host << '/' << t->port << ':' << schema;
        database_ = db.str();
        user_ = t->user;
        password_ = t->password;
        const int32_t h = Connect();
        ASSERT_GE(h, 0);
        for (const char* drop : {"DROP TABLE IF EXISTS SAMPLE", "DROP TABLE IF EXISTS APP_SETTING"})
            ASSERT_GE(UpdateRecords(h, drop, 1), 0);
        for (const char* create : kMariaDbSchema) ASSERT_GE(UpdateRecords(h, create, 1), 0);
        DisconnectDB(h, 1);
    }
    h_ = Connect();
    ASSERT_GE(h_, 0);
}

void DataAccess::TearDown() {
    if (h_ >= 0) DisconnectDB(h_, 1);
}

int32_t DataAccess::Connect() const {
    return ConnectDB(database_.c_str(), user_.c_str(), password_.c_str(), nullptr, 1);
}

int64_t DataAccess::CountRows(int32_t h, const std::string& where) const {
    const std::string sql = "SELECT COUNT(*) AS N FROM SAMPLE" + (where.empty() ? "" : " WHERE " + where);
    DataSetGuard ds;
    if (QueryRecords(h, sql.c_str(), &ds.set, 1) != 1) return -1;
    int64_t n = -1;
    ds.set->FieldAsInteger("N", &n);
    return n;
}

int64_t DataAccess::SessionId(int32_t h) const {
    DataSetGuard ds;
    const char* sql = Sql("SELECT CURRENT_CONNECTION AS ID FROM RDB$DATABASE", "SELECT CONNECTION_ID() AS ID");
    if (QueryRecords(h, sql, &ds.set, 1) != 1) return -1;
    int64_t id = -1;
    ds.set->FieldAsInteger("ID", &id);
    return id;
}

void DataAccess::KillSession(int64_t id) const {
    const int32_t killer = Connect();
    ASSERT_GE(killer, 0);
    const std::string ids = std::to_string(id);
    if (IsFirebird()) {
        ASSERT_EQ(UpdateRecords(killer, ("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = " + ids).c_str(), 1), 1);
    } else {
        ASSERT_EQ(UpdateRecords(killer, ("KILL " + ids).c_str(), 1), 0);
        // KILL returns before the killed session has closed its socket.
        const std::string alive = "SELECT ID FROM information_schema.PROCESSLIST WHERE ID = " + ids;
        for (int i = 0; i < 500 && QueryIfRecordExists(killer, alive.c_str(), 1) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_EQ(QueryIfRecordExists(killer, alive.c_str(), 1), 0);
    }
    DisconnectDB(killer, 1);
}

int32_t DataAccess::Insert(int32_t h, const std::vector<std::string>& names,
                           const std::vector<const char*>& values, const char* table) const {
    std::vector<const char*> n;
    for (const auto& s : names) n.push_back(s.c_str());
    return InsertRecord(h, table, n.data(), static_cast<int32_t>(n.size()), values.data(),
                        static_cast<int32_t>(values.size()), 1);
}

std::vector<std::string> StderrLines(const std::function<void()>& fn) {
    testing::internal::CaptureStderr();
    fn();
    const std::string out = testing::internal::GetCapturedStderr();
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace datest
