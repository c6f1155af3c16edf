#include "FirebirdSession.h"

#include <cstdlib>
#include <cstring>

#include "CalendarTime.h"
#include "Diagnostics.h"
#include "NumberText.h"

namespace tvda {
namespace {

constexpr unsigned short kDialect = 3;
constexpr int64_t kMjdOf1899 = 15018;  // ISC dates count days from 1858-11-17
constexpr std::size_t kMaxTextParam = 32767;

// Read committed, seeing the latest committed version, waiting at most 30 s for a lock.
const char kWriteTpb[] = {isc_tpb_version3, isc_tpb_write,       isc_tpb_read_committed,
                          isc_tpb_rec_version, isc_tpb_wait,     isc_tpb_lock_timeout,
                          1,                30};

bool Failed(const ISC_STATUS* status) { return status[0] == 1 && status[1] != 0; }

// Codes that mean the attachment is gone: the server went away, the network broke or the
// attachment was shut down (e.g. killed through MON$ATTACHMENTS).
bool IsConnectionLost(ISC_STATUS code) {
    switch (code) {
    case isc_network_error:
    case isc_net_read_err:
    case isc_net_write_err:
    case isc_lost_db_connection:
    case isc_att_shutdown:
    case isc_shutdown:
    case isc_conn_lost:
        return true;
    default:
        return false;
    }
}

bool AnyCodeLost(const ISC_STATUS* s) {
    while (*s != isc_arg_end) {
        const ISC_STATUS type = *s++;
        if (type == isc_arg_warning) break;
        if (type == isc_arg_gds && IsConnectionLost(*s)) return true;
        s += type == isc_arg_cstring ? 2 : 1;
    }
    return false;
}

std::string StatusText(const ISC_STATUS* status) {
    std::string out;
    const ISC_STATUS* p = status;
    char buf[1024];
    while (fb_interpret(buf, sizeof buf, &p) > 0) {
        if (!out.empty()) out += "; ";
        out += buf;
    }
    return out.empty() ? std::string("unknown Firebird error") : out;
}

[[noreturn]] void Throw(const ISC_STATUS* status, bool mayHaveRun = false) {
    const bool lost = AnyCodeLost(status);
    throw DbError(StatusText(status), lost ? DbError::Kind::ConnectionLost : DbError::Kind::Failed,
                  lost && mayHaveRun);
}

void Check(const ISC_STATUS* status) {
    if (Failed(status)) Throw(status);
}

// A descriptor (XSQLDA) of `n` variables, malloc'ed as the client library expects.
class Descriptor {
public:
    explicit Descriptor(short n = 1) { Resize(n); }
    void Resize(short n) {
        da_.reset(static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(n < 1 ? 1 : n))));
        if (!da_) throw std::bad_alloc();
        da_->version = SQLDA_VERSION1;
        da_->sqln = n < 1 ? 1 : n;
    }
    XSQLDA* get() const { return da_.get(); }
    short count() const { return da_->sqld; }
    XSQLVAR& var(int i) const { return da_->sqlvar[i]; }

