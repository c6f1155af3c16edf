#include "Connection.h"

#include "Diagnostics.h"
#include "FirebirdSession.h"
#include "Identifier.h"
#include "MariaDbSession.h"

namespace tvda {

std::unique_ptr<Connection> Connection::Open(const std::string& database, const std::string& user,
                                             const std::string& password) {
    std::unique_ptr<Connection> c(new Connection(ParseDatabaseTarget(database), database, user, password));
    c->session_ = c->OpenSession();
    return c;
}

Connection::Connection(DatabaseTarget target, std::string database, std::string user,
                       std::string password)
    : target_(std::move(target)),
      database_(std::move(database)),
      user_(std::move(user)),
      password_(std::move(password)) {}

Connection::~Connection() { Close(); }

std::string Connection::Describe() const {
    switch (target_.kind) {
    case DatabaseTarget::Kind::FirebirdLocal: return "Firebird in-process";
    case DatabaseTarget::Kind::FirebirdServer: return "Firebird server";
    case DatabaseTarget::Kind::MariaDb: break;
    }
    std::string server = "MariaDB server " + target_.host;
    if (target_.port != 0) server.append("/").append(std::to_string(target_.port));
    return server;
}

std::unique_ptr<Session> Connection::OpenSession() const {
    try {
        switch (target_.kind) {
        case DatabaseTarget::Kind::FirebirdLocal:
            return FirebirdSession::Attach(target_.database, user_, password_, false);
        case DatabaseTarget::Kind::FirebirdServer:
            return FirebirdSession::Attach(target_.database, user_, password_, true);
        case DatabaseTarget::Kind::MariaDb:
            return MariaDbSession::Connect(target_.host, target_.port, target_.database, user_, password_);
        }
    } catch (const DbError& e) {
        throw DbError(Describe() + ": " + e.what());
    }
    throw DbError("unknown database kind");
}

void Connection::Reopen(const std::string& why) {
    session_.reset();
    try {
        session_ = OpenSession();
    } catch (const DbError& e) {
        throw DbError("the connection was lost (" + why + ") and re-opening it failed: " + e.what());
    }
    Report("connection " + std::to_string(handle_) + " to " + Quoted(database_),
           "re-opened after the server dropped it (" + why + ")");
}

template <typename Fn>
auto Connection::Run(Repeat repeat, Fn&& fn) -> decltype(fn(std::declval<Session&>())) {
    if (closed_) throw DbError("the connection is closed");
    if (transaction_ == Transaction::Lost)
        throw DbError("the open transaction was rolled back when the connection was lost; "
                      "end it with EndTransaction first");
    if (!session_) {
        Reopen("an earlier statement found it gone");
    } else if (!session_->LooksAlive()) {
        if (transaction_ == Transaction::Open) {
            session_.reset();
            transaction_ = Transaction::Lost;
            throw DbError("the server dropped the connection; the open transaction was rolled back");
        }
        Reopen("found closed by the server");
    }
    try {
        return fn(*session_);
    } catch (const DbError& e) {
        if (!e.connectionLost()) throw;
        session_.reset();
        if (transaction_ == Transaction::Open) {
            transaction_ = Transaction::Lost;
            throw DbError(std::string(e.what()) +
                          " (the connection was lost; the open transaction was rolled back)");
        }
        if (repeat == Repeat::UnlessMaybeApplied && e.mayHaveRun())
            throw DbError(std::string(e.what()) +
                          " (the connection was lost while the statement ran; it may have been "
                          "applied, so it was not repeated)");
        Reopen(e.what());
    }
    try {
        return fn(*session_);
    } catch (const DbError& e) {
        if (e.connectionLost()) session_.reset();
        throw;
    }
}

ResultSetPtr Connection::Query(const std::string& sql) {
    std::lock_guard lock(mutex_);
    return Run(Repeat::Always, [&](Session& s) { return s.Query(sql); });
}

int64_t Connection::CountRows(const std::string& sql) {
    std::lock_guard lock(mutex_);
    return Run(Repeat::Always, [&](Session& s) { return s.CountRows(sql); });
}

int64_t Connection::Execute(const std::string& sql) {
    std::lock_guard lock(mutex_);
    return Run(Repeat::UnlessMaybeApplied, [&](Session& s) { return s.Execute(sql, {}, false); });
}

void Connection::Insert(const char* table, const char* const* names, int32_t nameCount,
                        const char* const* values, int32_t valueCount) {
    RequirePlainIdentifier(table, "table");
    if (nameCount != valueCount)
        throw DbError("unequal name and value arrays (" + std::to_string(nameCount) + " names, " +
                      std::to_string(valueCount) + " values)");
    if (nameCount <= 0) throw DbError("no columns given");
    if (names == nullptr || values == nullptr) throw DbError("no name or value array given");
    for (int32_t i = 0; i < nameCount; ++i) RequirePlainIdentifier(names[i], "column");

    std::vector<Param> params;
    params.reserve(static_cast<std::size_t>(valueCount));
    for (int32_t i = 0; i < valueCount; ++i)
        params.push_back(values[i] == nullptr ? Param() : Param(values[i]));

    std::lock_guard lock(mutex_);
    Run(Repeat::UnlessMaybeApplied, [&](Session& s) {
        std::string sql = "INSERT INTO " + s.Identifier(table) + " (";
        for (int32_t i = 0; i < nameCount; ++i) {
            if (i > 0) sql += ", ";
            sql += s.Identifier(names[i]);
        }
        sql += ") VALUES (";
        for (int32_t i = 0; i < nameCount; ++i) sql += i ? ", ?" : "?";
        sql += ')';
        return s.Execute(sql, params, true, false);
    });
}

int64_t Connection::DeleteWhere(const char* table, const char* condition) {
    RequirePlainIdentifier(table, "table");
    if (condition == nullptr || *condition == '\0')
        throw DbError("no condition given (DeleteAllRecords empties a table)");
    std::lock_guard lock(mutex_);
    return Run(Repeat::UnlessMaybeApplied, [&](Session& s) {
        return s.Execute("DELETE FROM " + s.Identifier(table) + " WHERE " + condition, {}, false);
    });
}

int64_t Connection::DeleteAll(const char* table) {
    RequirePlainIdentifier(table, "table");
    std::lock_guard lock(mutex_);
    return Run(Repeat::UnlessMaybeApplied, [&](Session& s) {
        return s.Execute("DELETE FROM " + s.Identifier(table), {}, false);
    });
}

ResultSetPtr Connection::Table(const char* table) {
    RequirePlainIdentifier(table, "table");
    std::lock_guard lock(mutex_);
    return Run(Repeat::Always, [&](Session& s) { return s.Query("SELECT * FROM " + s.Identifier(table)); });
}

std::string Connection::GetSetting(const char* name) {
    if (name == nullptr) throw DbError("no setting name given");
    std::lock_guard lock(mutex_);
    ResultSetPtr rows = Run(Repeat::Always, [&](Session& s) {
        return s.Query("SELECT SETTING_VALUE FROM APP_SETTING WHERE SETTING_NAME = " + s.TextLiteral(name));
    });
    const char* text = "";
    if (rows->RecordCount() > 0 && rows->FieldTextAt(0, &text) < 0) text = "";
    return text;
}

void Connection::SetSetting(const char* name, const char* value) {
    if (name == nullptr || *name == '\0') throw DbError("no setting name given");
    std::vector<Param> params{Param(name), value == nullptr ? Param() : Param(value)};
    std::lock_guard lock(mutex_);
    Run(Repeat::UnlessMaybeApplied, [&](Session& s) { return s.Execute(s.StoreSettingSql(), params, true, false); });
}

void Connection::Begin() {
    std::lock_guard lock(mutex_);
    if (transaction_ != Transaction::None) throw DbError("a transaction is already open");
    Run(Repeat::Always, [](Session& s) {
        s.Begin();
        return 0;
    });
    transaction_ = Transaction::Open;
}

void Connection::End(bool commit) {
    std::lock_guard lock(mutex_);
    if (closed_) throw DbError("the connection is closed");
    const Transaction state = transaction_;
    transaction_ = Transaction::None;
    if (state == Transaction::None) throw DbError("no transaction is open");
    if (state == Transaction::Lost) {
        // Rolled back by the server already: a rollback has happened, a commit cannot.
        if (commit) throw DbError("the transaction was rolled back when the connection was lost");
        return;
    }
    try {
        if (commit)
            session_->Commit();
        else
            session_->Rollback();
    } catch (const DbError& e) {
        if (e.connectionLost()) {
            session_.reset();
            if (!commit) return;  // the server rolls back what it never saw committed
            throw DbError(std::string(e.what()) +
                          " (the connection was lost during the commit; whether it was applied "
                          "is unknown)");
        }
        // Leave nothing half-done: what could not be committed is rolled back.
        try {
            session_->Rollback();
        } catch (const DbError&) {
        }
        throw;
    }
}

bool Connection::IsConnected() {
    std::lock_guard lock(mutex_);
    return !closed_ && session_ && (transaction_ != Transaction::None || session_->LooksAlive());
}

void* Connection::NativeHandle() {
    std::lock_guard lock(mutex_);
    return Run(Repeat::Always, [](Session& s) { return s.NativeHandle(); });
}

void Connection::Close() {
    std::lock_guard lock(mutex_);
    if (session_ && transaction_ == Transaction::Open) {
        try {
            session_->Rollback();
        } catch (const DbError&) {
        }
    }
    transaction_ = Transaction::None;
    session_.reset();
    closed_ = true;
}

}  // namespace tvda
