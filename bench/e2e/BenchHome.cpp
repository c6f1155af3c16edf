#include "BenchHome.h"

#include <cstdlib>
#include <filesystem>

#include "tvDataAccessApi.h"
#include "tvScHeader.h"

namespace fs = std::filesystem;

namespace benche2e {
namespace {

const char* const kUser = "SYSDBA";
const char* const kPassword = "plumtrees";

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

std::string ShellWord(const std::string& text) {
    std::string out = "'";
    for (const char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::string Source(const std::string& relative) { return std::string(QUILLON_SOURCE_DIR) + "/" + relative; }

// One statement through the library on an open-and-close connection.
std::string Statement(const std::string& database, const std::string& user, const std::string& password,
                      const std::string& sql) {
    const int32_t handle = ConnectDB(database.c_str(), user.c_str(), password.c_str(), nullptr, 1);
    if (handle < 0) return "cannot connect to " + database;
    const int32_t affected = UpdateRecords(handle, sql.c_str(), 1);
    DisconnectDB(handle, 1);
    return affected < 0 ? "statement failed on " + database + ": " + sql : "";
}

}  // namespace

std::optional<benchinsert::MariaDbServer> TestServer() {
    const char* db = std::getenv("QUILLON_TEST_MYSQL");
    if (db == nullptr || *db == '\0') return std::nullopt;
    const std::string s = db;
    const auto colon = s.find(':');
    if (colon == std::string::npos) return std::nullopt;
    benchinsert::MariaDbServer m;
    const std::string server = s.substr(0, colon);
    m.schema = s.substr(colon + 1);
    const auto slash = server.find('/');
    m.host = server.substr(0, slash);
    if (slash != std::string::npos) m.port = std::atoi(server.c_str() + slash + 1);
    const char* user = std::getenv("QUILLON_TEST_MYSQL_USER");
    const char* password = std::getenv("QUILLON_TEST_MYSQL_PASSWORD");
    m.user = user ? user : "quillon";
    m.password = password ? password : "quillon";
    return m;
}

std::string MariaDbDatabase(const benchinsert::MariaDbServer& server) {
    return server.host + "/" + std::to_string(server.port) + ":" + server.schema;
}

std::string MakeBenchHome(const std::string& root, BenchHome& home) {
    home.root = fs::path(root).lexically_normal().string();
    if (home.root.back() != '/') home.root += '/';
    home.settings = home.root + "QUILLON.GDB";
    home.scanned = home.root + "demo/in/";
    home.processed = home.root + "demo/done/";
    home.firebird = home.root + "demo/DEMO.FDB";
    std::error_code ec;
    // The scanned folder exists already, so the sample inputs are not copied into it.
    fs::create_directories(home.scanned, ec);
    fs::create_directories(home.root + "rules", ec);
    if (ec) return "cannot create " + home.root + ": " + ec.message();
    fs::copy_file(Source("rules/demo.arp"), home.root + "rules/demo.arp", ec);
    if (ec) return "cannot copy the demo rule: " + ec.message();
    std::string command = ShellWord(Source("db/new-program-folder.sh"));
    for (const char* word : {"", "scripts/create-database.sh", "db/demo.sql", "demo/in", "db/settings.sql",
                             "db/security.sql", "db/seed.sql"})
        command += " " + (*word == '\0' ? ShellWord(home.root) : ShellWord(Source(word)));
    if (std::system(command.c_str()) != 0) return "making the program home failed: " + command;
    if (!fs::exists(home.settings) || !fs::exists(home.firebird)) return "the program home is incomplete";
    return {};
}

std::string UseMariaDbRepository(const BenchHome& home, const benchinsert::MariaDbServer& server) {
    // The settings database keeps repository passwords enciphered.
    const std::optional<std::string> password = tvSc::Bind() ? tvSc::Encrypt(server.password) : std::nullopt;
    if (!password) return "cannot encipher the repository password (libtvSecurity.so)";
    return Statement(home.settings, kUser, kPassword,
                     "UPDATE CHANNEL_SETTING SET DB_TYPE = 'MySQL', DB_SERVER_NAME = " +
                         Quoted(server.host + "/" + std::to_string(server.port)) +
                         ", DB_NAME = " + Quoted(server.schema) + ", DB_USER_NAME = " + Quoted(server.user) +
                         ", DB_PASSWORD = " + Quoted(*password) + " WHERE ID = 1");
}

std::string FirebirdStatement(const std::string& path, const std::string& sql) {
    return Statement(path, kUser, kPassword, sql);
}

int64_t CountRows(const std::string& database, const std::string& user, const std::string& password,
                  const std::string& table) {
    const int32_t handle = ConnectDB(database.c_str(), user.c_str(), password.c_str(), nullptr, 1);
    if (handle < 0) return -1;
    TvDataSet* rows = nullptr;
    int64_t count = -1;
    if (QueryRecords(handle, ("SELECT COUNT(*) AS N FROM " + table).c_str(), &rows, 1) == 1 && rows != nullptr) {
        rows->First();
        if (rows->FieldAsInteger("N", &count) != 1) count = -1;
    }
    if (rows != nullptr) rows->Free();
    DisconnectDB(handle, 1);
    return count;
}

}  // namespace benche2e
