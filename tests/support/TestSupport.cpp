#include "TestSupport.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace testsupport {
namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "quillon-test.XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
}

static std::string Env(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

std::string SourceDir() { return Env("QUILLON_SOURCE_DIR", QUILLON_SOURCE_DIR_DEFAULT); }
std::string BuildDir() { return Env("QUILLON_BUILD_DIR", QUILLON_BUILD_DIR_DEFAULT); }

int Run(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

static std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool CreateSettingsDatabase(const std::string& path) {
    const std::string db = SourceDir() + "/db/";
    return Run(Quote(SourceDir() + "/scripts/create-database.sh") + " " + Quote(path) + " " +
               Quote(db + "settings.sql") + " " + Quote(db + "security.sql") + " " +
               Quote(db + "seed.sql")) == 0;
}

bool CreateFirebirdDatabase(const std::string& path, const std::string& sql) {
    const std::string script = path + ".init.sql";
    {
        std::ofstream out(script);
        out << sql << "\nCOMMIT;\n";
    }
    const bool ok = Run(Quote(SourceDir() + "/scripts/create-database.sh") + " " + Quote(path) +
                        " " + Quote(script)) == 0;
    std::error_code ec;
    fs::remove(script, ec);
    return ok;
}

std::optional<MySqlTarget> TestMySql() {
    const char* db = std::getenv("QUILLON_TEST_MYSQL");
    if (db == nullptr || *db == '\0') return std::nullopt;
    MySqlTarget t;
    t.database = db;
    t.user = Env("QUILLON_TEST_MYSQL_USER", "quillon");
    t.password = Env("QUILLON_TEST_MYSQL_PASSWORD", "quillon");
    const std::string s = db;
    const auto colon = s.find(':');
    const std::string server = s.substr(0, colon);
    t.schema = colon == std::string::npos ? std::string() : s.substr(colon + 1);
    const auto slash = server.find('/');
    t.host = server.substr(0, slash);
    t.port = slash == std::string::npos ? 3306 : std::atoi(server.c_str() + slash + 1);
    return t;
}

}  // namespace testsupport
