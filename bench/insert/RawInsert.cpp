#include "RawInsert.h"

#include <ibase.h>
#include <mysql.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace benchinsert {
namespace {

std::string FirebirdError(const ISC_STATUS* status) {
    std::string out;
    const ISC_STATUS* p = status;
    char buf[512];
    while (fb_interpret(buf, sizeof buf, &p) > 0) {
        if (!out.empty()) out += "; ";
        out += buf;
    }
    return out;
}

bool Failed(const ISC_STATUS* s) { return s[0] == 1 && s[1] != 0; }

const char kTpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                     isc_tpb_wait};

std::string InsertSql(const std::string& table) {
    return "INSERT INTO " + table + " (DEVICE, MEASURED_AT, CHANNEL, READING, UNIT) VALUES (?, ?, ?, ?, ?)";
}

class FirebirdInserter final : public Inserter {
public:
    bool Open(const std::string& path, const std::string& table) {
        const char dpb[] = {isc_dpb_version1, isc_dpb_user_name, 6, 'S', 'Y', 'S', 'D', 'B', 'A',
                            isc_dpb_lc_ctype, 4, 'N', 'O', 'N', 'E'};
        in_.reset(static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(5))));
        in_->version = SQLDA_VERSION1;
        in_->sqln = 5;
        isc_attach_database(status_, 0, path.c_str(), &db_, sizeof dpb, dpb);
        if (!Failed(status_)) isc_dsql_allocate_statement(status_, &db_, &stmt_);
        if (!Failed(status_)) isc_start_transaction(status_, &tr_, 1, &db_, sizeof kTpb, kTpb);
        if (!Failed(status_)) isc_dsql_prepare(status_, &tr_, &stmt_, 0, InsertSql(table).c_str(), 3, nullptr);
        if (!Failed(status_)) isc_dsql_describe_bind(status_, &stmt_, 1, in_.get());
        if (!Failed(status_)) isc_commit_transaction(status_, &tr_);
        return !Failed(status_);
    }
    ~FirebirdInserter() override {
        ISC_STATUS_ARRAY ignored;
        if (tr_ != 0) isc_rollback_transaction(ignored, &tr_);
        if (stmt_ != 0) isc_dsql_free_statement(ignored, &stmt_, DSQL_drop);
        if (db_ != 0) isc_detach_database(ignored, &db_);
    }
    bool Insert(const DemoRow& row) override {
        isc_start_transaction(status_, &tr_, 1, &db_, sizeof kTpb, kTpb);
        if (Failed(status_)) return false;
        for (int i = 0; i < 5; ++i) {
            XSQLVAR& v = in_->sqlvar[i];
            const std::string& value = row[static_cast<std::size_t>(i)];
            v.sqltype = SQL_TEXT | 1;
            v.sqlsubtype = 0;
            v.sqlscale = 0;
            v.sqllen = static_cast<short>(value.size());
            v.sqldata = const_cast<char*>(value.data());
            v.sqlind = &nulls_[i];
        }
        isc_dsql_execute(status_, &tr_, &stmt_, 1, in_.get());
        if (Failed(status_)) return false;
        isc_commit_transaction(status_, &tr_);
        return !Failed(status_);
    }
    std::string Error() const override { return FirebirdError(status_); }

private:
    ISC_STATUS_ARRAY status_ = {};
    isc_db_handle db_ = 0;
    isc_stmt_handle stmt_ = 0;
    isc_tr_handle tr_ = 0;
    std::unique_ptr<XSQLDA, decltype(&std::free)> in_{nullptr, &std::free};
    short nulls_[5] = {};
};

class MariaDbInserter final : public Inserter {
public:
    bool Open(const MariaDbServer& s, const std::string& table) {
        mysql_ = mysql_init(nullptr);
        if (!Connect(s, mysql_)) return false;
        stmt_ = mysql_stmt_init(mysql_);
        const std::string sql = InsertSql(table);
        return mysql_stmt_prepare(stmt_, sql.data(), sql.size()) == 0;
    }
    ~MariaDbInserter() override {
        if (stmt_ != nullptr) mysql_stmt_close(stmt_);
        mysql_close(mysql_);
    }
    // Autocommit: every execute is committed by the server.
    bool Insert(const DemoRow& row) override {
        std::memset(binds_, 0, sizeof binds_);
        for (int i = 0; i < 5; ++i) {
            const std::string& v = row[static_cast<std::size_t>(i)];
            lengths_[i] = v.size();
            binds_[i].buffer_type = MYSQL_TYPE_STRING;
            binds_[i].buffer = const_cast<char*>(v.data());
            binds_[i].buffer_length = v.size();
            binds_[i].length = &lengths_[i];
        }
        return mysql_stmt_bind_param(stmt_, binds_) == 0 && mysql_stmt_execute(stmt_) == 0;
    }
    std::string Error() const override {
        return stmt_ != nullptr ? mysql_stmt_error(stmt_) : mysql_error(mysql_);
    }

