// Fixtures of the security library tests: one settings database per test process,
// opened as the process's first connection (handle 0) like a host does, the security
// tables reset before every test, and a freshly loaded copy of libtvSecurity.so per test
// so that its library-wide state (the session, the login attempt count) starts anew.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "tvSecurityApi.h"

namespace sectest {

// The exports of one loaded copy of the library.
class SecurityLibrary {
public:
    // Copies <build>/libtvSecurity.so into a folder of its own and loads it; the family
    // libraries it binds are the ones this process has loaded already.
    SecurityLibrary();
    ~SecurityLibrary();
    SecurityLibrary(const SecurityLibrary&) = delete;
    SecurityLibrary& operator=(const SecurityLibrary&) = delete;

    bool Loaded() const { return module_ != nullptr; }

    decltype(&::ShowLogin) ShowLogin = nullptr;
    decltype(&::Logout) Logout = nullptr;
    decltype(&::ShowChangePassword) ShowChangePassword = nullptr;
    decltype(&::NewEvent) NewEvent = nullptr;
    decltype(&::ShowEventLog) ShowEventLog = nullptr;
    decltype(&::ShowPermission) ShowPermission = nullptr;
    decltype(&::CheckFeatureAccess) CheckFeatureAccess = nullptr;
    decltype(&::CheckFeatureAccessWithLogin) CheckFeatureAccessWithLogin = nullptr;

    std::string Encrypt(const std::string& plain) const;
    std::string Decrypt(const std::string& cipher) const;
    std::string SessionUser() const;

private:
    testsupport::TempDir dir_;
    void* module_ = nullptr;
    decltype(&::Encrypt) encrypt_ = nullptr;
    decltype(&::Decrypt) decrypt_ = nullptr;
    decltype(&::GetSessionUserID) sessionUser_ = nullptr;
};

// One EVENTLOG row.
struct EventRow {
    int64_t id = 0;
    std::string event, module;
    int64_t type = 0;
    std::string user, computer;
};

// Statements on handle 0, the connection the library works on.
int32_t Exec(const std::string& sql);  // rows affected, -1 on failure
int32_t CountRows(const std::string& select);
std::string Field(const std::string& select, const char* name);  // first row; "" for null
bool IsNull(const std::string& select, const char* name);
std::vector<EventRow> Events();         // in insertion order
std::vector<std::string> EventTexts();  // the EVENT column, in insertion order
std::string Setting(const char* name);
void SetSetting(const char* name, const std::string& value);
std::string HostName();

// The test users (password = user ID + level digit, except admin/admin) and levels:
// admin 1, super 2, oper 3, guest 5; levels 1 Administrator, 2 Supervisor, 3 Operator,
// 5 Guest.
class SecurityTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The feature tree (ID, code, parent path, permitted levels):
    //   1 TOP root "1" / 2 REPORTS ;1 "1;2;5" / 3 SETUP ;1 "1;2" / 4 SETUP_USERS ;1;3 "1"
    //   10 TEN root "3" / 11 TEN_CHILD ;10 "3"
    //   12 TWELVE root null / 13 TWELVE_CHILD ;12 "" / 14 O'HARA ;12 "1"
    //   15 ORPHAN ;99 "1" (its path leads to no feature)
    void InsertFeatureTree();

    // Logs in through the automatic attempt of the login dialog.
    void LoginAs(const std::string& user, const std::string& password);

    std::unique_ptr<SecurityLibrary> lib;
};

// The process-wide part: QApplication, the settings database and its connection.
// Every test executable of the security library runs this from its main().
int RunSecurityTests(int argc, char** argv);

}  // namespace sectest
