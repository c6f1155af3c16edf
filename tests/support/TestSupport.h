// Shared fixtures of the tests: temporary folders, real Firebird files made from the
// project's schema, and the private MariaDB server that test.sh starts.
#pragma once

#include <optional>
#include <string>

namespace testsupport {

// A fresh folder under /tmp, removed with everything in it when the object dies.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string SourceDir();  // the project's source folder
std::string BuildDir();   // the program folder the tests run against

// Creates a Firebird file at `path` with the settings-database schema and seed data
// (the same scripts that make QUILLON.GDB). Returns false when creation failed.
bool CreateSettingsDatabase(const std::string& path);
// Creates a Firebird file at `path` and runs the given SQL text into it.
bool CreateFirebirdDatabase(const std::string& path, const std::string& sql = {});

// The private MariaDB server of test.sh, when it runs.
struct MySqlTarget {
    std::string database;  // "127.0.0.1/port:quillon_test", as ConnectDB takes it
    std::string user;
    std::string password;
    std::string host;
    int port = 0;
    std::string schema;
};
std::optional<MySqlTarget> TestMySql();

// Runs a shell command; returns its exit status.
int Run(const std::string& command);

}  // namespace testsupport