    static bool Connect(const MariaDbServer& s, MYSQL* m) {
        const unsigned int tcp = MYSQL_PROTOCOL_TCP;
        mysql_optionsv(m, MYSQL_OPT_PROTOCOL, &tcp);
        mysql_optionsv(m, MYSQL_SET_CHARSET_NAME, "latin1");
        return mysql_real_connect(m, s.host.c_str(), s.user.c_str(), s.password.c_str(),
                                  s.schema.c_str(), static_cast<unsigned>(s.port), nullptr, 0) != nullptr;
    }

private:
    MYSQL* mysql_ = nullptr;
    MYSQL_STMT* stmt_ = nullptr;
    MYSQL_BIND binds_[5];
    unsigned long lengths_[5] = {};
};

double RateOf(Inserter& inserter, const std::vector<DemoRow>& rows, std::string* error) {
    const auto start = std::chrono::steady_clock::now();
    for (const DemoRow& row : rows) {
        if (!inserter.Insert(row)) {
            *error = inserter.Error();
            return -1;
        }
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return static_cast<double>(rows.size()) / s;
}

}  // namespace

std::string CreateFirebirdDemoFile(const std::string& path, const std::string& table) {
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    const std::string create = "CREATE DATABASE '" + path +
                               "' USER 'SYSDBA' PASSWORD 'plumtrees' PAGE_SIZE 8192 DEFAULT CHARACTER SET NONE";
    isc_dsql_execute_immediate(status, &db, &tr, 0, create.c_str(), 3, nullptr);
    if (Failed(status)) return FirebirdError(status);
    std::string error;
    isc_start_transaction(status, &tr, 1, &db, sizeof kTpb, kTpb);
    if (!Failed(status)) {
        isc_dsql_execute_immediate(status, &db, &tr, 0, FirebirdDemoTableSql(table).c_str(), 3, nullptr);
        if (!Failed(status)) isc_commit_transaction(status, &tr);
    }
    if (Failed(status)) error = FirebirdError(status);
    ISC_STATUS_ARRAY ignored;
    if (tr != 0) isc_rollback_transaction(ignored, &tr);
    isc_detach_database(ignored, &db);
    return error;
}

std::unique_ptr<Inserter> OpenRawFirebird(const std::string& path, const std::string& table,
                                          std::string* error) {
    auto inserter = std::make_unique<FirebirdInserter>();
    if (!inserter->Open(path, table)) {
        *error = inserter->Error();
        return nullptr;
    }
    return inserter;
}

std::unique_ptr<Inserter> OpenRawMariaDb(const MariaDbServer& server, const std::string& table,
                                         std::string* error) {
    auto inserter = std::make_unique<MariaDbInserter>();
    if (!inserter->Open(server, table)) {
        *error = inserter->Error();
        return nullptr;
    }
    return inserter;
}

double RawFirebirdInsertRate(const std::string& path, const std::string& table,
                             const std::vector<DemoRow>& rows, std::string* error) {
    auto inserter = OpenRawFirebird(path, table, error);
    return inserter ? RateOf(*inserter, rows, error) : -1;
}

double RawMariaDbInsertRate(const MariaDbServer& server, const std::string& table,
                            const std::vector<DemoRow>& rows, std::string* error) {
    auto inserter = OpenRawMariaDb(server, table, error);
    return inserter ? RateOf(*inserter, rows, error) : -1;
}

std::string MariaDbStatement(const MariaDbServer& server, const std::string& sql) {
    MYSQL* m = mysql_init(nullptr);
    std::string error;
    if (!MariaDbInserter::Connect(server, m))
        error = mysql_error(m);
    else if (mysql_real_query(m, sql.data(), sql.size()) != 0)
        error = mysql_error(m);
    mysql_close(m);
    return error;
}

}  // namespace benchinsert