    // Gives every output variable a buffer and a null indicator. Types the dataset has no
    // reading for are asked for as text, which the server converts.
    void AllocateOutput() {
        std::size_t size = 0;
        std::vector<std::size_t> offsets;
        for (int i = 0; i < count(); ++i) {
            XSQLVAR& v = var(i);
            switch (v.sqltype & ~1) {
            case SQL_TEXT: case SQL_VARYING: case SQL_SHORT: case SQL_LONG: case SQL_INT64:
            case SQL_FLOAT: case SQL_DOUBLE: case SQL_TIMESTAMP: case SQL_TYPE_DATE:
            case SQL_TYPE_TIME: case SQL_BLOB: case SQL_ARRAY: case SQL_BOOLEAN: case SQL_NULL:
                break;
            case SQL_D_FLOAT:
                v.sqltype = SQL_DOUBLE;
                v.sqllen = sizeof(double);
                break;
            default:
                v.sqltype = SQL_VARYING;
                v.sqllen = 256;
                v.sqlsubtype = 0;
                v.sqlscale = 0;
                break;
            }
            v.sqltype |= 1;  // always report nulls through sqlind
            std::size_t bytes = static_cast<std::size_t>(v.sqllen);
            if ((v.sqltype & ~1) == SQL_VARYING) bytes += 2;
            size = (size + 7) & ~std::size_t(7);
            offsets.push_back(size);
            size += bytes < 1 ? 1 : bytes;
        }
        data_.reset(new char[size + 8]);
        indicators_.assign(static_cast<std::size_t>(count()), 0);
        for (int i = 0; i < count(); ++i) {
            var(i).sqldata = data_.get() + offsets[static_cast<std::size_t>(i)];
            var(i).sqlind = &indicators_[static_cast<std::size_t>(i)];
        }
    }

private:
    struct FreeDa {
        void operator()(XSQLDA* p) const { std::free(p); }
    };
    std::unique_ptr<XSQLDA, FreeDa> da_;
    std::unique_ptr<char[]> data_;
    std::vector<short> indicators_;
};

// A transaction of one statement when no user transaction is open; rolled back unless
// committed.
class StatementTransaction {
public:
    StatementTransaction(isc_db_handle* db, isc_tr_handle* userTr) : tr_(userTr) {
        if (*userTr != 0) return;
        tr_ = &own_;
        ISC_STATUS_ARRAY status;
        isc_start_transaction(status, &own_, 1, db, static_cast<unsigned short>(sizeof kWriteTpb),
                              kWriteTpb);
        Check(status);
    }
    ~StatementTransaction() {
        if (own_ != 0) {
            ISC_STATUS_ARRAY status;
            isc_rollback_transaction(status, &own_);
        }
    }
    StatementTransaction(const StatementTransaction&) = delete;
    StatementTransaction& operator=(const StatementTransaction&) = delete;

    isc_tr_handle* handle() { return tr_; }
    // Commits a transaction of our own. A connection lost here may have committed.
    void Commit() {
        if (own_ == 0) return;
        ISC_STATUS_ARRAY status;
        isc_commit_transaction(status, &own_);
        if (Failed(status)) Throw(status, /*mayHaveRun=*/true);
    }

private:
    isc_tr_handle own_ = 0;
    isc_tr_handle* tr_;
};

int StatementType(isc_stmt_handle* stmt) {
    const char items[] = {isc_info_sql_stmt_type};
    char buf[16];
    ISC_STATUS_ARRAY status;
    isc_dsql_sql_info(status, stmt, sizeof items, items, sizeof buf, buf);
    Check(status);
    if (buf[0] != isc_info_sql_stmt_type) return 0;
    const short len = static_cast<short>(isc_vax_integer(buf + 1, 2));
    return static_cast<int>(isc_vax_integer(buf + 3, len));
}

// Rows inserted, updated and deleted by the statement's last execution.
int64_t RowsAffected(isc_stmt_handle* stmt) {
    const char items[] = {isc_info_sql_records};
    char buf[64];
    ISC_STATUS_ARRAY status;
    isc_dsql_sql_info(status, stmt, sizeof items, items, sizeof buf, buf);
    Check(status);
    if (buf[0] != isc_info_sql_records) return 0;
    int64_t total = 0;
    const char* p = buf + 3;
    const char* end = buf + sizeof buf;
    while (p < end && *p != isc_info_end) {
        const char item = *p++;
        const short len = static_cast<short>(isc_vax_integer(p, 2));
        p += 2;
        const ISC_LONG value = isc_vax_integer(p, len);
        p += len;
        if (item == isc_info_req_insert_count || item == isc_info_req_update_count ||
            item == isc_info_req_delete_count)
            total += value;
    }
    return total;
}

