// Where a ConnectDB database text points: a Firebird file opened in-process, a Firebird
// server, or a MariaDB/MySQL server.
#pragma once

#include <string>
#include <string_view>

namespace tvda {

struct DatabaseTarget {
    enum class Kind { FirebirdLocal, FirebirdServer, MariaDb };

    Kind kind = Kind::FirebirdLocal;
    // FirebirdLocal: the file path. FirebirdServer: the text the Firebird client takes
    // ("host:path" or "host/port:path"). MariaDb: the schema name.
    std::string database;
    std::string host;  // servers only
    int port = 0;      // 0: the client's default
};

// Splits at the first ':'. No ':' means a local Firebird file; the server name "embedded"
// (any case) also opens the file in-process. Otherwise Firebird serves the text when the
// database part ends in ".fdb" or ".gdb" (any case) or is an absolute path, MariaDB in
// every other case. A server may carry a port as "host/port". Throws DbError when the
// text cannot name a database.
DatabaseTarget ParseDatabaseTarget(std::string_view text);

}  // namespace tvda
