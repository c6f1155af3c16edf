#include "MariaDbSession.h"

#include <errmsg.h>
#include <mysql.h>
#include <mysqld_error.h>
#include <poll.h>
#include <sys/socket.h>

#include <cstring>
#include <mutex>

#include "CalendarTime.h"
#include "Diagnostics.h"
#include "NumberText.h"

namespace tvda {
namespace {

// The client library's global set-up is not thread-safe; run it once before any thread
// opens a connection.
void InitClientLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mysql_library_init(0, nullptr, nullptr); });
}

// Lost connections. "Gone away" and a kill reach us before the statement ran (a killed
// statement is rolled back); a connection lost while waiting for the answer may have
// applied it.
bool IsLost(unsigned code) {
    return code == CR_SERVER_GONE_ERROR || code == CR_SERVER_LOST ||
           code == CR_SERVER_LOST_EXTENDED || code == ER_CONNECTION_KILLED ||
           code == ER_SERVER_SHUTDOWN || code == CR_CONNECTION_ERROR || code == CR_CONN_HOST_ERROR;
}

bool MayHaveRun(unsigned code) { return code == CR_SERVER_LOST || code == CR_SERVER_LOST_EXTENDED; }

[[noreturn]] void Throw(unsigned code, const char* message, bool statementMayHaveRun) {
    const bool lost = IsLost(code);
    throw DbError("MariaDB error " + std::to_string(code) + ": " + message,
                  lost ? DbError::Kind::ConnectionLost : DbError::Kind::Failed,
                  lost && statementMayHaveRun && MayHaveRun(code));
}

// "hh:mm:ss[.ffffff]" with an optional sign and more than two hour digits (TIME spans
// -838..838 hours): the dataset's time text and its fraction of days.
Cell TimeCell(std::string_view text) {
    std::string_view s = text;
    const bool negative = !s.empty() && s.front() == '-';
    if (negative) s.remove_prefix(1);
    const auto colon = s.find(':');
    const auto hours = ParseInteger(s.substr(0, colon));
    if (!hours || colon == std::string_view::npos) return Cell::Text(std::string(text));
    const auto rest = ParseCalendarTime("00" + std::string(s.substr(colon)));
    if (!rest) return Cell::Text(std::string(text));
    const int64_t micros = *hours * 3'600'000'000LL + rest->micros;
    std::string out = FormatTimeOfDay(micros % kMicrosPerDay);
    // Hours beyond a day keep their count.
    out.replace(0, 2, (*hours < 10 ? "0" : "") + std::to_string(*hours));
    const double days = static_cast<double>(micros) / static_cast<double>(kMicrosPerDay);
    return Cell::DateTime(negative ? -days : days, negative ? "-" + out : out);
}

Cell ReadCell(const MYSQL_FIELD& field, const char* data, unsigned long length) {
    if (data == nullptr) return Cell::Null();
    const std::string_view text(data, length);
    switch (field.type) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_LONGLONG:
    case MYSQL_TYPE_YEAR:
        if (const auto v = ParseInteger(text)) return Cell::Integer(*v);
        return Cell::Decimal(std::string(text));  // unsigned beyond the signed range
    case MYSQL_TYPE_BIT: {
        int64_t v = 0;
        for (unsigned char c : text) v = (v << 8) | c;
        return Cell::Integer(v);
    }
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
        return Cell::Decimal(std::string(text));
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE: {
        const auto v = ParseNumber(text);
        if (!v) return Cell::Text(std::string(text));
        return field.type == MYSQL_TYPE_FLOAT
                   ? Cell::Float(*v, FormatFloat(static_cast<float>(*v)))
                   : Cell::Float(*v, FormatDouble(*v));
    }
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE:
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP: {
        // Zero dates ("0000-00-00") are no date: they stay text.
        const auto t = ParseCalendarTime(text);
        if (!t) return Cell::Text(std::string(text));
        const int64_t days = DaysSince1899(t->year, t->month, t->day);
        const bool dateOnly = field.type == MYSQL_TYPE_DATE || field.type == MYSQL_TYPE_NEWDATE;
        return Cell::DateTime(DateTimeNumber(days, t->micros),
                              dateOnly ? FormatDate(t->year, t->month, t->day) : FormatTimestamp(*t));
    }
    case MYSQL_TYPE_TIME:
        return TimeCell(text);
    default:
        return Cell::Text(std::string(text));
    }
}