std::string ReadBlob(isc_db_handle* db, isc_tr_handle* tr, ISC_QUAD id) {
    isc_blob_handle blob = 0;
    ISC_STATUS_ARRAY status;
    isc_open_blob2(status, db, tr, &blob, &id, 0, nullptr);
    Check(status);
    std::string out;
    char buf[32768];
    for (;;) {
        unsigned short got = 0;
        const ISC_STATUS rc = isc_get_segment(status, &blob, &got, sizeof buf, buf);
        if (rc != 0 && rc != isc_segment) {
            if (rc == isc_segstr_eof) break;
            ISC_STATUS_ARRAY ignored;
            const std::string text = StatusText(status);
            const bool lost = AnyCodeLost(status);
            isc_close_blob(ignored, &blob);
            throw DbError(text, lost ? DbError::Kind::ConnectionLost : DbError::Kind::Failed);
        }
        out.append(buf, got);
    }
    isc_close_blob(status, &blob);
    Check(status);
    return out;
}

ISC_QUAD WriteBlob(isc_db_handle* db, isc_tr_handle* tr, std::string_view text) {
    isc_blob_handle blob = 0;
    ISC_QUAD id{};
    ISC_STATUS_ARRAY status;
    isc_create_blob2(status, db, tr, &blob, &id, 0, nullptr);
    Check(status);
    while (!text.empty()) {
        const auto n = static_cast<unsigned short>(text.size() < 32768 ? text.size() : 32768);
        isc_put_segment(status, &blob, n, text.data());
        if (Failed(status)) {
            ISC_STATUS_ARRAY ignored;
            const std::string message = StatusText(status);
            const bool lost = AnyCodeLost(status);
            isc_cancel_blob(ignored, &blob);
            throw DbError(message, lost ? DbError::Kind::ConnectionLost : DbError::Kind::Failed);
        }
        text.remove_prefix(n);
    }
    isc_close_blob(status, &blob);
    Check(status);
    return id;
}

template <typename T>
T Load(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

Cell ReadCell(const XSQLVAR& v, isc_db_handle* db, isc_tr_handle* tr) {
    if (v.sqlind != nullptr && *v.sqlind < 0) return Cell::Null();
    const char* p = v.sqldata;
    switch (v.sqltype & ~1) {
    case SQL_TEXT: {
        std::string s(p, static_cast<std::size_t>(v.sqllen));
        // CHAR pads with blanks; give the value as stored, as MariaDB does. Octets stay whole.
        if ((v.sqlsubtype & 0xff) != 1) s.erase(s.find_last_not_of(' ') + 1);
        return Cell::Text(std::move(s));
    }
    case SQL_VARYING:
        return Cell::Text(std::string(p + 2, static_cast<std::size_t>(Load<short>(p))));
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        const int type = v.sqltype & ~1;
        const int64_t value = type == SQL_SHORT  ? Load<short>(p)
                              : type == SQL_LONG ? Load<ISC_LONG>(p)
                                                 : Load<ISC_INT64>(p);
        return v.sqlscale == 0 ? Cell::Integer(value) : Cell::Decimal(FormatScaled(value, v.sqlscale));
    }
    case SQL_FLOAT: {
        const float f = Load<float>(p);
        return Cell::Float(f, FormatFloat(f));
    }
    case SQL_DOUBLE: {
        const double d = Load<double>(p);
        return Cell::Float(d, FormatDouble(d));
    }
    case SQL_TIMESTAMP: {
        const auto ts = Load<ISC_TIMESTAMP>(p);
        CalendarTime t;
        const int64_t days = static_cast<int64_t>(ts.timestamp_date) - kMjdOf1899;
        CivilFromDays1899(days, t.year, t.month, t.day);
        t.micros = static_cast<int64_t>(ts.timestamp_time) * 100;
        return Cell::DateTime(DateTimeNumber(days, t.micros), FormatTimestamp(t));
    }
    case SQL_TYPE_DATE: {
        const int64_t days = static_cast<int64_t>(Load<ISC_DATE>(p)) - kMjdOf1899;
        int y, m, d;
        CivilFromDays1899(days, y, m, d);
        return Cell::DateTime(static_cast<double>(days), FormatDate(y, m, d));
    }
    case SQL_TYPE_TIME: {
        const int64_t micros = static_cast<int64_t>(Load<ISC_TIME>(p)) * 100;
        return Cell::DateTime(DateTimeNumber(0, micros), FormatTimeOfDay(micros));
    }
    case SQL_BOOLEAN:
        return Cell::Boolean(Load<unsigned char>(p) != 0);
    case SQL_BLOB:
        return Cell::Text(ReadBlob(db, tr, Load<ISC_QUAD>(p)));
    case SQL_NULL:
        return Cell::Null();
    default:
        throw DbError("column " + Quoted(std::string_view(v.aliasname, static_cast<std::size_t>(v.aliasname_length))) +
                      " is an array, which cannot be read");
    }
}

