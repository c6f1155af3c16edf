// The same demo rows inserted with the raw client APIs, as the yardstick for the
// data-access library: one prepared statement, one committed transaction per row.
// Reusable by any benchmark that needs the rate the client library itself allows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DemoRows.h"

namespace benchinsert {

struct MariaDbServer {
    std::string host;
    int port = 3306;
    std::string schema, user, password;
};

// Creates a Firebird file (in-process engine, character set NONE) holding the demo table
// `table`. Returns "" or the error text.
std::string CreateFirebirdDemoFile(const std::string& path, const std::string& table);

// An open connection with its prepared insert; each Insert is one committed row.
class Inserter {
public:
    virtual ~Inserter() = default;
    virtual bool Insert(const DemoRow& row) = 0;
    virtual std::string Error() const = 0;
};

// Null on failure, with the reason in *error.
std::unique_ptr<Inserter> OpenRawFirebird(const std::string& path, const std::string& table,
                                          std::string* error);
std::unique_ptr<Inserter> OpenRawMariaDb(const MariaDbServer& server, const std::string& table,
                                         std::string* error);

// Rows per second; a negative value means failure, with the reason in *error.
double RawFirebirdInsertRate(const std::string& path, const std::string& table,
                             const std::vector<DemoRow>& rows, std::string* error);
double RawMariaDbInsertRate(const MariaDbServer& server, const std::string& table,
                            const std::vector<DemoRow>& rows, std::string* error);

// Runs one statement on the MariaDB server (table set-up); "" or the error text.
std::string MariaDbStatement(const MariaDbServer& server, const std::string& sql);

}  // namespace benchinsert