// Frees a result set on every way out.
struct ResultGuard {
    MYSQL_RES* res;
    ~ResultGuard() {
        if (res != nullptr) mysql_free_result(res);
    }
};

}  // namespace

struct MariaDbSession::Statement {
    MYSQL_STMT* handle = nullptr;
    explicit Statement(MYSQL_STMT* h) : handle(h) {}
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() {
        if (handle != nullptr) mysql_stmt_close(handle);
    }
};

std::unique_ptr<MariaDbSession> MariaDbSession::Connect(const std::string& host, int port,
                                                        const std::string& schema,
                                                        const std::string& user,
                                                        const std::string& password) {
    InitClientLibrary();
    std::unique_ptr<MariaDbSession> session(new MariaDbSession);
    session->mysql_ = mysql_init(nullptr);
    if (session->mysql_ == nullptr) throw DbError("out of memory for a MariaDB connection");
    MYSQL* m = session->mysql_;
    const unsigned int timeout = 10;
    mysql_optionsv(m, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    mysql_optionsv(m, MYSQL_SET_CHARSET_NAME, "latin1");
    if (port != 0) {
        const unsigned int tcp = MYSQL_PROTOCOL_TCP;
        mysql_optionsv(m, MYSQL_OPT_PROTOCOL, &tcp);
    }
    if (mysql_real_connect(m, host.c_str(), user.c_str(), password.c_str(), schema.c_str(),
                           static_cast<unsigned>(port), nullptr, CLIENT_FOUND_ROWS) == nullptr)
        Throw(mysql_errno(m), mysql_error(m), false);
    return session;
}

MariaDbSession::~MariaDbSession() {
    cache_.Clear();  // statements before their connection
    if (mysql_ != nullptr) mysql_close(mysql_);
}

void MariaDbSession::Fail(bool mayHaveRun) const {
    Throw(mysql_errno(mysql_), mysql_error(mysql_), mayHaveRun);
}

void MariaDbSession::RunText(const std::string& sql, bool mayHaveRun) {
    if (mysql_real_query(mysql_, sql.data(), sql.size()) != 0) Fail(mayHaveRun);
}

ResultSetPtr MariaDbSession::Query(const std::string& sql) {
    RunText(sql, false);
    ResultGuard guard{mysql_store_result(mysql_)};
    if (guard.res == nullptr) {
        if (mysql_field_count(mysql_) != 0) Fail(false);
        throw DbError("statement is not a query (it was run; it returned no rows)");
    }
    const unsigned count = mysql_num_fields(guard.res);
    const MYSQL_FIELD* fields = mysql_fetch_fields(guard.res);
    std::vector<std::string> names;
    for (unsigned i = 0; i < count; ++i) names.emplace_back(fields[i].name, fields[i].name_length);
    ResultSetPtr result(new ResultSet(std::move(names)));
    while (MYSQL_ROW row = mysql_fetch_row(guard.res)) {
        const unsigned long* lengths = mysql_fetch_lengths(guard.res);
        std::vector<Cell> cells;
        cells.reserve(count);
        for (unsigned i = 0; i < count; ++i) cells.push_back(ReadCell(fields[i], row[i], lengths[i]));
        result->AddRow(std::move(cells));
    }
    return result;
}

int64_t MariaDbSession::CountRows(const std::string& sql) {
    RunText(sql, false);
    ResultGuard guard{mysql_store_result(mysql_)};
    if (guard.res == nullptr) {
        if (mysql_field_count(mysql_) != 0) Fail(false);
        throw DbError("statement is not a query (it was run; it returned no rows)");
    }
    return static_cast<int64_t>(mysql_num_rows(guard.res));
}

int64_t MariaDbSession::Execute(const std::string& sql, const std::vector<Param>& params,
                                bool keepPrepared, bool /*countRows: the count comes free*/) {
    if (params.empty() && !keepPrepared) {
        RunText(sql, true);
        // A statement that yields rows after all: drop them.
        if (MYSQL_RES* res = mysql_store_result(mysql_)) {
            mysql_free_result(res);
            return 0;
        }
        if (mysql_field_count(mysql_) != 0) Fail(false);
        return static_cast<int64_t>(mysql_affected_rows(mysql_));
    }

    std::unique_ptr<Statement> once;
    Statement* st = keepPrepared ? cache_.Find(sql) : nullptr;
    if (st == nullptr) {
        MYSQL_STMT* h = mysql_stmt_init(mysql_);
        if (h == nullptr) Fail(false);
        once = std::make_unique<Statement>(h);
        if (mysql_stmt_prepare(h, sql.data(), sql.size()) != 0)
            Throw(mysql_stmt_errno(h), mysql_stmt_error(h), false);
        st = once.get();
    }
    const unsigned long markers = mysql_stmt_param_count(st->handle);
    if (markers != params.size())
        throw DbError("statement has " + std::to_string(markers) + " parameter markers but " +
                      std::to_string(params.size()) + " values are given");
    if (once && keepPrepared) st = cache_.Keep(sql, std::move(once));

    std::vector<MYSQL_BIND> binds(params.size());
    std::vector<unsigned long> lengths(params.size());
    std::vector<my_bool> nulls(params.size());
    for (std::size_t i = 0; i < params.size(); ++i) {
        MYSQL_BIND& b = binds[i];
        std::memset(&b, 0, sizeof b);
        b.buffer_type = MYSQL_TYPE_STRING;
        nulls[i] = params[i] ? 0 : 1;
        lengths[i] = params[i] ? params[i]->size() : 0;
        b.buffer = params[i] ? const_cast<char*>(params[i]->data()) : nullptr;
        b.buffer_length = lengths[i];
        b.length = &lengths[i];
        b.is_null = &nulls[i];
    }
    if (!binds.empty() && mysql_stmt_bind_param(st->handle, binds.data()) != 0)
        Throw(mysql_stmt_errno(st->handle), mysql_stmt_error(st->handle), false);
    if (mysql_stmt_execute(st->handle) != 0) {
        const unsigned code = mysql_stmt_errno(st->handle);
        const std::string message = mysql_stmt_error(st->handle);
        if (keepPrepared && !once) cache_.Drop(sql);
        Throw(code, message.c_str(), true);
    }
    const auto rows = mysql_stmt_affected_rows(st->handle);
    if (mysql_stmt_field_count(st->handle) > 0) mysql_stmt_free_result(st->handle);
    return rows == static_cast<my_ulonglong>(-1) ? 0 : static_cast<int64_t>(rows);
}

void MariaDbSession::Begin() { RunText("START TRANSACTION", false); }

void MariaDbSession::Commit() {
    if (mysql_commit(mysql_) != 0) Fail(true);
}

void MariaDbSession::Rollback() {
    if (mysql_rollback(mysql_) != 0) Fail(false);
}

bool MariaDbSession::LooksAlive() {
    // Between statements the server sends nothing. Anything readable on the socket is
    // its end of the connection (EOF, or the error packet of a kill or a shutdown).
    const int fd = static_cast<int>(mysql_get_socket(mysql_));
    if (fd < 0) return false;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) return true;
    if ((p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return false;
    char byte;
    const ssize_t n = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n <= 0) return false;
    // Under TLS unsolicited records (session tickets) are normal: nothing can be told.
    return mysql_get_ssl_cipher(mysql_) != nullptr;
}

std::string MariaDbSession::Identifier(std::string_view plainName) const {
    return "`" + std::string(plainName) + "`";
}

std::string MariaDbSession::TextLiteral(std::string_view text) const {
    std::string out(text.size() * 2 + 1, '\0');
    const auto n = mysql_real_escape_string(mysql_, out.data(), text.data(),
                                            static_cast<unsigned long>(text.size()));
    out.resize(n);
    return "'" + out + "'";
}

std::string MariaDbSession::StoreSettingSql() const {
    return "INSERT INTO APP_SETTING (SETTING_NAME, SETTING_VALUE) VALUES (?, ?) "
           "ON DUPLICATE KEY UPDATE SETTING_VALUE = VALUES(SETTING_VALUE)";
}

}  // namespace tvda