std::string ColumnName(const XSQLVAR& v) {
    if (v.aliasname_length > 0) return std::string(v.aliasname, static_cast<std::size_t>(v.aliasname_length));
    return std::string(v.sqlname, static_cast<std::size_t>(v.sqlname_length));
}

bool IsQueryType(int type) {
    return type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
}

}  // namespace

struct FirebirdSession::Statement {
    isc_stmt_handle handle = 0;
    int type = 0;
    Descriptor in, out;
    std::vector<short> inTypes;  // as described, before binding overwrites them

    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() {
        if (handle != 0) {
            ISC_STATUS_ARRAY status;
            isc_dsql_free_statement(status, &handle, DSQL_drop);
        }
    }
};

std::unique_ptr<FirebirdSession> FirebirdSession::Attach(const std::string& database,
                                                         const std::string& user,
                                                         const std::string& password, bool remote) {
    if (user.size() > 255 || password.size() > 255) throw DbError("user name or password too long");
    std::string dpb(1, static_cast<char>(isc_dpb_version1));
    auto add = [&dpb](char tag, std::string_view value) {
        dpb += tag;
        dpb += static_cast<char>(value.size());
        dpb.append(value);
    };
    auto addNumber = [&dpb](char tag, uint32_t value) {
        dpb += tag;
        dpb += static_cast<char>(4);
        for (int i = 0; i < 4; ++i) dpb += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    if (!user.empty()) add(isc_dpb_user_name, user);
    if (!password.empty()) add(isc_dpb_password, password);
    add(isc_dpb_lc_ctype, "NONE");
    addNumber(isc_dpb_sql_dialect, kDialect);
    if (remote) addNumber(isc_dpb_connect_timeout, 10);

    std::unique_ptr<FirebirdSession> session(new FirebirdSession);
    ISC_STATUS_ARRAY status;
    isc_attach_database(status, 0, database.c_str(), &session->db_,
                        static_cast<short>(dpb.size()), dpb.data());
    if (Failed(status)) {
        session->db_ = 0;
        Throw(status);
    }
    return session;
}

FirebirdSession::~FirebirdSession() {
    cache_.Clear();
    ISC_STATUS_ARRAY status;
    if (userTr_ != 0) isc_rollback_transaction(status, &userTr_);
    if (db_ != 0) isc_detach_database(status, &db_);
}

std::unique_ptr<FirebirdSession::Statement> FirebirdSession::Prepare(isc_tr_handle* tr,
                                                                     const std::string& sql) {
    auto st = std::make_unique<Statement>();
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, &db_, &st->handle);
    Check(status);
    isc_dsql_prepare(status, tr, &st->handle, 0, sql.c_str(), kDialect, st->out.get());
    Check(status);
    if (st->out.get()->sqld > st->out.get()->sqln) {
        st->out.Resize(st->out.get()->sqld);
        isc_dsql_describe(status, &st->handle, 1, st->out.get());
        Check(status);
    }
    isc_dsql_describe_bind(status, &st->handle, 1, st->in.get());
    Check(status);
    if (st->in.get()->sqld > st->in.get()->sqln) {
        st->in.Resize(st->in.get()->sqld);
        isc_dsql_describe_bind(status, &st->handle, 1, st->in.get());
        Check(status);
    }
    for (int i = 0; i < st->in.count(); ++i)
        st->inTypes.push_back(static_cast<short>(st->in.var(i).sqltype & ~1));
    st->type = StatementType(&st->handle);
    return st;
}

