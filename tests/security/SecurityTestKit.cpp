#include "SecurityTestKit.h"

#include <dlfcn.h>
#include <unistd.h>

#include <QApplication>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "UiScript.h"
#include "tvDaHeader.h"
#include "tvGnHeader.h"
#include "tvLcHeader.h"

namespace sectest {
namespace fs = std::filesystem;
namespace {

template <typename Fn>
Fn Resolve(void* module, const char* name) {
    void* entry = dlsym(module, name);
    if (entry == nullptr) ADD_FAILURE() << "libtvSecurity.so does not export " << name;
    return reinterpret_cast<Fn>(entry);
}

std::string TakeText(char* text) {
    if (text == nullptr) return "<null>";
    std::string out(text);
    std::free(text);
    return out;
}

// The security tables as every test starts with them.
const char* const kFixture[] = {
    "DELETE FROM EVENTLOG",
    "DELETE FROM FEATURE",
    "DELETE FROM USERS",
    "DELETE FROM USER_LEVEL",
    "INSERT INTO USER_LEVEL (ID, NAME) VALUES (1, 'Administrator')",
    "INSERT INTO USER_LEVEL (ID, NAME) VALUES (2, 'Supervisor')",
    "INSERT INTO USER_LEVEL (ID, NAME) VALUES (3, 'Operator')",
    "INSERT INTO USER_LEVEL (ID, NAME) VALUES (5, 'Guest')",
};

struct TestUser {
    const char* id;
    const char* password;
    int level;
};
constexpr TestUser kUsers[] = {
    {"admin", "admin", 1}, {"super", "super2", 2}, {"oper", "oper3", 3}, {"guest", "guest5", 5}};

}  // namespace

SecurityLibrary::SecurityLibrary() {
    const fs::path source = fs::path(testsupport::BuildDir()) / "libtvSecurity.so";
    const fs::path copy = fs::path(dir_.Path()) / "libtvSecurity.so";
    std::error_code ec;
    fs::copy_file(source, copy, ec);
    if (ec) {
        ADD_FAILURE() << "cannot copy " << source << ": " << ec.message();
        return;
    }
    // Not unloaded at dlclose: Qt may keep references into a library that made widgets.
    module_ = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (module_ == nullptr) {
        ADD_FAILURE() << "dlopen: " << dlerror();
        return;
    }
    ShowLogin = Resolve<decltype(ShowLogin)>(module_, "ShowLogin");
    Logout = Resolve<decltype(Logout)>(module_, "Logout");
    ShowChangePassword = Resolve<decltype(ShowChangePassword)>(module_, "ShowChangePassword");
    NewEvent = Resolve<decltype(NewEvent)>(module_, "NewEvent");
    ShowEventLog = Resolve<decltype(ShowEventLog)>(module_, "ShowEventLog");
    ShowPermission = Resolve<decltype(ShowPermission)>(module_, "ShowPermission");
    CheckFeatureAccess = Resolve<decltype(CheckFeatureAccess)>(module_, "CheckFeatureAccess");
    CheckFeatureAccessWithLogin =
        Resolve<decltype(CheckFeatureAccessWithLogin)>(module_, "CheckFeatureAccessWithLogin");
    encrypt_ = Resolve<decltype(encrypt_)>(module_, "Encrypt");
    decrypt_ = Resolve<decltype(decrypt_)>(module_, "Decrypt");
    sessionUser_ = Resolve<decltype(sessionUser_)>(module_, "GetSessionUserID");
}

SecurityLibrary::~SecurityLibrary() {
    if (module_ != nullptr) dlclose(module_);
}

std::string SecurityLibrary::Encrypt(const std::string& plain) const {
    return TakeText(encrypt_(plain.c_str()));
}
std::string SecurityLibrary::Decrypt(const std::string& cipher) const {
    return TakeText(decrypt_(cipher.c_str()));
}
std::string SecurityLibrary::SessionUser() const { return TakeText(sessionUser_()); }

int32_t Exec(const std::string& sql) { return tvDa::UpdateRecords(0, sql.c_str()); }

int32_t CountRows(const std::string& select) {
    return tvDa::QueryIfRecordExists(0, select.c_str());
}

std::string Field(const std::string& select, const char* name) {
    TvDataSet* data = nullptr;
    tvDa::QueryRecords(0, select.c_str(), &data);
    std::string value = "<no row>";
    if (data != nullptr) {
        data->First();
        const char* text = nullptr;
        if (!data->Eof()) value = data->FieldAsText(name, &text) == 1 ? text : "";
        data->Free();
    }
    return value;
}

bool IsNull(const std::string& select, const char* name) {
    TvDataSet* data = nullptr;
    tvDa::QueryRecords(0, select.c_str(), &data);
    bool null = false;
    if (data != nullptr) {
        data->First();
        null = data->FieldIsNull(name) == 1;
        data->Free();
    }
    return null;
}

std::vector<EventRow> Events() {
    std::vector<EventRow> rows;
    TvDataSet* data = nullptr;
    tvDa::QueryRecords(0, "SELECT * FROM EVENTLOG ORDER BY ID", &data);
    if (data == nullptr) {
        ADD_FAILURE() << "cannot read EVENTLOG";
        return rows;
    }
    auto text = [&](const char* name) {
        const char* value = nullptr;
        return data->FieldAsText(name, &value) == 1 ? std::string(value) : std::string();
    };
    for (data->First(); !data->Eof(); data->Next()) {
        EventRow row;
        data->FieldAsInteger("ID", &row.id);
        data->FieldAsInteger("EVENT_TYPE", &row.type);
        row.event = text("EVENT");
        row.module = text("MODULE");
        row.user = text("USER_ID");
        row.computer = text("COMPUTER");
        rows.push_back(row);
    }
    data->Free();
    return rows;
}

std::vector<std::string> EventTexts() {
    std::vector<std::string> texts;
    for (const EventRow& row : Events()) texts.push_back(row.event);
    return texts;
}

std::string Setting(const char* name) { return tvDa::GetSettingValue(0, name); }

void SetSetting(const char* name, const std::string& value) {
    ASSERT_TRUE(tvDa::SetSettingValue(0, name, value.c_str()));
}

std::string HostName() {
    char name[HOST_NAME_MAX + 1] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

void SecurityTest::SetUp() {
    lib = std::make_unique<SecurityLibrary>();
    ASSERT_TRUE(lib->Loaded());
    for (const char* sql : kFixture) ASSERT_GE(Exec(sql), 0) << sql;
    for (const TestUser& user : kUsers) {
        const std::string sql =
            std::string("INSERT INTO USERS (USER_ID, USER_PASSWORD, USER_LEVEL_ID) VALUES ('") +
            user.id + "', '" + lib->Encrypt(user.password) + "', " +
            std::to_string(user.level) + ")";
        ASSERT_EQ(Exec(sql), 1) << sql;
    }
    // No automatic purge unless a test asks for one.
    SetSetting("EVENTLOG_RECORDS_EXPIRY_MONTHS", "-1");
}

void SecurityTest::TearDown() {
    // Nothing may be left on screen for the next test.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) {
            ADD_FAILURE() << "window left open: " << w->objectName().toStdString();
            w->close();
        }
    lib.reset();
}

void SecurityTest::InsertFeatureTree() {
    const char* const rows[] = {
        "1, 'TOP', 'Top', NULL, '1'",
        "2, 'REPORTS', 'Reports', ';1', '1;2;5'",
        "3, 'SETUP', 'Setup', ';1', '1;2'",
        "4, 'SETUP_USERS', 'Users', ';1;3', '1'",
        "10, 'TEN', 'Ten', NULL, '3'",
        "11, 'TEN_CHILD', 'Ten child', ';10', '3'",
        "12, 'TWELVE', 'Twelve', NULL, NULL",
        "13, 'TWELVE_CHILD', 'Twelve child', ';12', ''",
        "14, 'O''HARA', 'Quoted', ';12', '1'",
        "15, 'ORPHAN', 'Orphan', ';99', '1'",
    };
    for (const char* row : rows)
        ASSERT_EQ(Exec(std::string("INSERT INTO FEATURE (ID, FEATURE_CODE, DISPLAY_NAME, "
                                   "PARENT_HIERARCHY, USER_LEVEL_IDS) VALUES (") +
                       row + ")"),
                  1)
            << row;
}

void SecurityTest::LoginAs(const std::string& user, const std::string& password) {
    UiScript ui;  // fails the test should a message come up instead
    ASSERT_EQ(lib->ShowLogin(nullptr, user.c_str(), password.c_str()), 1) << user;
    ui.ExpectFinished();
}

int RunSecurityTests(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("Security Test");
    ::testing::InitGoogleTest(&argc, argv);

    testsupport::TempDir dir;
    const std::string database = dir.File("SETTINGS.GDB");
    if (!testsupport::CreateSettingsDatabase(database)) {
        std::fprintf(stderr, "cannot create the settings database %s\n", database.c_str());
        return 1;
    }
    // The same family libraries that every copy of the security library will bind.
    if (!tvDa::Bind() || !tvLc::Bind() || !tvGn::Bind()) return 1;
    const int32_t handle = tvDa::ConnectDB(database.c_str(), "SYSDBA", "plumtrees", nullptr);
    if (handle != 0) {
        std::fprintf(stderr, "the settings database did not open as handle 0 (%d)\n", handle);
        return 1;
    }
    const int status = RUN_ALL_TESTS();
    tvDa::DisconnectDB(0);
    return status;
}

}  // namespace sectest
