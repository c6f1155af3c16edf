// One numbered connection: its session with the database, the open transaction, and the
// rules that hold whatever the client library does: calls are serialised, a connection
// the server dropped is re-opened once before a statement is reported failed, and a
// transaction lost with its connection is never silently continued on a new one.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "DatabaseTarget.h"
#include "ResultSet.h"
#include "Session.h"

namespace tvda {

class Connection {
public:
    // Opens the database a ConnectDB text names. Throws DbError naming the back end.
    static std::unique_ptr<Connection> Open(const std::string& database, const std::string& user,
                                            const std::string& password);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void SetHandle(int32_t handle) { handle_ = handle; }
    const std::string& Database() const { return database_; }

    // Each of these holds the connection's lock for its whole run.
    ResultSetPtr Query(const std::string& sql);
    int64_t CountRows(const std::string& sql);
    int64_t Execute(const std::string& sql);
    void Insert(const char* table, const char* const* names, int32_t nameCount,
                const char* const* values, int32_t valueCount);
    int64_t DeleteWhere(const char* table, const char* condition);
    int64_t DeleteAll(const char* table);
    ResultSetPtr Table(const char* table);
    std::string GetSetting(const char* name);
    void SetSetting(const char* name, const char* value);
    void Begin();
    void End(bool commit);
    bool IsConnected();
    void* NativeHandle();
    // Rolls back an open transaction and releases the session; every later call fails.
    void Close();

private:
    // Whether a statement may be sent again after the connection broke while it ran.
    enum class Repeat { Always, UnlessMaybeApplied };
    enum class Transaction { None, Open, Lost };

    Connection(DatabaseTarget target, std::string database, std::string user,
               std::string password);
    std::unique_ptr<Session> OpenSession() const;
    std::string Describe() const;
    void Reopen(const std::string& why);
    template <typename Fn>
    auto Run(Repeat repeat, Fn&& fn) -> decltype(fn(std::declval<Session&>()));

    const DatabaseTarget target_;
    const std::string database_, user_, password_;
    int32_t handle_ = -1;

    std::mutex mutex_;  // guards everything below
    std::unique_ptr<Session> session_;
    Transaction transaction_ = Transaction::None;
    bool closed_ = false;
};

}  // namespace tvda