template <typename ColumnsFn, typename RowFn>
void FirebirdSession::ForEachRow(const std::string& sql, ColumnsFn&& columns, RowFn&& row) {
    StatementTransaction tr(&db_, &userTr_);
    auto st = Prepare(tr.handle(), sql);
    const bool procedure = st->type == isc_info_sql_stmt_exec_procedure && st->out.count() > 0;
    if (!IsQueryType(st->type) && !procedure)
        throw DbError("statement is not a query (nothing was run)");
    if (st->in.count() > 0)
        throw DbError("statement has parameter markers ('?') but no values are given");
    st->out.AllocateOutput();
    columns(st->out);
    ISC_STATUS_ARRAY status;
    if (procedure) {
        isc_dsql_execute2(status, tr.handle(), &st->handle, 1, nullptr, st->out.get());
        Check(status);
        row(st->out, tr.handle());
    } else {
        isc_dsql_execute(status, tr.handle(), &st->handle, 1, nullptr);
        Check(status);
        for (;;) {
            const ISC_STATUS rc = isc_dsql_fetch(status, &st->handle, 1, st->out.get());
            if (rc == 100) break;
            if (rc != 0) Throw(status);
            row(st->out, tr.handle());
        }
    }
    st.reset();
    tr.Commit();
}

ResultSetPtr FirebirdSession::Query(const std::string& sql) {
    ResultSetPtr result;
    ForEachRow(
        sql,
        [&](const Descriptor& out) {
            std::vector<std::string> names;
            for (int i = 0; i < out.count(); ++i) names.push_back(ColumnName(out.var(i)));
            result.reset(new ResultSet(std::move(names)));
        },
        [&](const Descriptor& out, isc_tr_handle* tr) {
            std::vector<Cell> cells;
            cells.reserve(static_cast<std::size_t>(out.count()));
            for (int i = 0; i < out.count(); ++i) cells.push_back(ReadCell(out.var(i), &db_, tr));
            result->AddRow(std::move(cells));
        });
    return result;
}

int64_t FirebirdSession::CountRows(const std::string& sql) {
    int64_t rows = 0;
    ForEachRow(
        sql, [](const Descriptor&) {}, [&rows](const Descriptor&, isc_tr_handle*) { ++rows; });
    return rows;
}

