// One open session with a database, the part of a connection that depends on the client
// library. A session throws DbError on failure; kind ConnectionLost tells the connection
// that the server or the network dropped it. It is used by one thread at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ResultSet.h"

namespace tvda {

// A statement parameter: text the database converts to the column type; nullopt is NULL.
using Param = std::optional<std::string_view>;

class Session {
public:
    virtual ~Session() = default;

    // Runs a query and fetches every row. A statement that yields no rows at all (not a
    // query) is an error.
    virtual ResultSetPtr Query(const std::string& sql) = 0;
    // Number of rows a query yields, without keeping them.
    virtual int64_t CountRows(const std::string& sql) = 0;
    // Runs a statement that yields no rows, with `params` bound to its '?' markers; rows
    // affected. With `keepPrepared` the prepared statement is kept for the next call with
    // the same text. Outside a transaction the statement is committed before this returns.
    // Without `countRows` the result is 0 (asking for the count can cost a round trip).
    virtual int64_t Execute(const std::string& sql, const std::vector<Param>& params,
                            bool keepPrepared, bool countRows = true) = 0;

    // Between Begin and Commit/Rollback nothing is committed.
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;

    // Cheap check before a statement is sent: false when the session is known to be
    // dropped (then the caller re-opens it rather than running into the failure).
    virtual bool LooksAlive() = 0;
    // The client library's own handle: a MYSQL* for MariaDB, a pointer to the
    // isc_db_handle for Firebird.
    virtual void* NativeHandle() = 0;

    // SQL text pieces in this database's dialect.
    virtual std::string Identifier(std::string_view plainName) const = 0;
    virtual std::string TextLiteral(std::string_view text) const = 0;
    // Insert-or-update of APP_SETTING with the parameters name, value.
    virtual std::string StoreSettingSql() const = 0;
};

}  // namespace tvda
