// The program home of one benchmark run (what QUILLON_HOME points at): QUILLON.GDB with
// the single enabled channel "Demo", rules/demo.arp, the scanned and processed folders and
// the channel's repository, a Firebird file or a schema of the test MariaDB server.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "RawInsert.h"

namespace benche2e {

// The server named by QUILLON_TEST_MYSQL ("host/port:schema") with QUILLON_TEST_MYSQL_USER
// and QUILLON_TEST_MYSQL_PASSWORD; none when the variable is unset.
std::optional<benchinsert::MariaDbServer> TestServer();

struct BenchHome {
    std::string root;       // ends with '/'
    std::string settings;   // QUILLON.GDB
    std::string scanned;    // ends with '/'
    std::string processed;  // ends with '/'
    std::string firebird;   // demo/DEMO.FDB, the Firebird repository
};

// Makes a fresh home under `root` (an empty folder) the way a new program folder is
// made: the settings database from the project's scripts with the demo channel, whose
// repository is a new Firebird file holding MEASUREMENT. Returns "" or the error text.
std::string MakeBenchHome(const std::string& root, BenchHome& home);

// Points the channel at `server` (its schema must hold MEASUREMENT). "" or the error text.
std::string UseMariaDbRepository(const BenchHome& home, const benchinsert::MariaDbServer& server);

// Runs one statement on a Firebird file through the data-access library. "" or the error.
std::string FirebirdStatement(const std::string& path, const std::string& sql);

// SELECT COUNT(*) FROM `table` on a data-access database text; -1 on failure.
int64_t CountRows(const std::string& database, const std::string& user, const std::string& password,
                  const std::string& table);

// The data-access database text of a MariaDB schema ("host/port:schema").
std::string MariaDbDatabase(const benchinsert::MariaDbServer& server);

}  // namespace benche2e