int64_t FirebirdSession::Execute(const std::string& sql, const std::vector<Param>& params,
                                 bool keepPrepared, bool countRows) {
    StatementTransaction tr(&db_, &userTr_);
    std::unique_ptr<Statement> once;
    Statement* st = keepPrepared ? cache_.Find(sql) : nullptr;
    if (st == nullptr) {
        once = Prepare(tr.handle(), sql);
        st = once.get();
    }
    if (st->type == isc_info_sql_stmt_start_trans || st->type == isc_info_sql_stmt_commit ||
        st->type == isc_info_sql_stmt_rollback)
        throw DbError("transactions are controlled with BeginTransaction and EndTransaction");
    if (static_cast<std::size_t>(st->in.count()) != params.size())
        throw DbError("statement has " + std::to_string(st->in.count()) + " parameter markers but " +
                      std::to_string(params.size()) + " values are given");
    if (once && keepPrepared) st = cache_.Keep(sql, std::move(once));

    // Bind every value as text (NONE: bytes unchanged); blob columns get a blob.
    static char empty = 0;
    std::vector<short> nulls(params.size(), 0);
    std::vector<ISC_QUAD> blobs(params.size());
    for (std::size_t i = 0; i < params.size(); ++i) {
        XSQLVAR& v = st->in.var(static_cast<int>(i));
        v.sqlind = &nulls[i];
        v.sqlscale = 0;
        v.sqlsubtype = 0;
        const Param& p = params[i];
        if (!p) {
            nulls[i] = -1;
            v.sqltype = SQL_TEXT | 1;
            v.sqllen = 0;
            v.sqldata = &empty;
        } else if (st->inTypes[i] == SQL_BLOB) {
            blobs[i] = WriteBlob(&db_, tr.handle(), *p);
            v.sqltype = SQL_BLOB | 1;
            v.sqllen = sizeof(ISC_QUAD);
            v.sqldata = reinterpret_cast<char*>(&blobs[i]);
        } else {
            if (p->size() > kMaxTextParam)
                throw DbError("value " + std::to_string(i + 1) + " is too long (" +
                              std::to_string(p->size()) + " bytes; at most 32767 outside blob columns)");
            v.sqltype = SQL_TEXT | 1;
            v.sqllen = static_cast<short>(p->size());
            v.sqldata = p->empty() ? &empty : const_cast<char*>(p->data());
        }
    }

    ISC_STATUS_ARRAY status;
    XSQLDA* in = params.empty() ? nullptr : st->in.get();
    if (IsQueryType(st->type)) {
        isc_dsql_execute(status, tr.handle(), &st->handle, 1, in);
        if (!Failed(status)) {
            ISC_STATUS_ARRAY ignored;
            isc_dsql_free_statement(ignored, &st->handle, DSQL_close);
        }
    } else if (st->out.count() > 0) {
        st->out.AllocateOutput();  // RETURNING / procedure outputs, not handed out
        isc_dsql_execute2(status, tr.handle(), &st->handle, 1, in, st->out.get());
    } else {
        isc_dsql_execute(status, tr.handle(), &st->handle, 1, in);
    }
    if (Failed(status)) {
        // A failed statement is prepared afresh next time (the table may have changed).
        const bool lost = AnyCodeLost(status);
        const std::string text = StatusText(status);
        if (keepPrepared && !once) cache_.Drop(sql);
        throw DbError(text, lost ? DbError::Kind::ConnectionLost : DbError::Kind::Failed);
    }
    const int64_t rows = countRows ? RowsAffected(&st->handle) : 0;
    tr.Commit();
    return rows;
}

void FirebirdSession::Begin() {
    if (userTr_ != 0) throw DbError("a transaction is already open");
    ISC_STATUS_ARRAY status;
    isc_start_transaction(status, &userTr_, 1, &db_, static_cast<unsigned short>(sizeof kWriteTpb),
                          kWriteTpb);
    if (Failed(status)) {
        userTr_ = 0;
        Throw(status);
    }
}

void FirebirdSession::Commit() {
    if (userTr_ == 0) throw DbError("no transaction is open");
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &userTr_);
    if (Failed(status)) Throw(status, /*mayHaveRun=*/true);
}

void FirebirdSession::Rollback() {
    if (userTr_ == 0) throw DbError("no transaction is open");
    ISC_STATUS_ARRAY status;
    isc_rollback_transaction(status, &userTr_);
    if (Failed(status)) Throw(status);
}

std::string FirebirdSession::Identifier(std::string_view plainName) const {
    // Quoted in upper case: the same object as the unquoted name, and a reserved word
    // such as VALUE still works as a column name.
    std::string out = "\"";
    for (char c : plainName) out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    return out + '"';
}

std::string FirebirdSession::TextLiteral(std::string_view text) const {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + '\'';
}

std::string FirebirdSession::StoreSettingSql() const {
    return "UPDATE OR INSERT INTO APP_SETTING (SETTING_NAME, SETTING_VALUE) VALUES (?, ?) "
           "MATCHING (SETTING_NAME)";
}

}  // namespace tvda
