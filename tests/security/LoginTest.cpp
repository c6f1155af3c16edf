// The login dialog against a real USERS table: the automatic attempt, the checks in
// their order, the attempt limit that outlives a dialog, the session with LAST_ACTIVE,
// the events, and the automatic purge of expired events that runs first.
#include <QDateTime>
#include <algorithm>
#include <QLineEdit>

#include "SecurityTestKit.h"
#include "UiScript.h"

namespace sectest {
namespace {

using LoginTest = SecurityTest;

QLineEdit* Edit(QWidget* dialog, const char* name) { return Child<QLineEdit>(dialog, name); }

bool LastActiveSet(const std::string& user) {
    return !IsNull("SELECT LAST_ACTIVE FROM USERS WHERE USER_ID = '" + user + "'", "LAST_ACTIVE");
}

TEST_F(LoginTest, AutomaticLoginStartsTheSessionAndLogoutEndsIt) {
    EXPECT_EQ(lib->SessionUser(), "");
    LoginAs("admin", "admin");
    EXPECT_EQ(lib->SessionUser(), "admin");
    EXPECT_TRUE(LastActiveSet("admin"));

    const std::vector<EventRow> events = Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].event, "User starts login.");
    EXPECT_EQ(events[0].user, "");  // the session from before the login
    EXPECT_EQ(events[1].event, "User logged in.");
    EXPECT_EQ(events[1].user, "admin");
    for (const EventRow& e : events) {
        EXPECT_EQ(e.module, "Security");
        EXPECT_EQ(e.type, 1);
        EXPECT_EQ(e.computer, HostName());
    }

    lib->Logout();
    EXPECT_EQ(lib->SessionUser(), "");
    EXPECT_FALSE(LastActiveSet("admin"));
    lib->Logout();  // nobody logged in: harmless
    EXPECT_EQ(lib->SessionUser(), "");
    EXPECT_EQ(Events().size(), 2u) << "Logout logs nothing";
}

TEST_F(LoginTest, WrongPasswordKeepsTheDialogOpenForTyping) {
    std::string message;
    UiScript ui;
    ui.Answer(QMessageBox::Ok, &message).OnWindow("TLoginDlg", [](QWidget* dialog) {
        EXPECT_EQ(Edit(dialog, "edtUserID")->text(), "admin");
        EXPECT_EQ(Edit(dialog, "edtPassword")->text(), "");
        EXPECT_EQ(dialog->focusWidget(), Edit(dialog, "edtPassword"));
        Edit(dialog, "edtPassword")->setText("admin");
        ClickLater(dialog, "bbLogin");
    });
    EXPECT_EQ(lib->ShowLogin(nullptr, "admin", "wrong"), 1);
    ui.ExpectFinished();
    EXPECT_EQ(message, "Authentication Failed!");
    EXPECT_EQ(lib->SessionUser(), "admin");
}

TEST_F(LoginTest, AttemptLimitOutlivesTheDialogAndKeepsTheSession) {
    LoginAs("super", "super2");  // attempt 1
    {
        UiScript ui;
        ui.Answer(QMessageBox::Ok)  // attempt 2 fails, the dialog stays
            .OnWindow("TLoginDlg", [](QWidget* dialog) { CloseLater(dialog, "bbCancel"); });
        EXPECT_EQ(lib->ShowLogin(nullptr, "admin", "bad"), 0);
        ui.ExpectFinished();
    }
    {
        // Attempt 3 reaches the limit: this dialog ends at its first failure.
        UiScript ui;
        ui.Answer(QMessageBox::Ok);
        EXPECT_EQ(lib->ShowLogin(nullptr, "admin", "bad"), 0);
        ui.ExpectFinished();
    }
    EXPECT_EQ(lib->SessionUser(), "super");
    const std::vector<EventRow> events = Events();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[3].event, "User starts login.");
    EXPECT_EQ(events[4].event, "User tried to login 3 times.");
    EXPECT_EQ(events[4].user, "super");
}

TEST_F(LoginTest, RefusedCharactersNeverReachAStatement) {
    // Built into SQL as they stand, the first would log in as admin.
    const struct {
        const char* user;
        const char* password;
    } cases[] = {{"admin'--", "x"}, {"ad min", "admin"}, {"admin", "adm'in"}, {"admin;", "admin"}};
    for (const auto& c : cases) {
        std::string message;
        UiScript ui;
        ui.Answer(QMessageBox::Ok, &message).OnWindow("TLoginDlg", [](QWidget* dialog) {
            EXPECT_EQ(Edit(dialog, "edtUserID")->text(), "");
            EXPECT_EQ(Edit(dialog, "edtPassword")->text(), "");
            EXPECT_EQ(dialog->focusWidget(), Edit(dialog, "edtUserID"));
            CloseLater(dialog, "bbCancel");
        });
        EXPECT_EQ(lib->ShowLogin(nullptr, c.user, c.password), 0) << c.user;
        ui.ExpectFinished();
        EXPECT_EQ(message,
                  "User ID and Password should only contain alpha-numerical characters!");
    }
    EXPECT_EQ(lib->SessionUser(), "");
    for (const std::string& text : EventTexts()) EXPECT_EQ(text, "User starts login.");
}

TEST_F(LoginTest, OneEmptyTextWaitsAndAPlainPasswordNeverMatches) {
    ASSERT_EQ(Exec("INSERT INTO USERS (USER_ID, USER_PASSWORD, USER_LEVEL_ID) "
                   "VALUES ('plain', 'plain1', 3)"),
              1);
    std::string message;
    UiScript ui;
    ui.Wait(150)
        .OnWindow("TLoginDlg", [](QWidget* dialog) {
            EXPECT_EQ(FindWindow("ShowMsg"), nullptr) << "no automatic attempt";
            Edit(dialog, "edtPassword")->setText("plain1");
            ClickLater(dialog, "bbLogin");
        })
        .Answer(QMessageBox::Ok, &message)
        .OnWindow("TLoginDlg", [](QWidget* dialog) { CloseLater(dialog, "bbCancel"); });
    EXPECT_EQ(lib->ShowLogin(nullptr, "plain", ""), 0);
    ui.ExpectFinished();
    EXPECT_EQ(message, "Authentication Failed!");
}

TEST_F(LoginTest, ANewLoginReplacesTheSessionUser) {
    LoginAs("admin", "admin");
    LoginAs("oper", "oper3");
    EXPECT_EQ(lib->SessionUser(), "oper");
    EXPECT_TRUE(LastActiveSet("oper"));
    EXPECT_TRUE(LastActiveSet("admin")) << "the previous user is not logged out";
}

// Events dated today, yesterday, 2 and 4 months back and 2 years back, against the
// setting read at the start of every login.
TEST_F(LoginTest, AutoPurgeRemovesWhatTheSettingExpires) {
    const QDateTime now = QDateTime::currentDateTime();
    const struct {
        const char* name;
        QDateTime when;
    } aged[] = {{"today", now},
                {"yesterday", now.addDays(-1)},
                {"2 months", now.addMonths(-2)},
                {"4 months", now.addMonths(-4)},
                {"2 years", now.addYears(-2)}};
    const struct {
        const char* setting;
        std::vector<std::string> kept;
    } cases[] = {
        {"-1", {"today", "yesterday", "2 months", "4 months", "2 years"}},
        {"0", {"today"}},
        {"3", {"today", "yesterday", "2 months"}},
        {"abc", {"today", "yesterday", "2 months", "4 months", "2 years"}},  // not a number
        {"", {"today", "yesterday", "2 months", "4 months", "2 years"}},     // missing
        {"-4", {"today", "yesterday", "2 months", "4 months", "2 years"}},
    };
    for (const auto& c : cases) {
        ASSERT_GE(Exec("DELETE FROM EVENTLOG"), 0);
        for (const auto& a : aged)
            ASSERT_EQ(Exec("INSERT INTO EVENTLOG (DATE_TIME_CREATED, EVENT) VALUES ('" +
                           a.when.toString("yyyy-MM-dd HH:mm:ss").toStdString() + "', '" +
                           a.name + "')"),
                      1);
        SetSetting("EVENTLOG_RECORDS_EXPIRY_MONTHS", c.setting);
        UiScript ui;
        ui.OnWindow("TLoginDlg", [](QWidget* dialog) { CloseLater(dialog, "bbCancel"); });
        EXPECT_EQ(lib->ShowLogin(nullptr, "", ""), 0);
        ui.ExpectFinished();
        std::vector<std::string> kept = EventTexts();
        kept.erase(std::remove(kept.begin(), kept.end(), "User starts login."), kept.end());
        EXPECT_EQ(kept, c.kept) << "setting \"" << c.setting << "\"";
    }
}

}  // namespace
}  // namespace sectest

int main(int argc, char** argv) { return sectest::RunSecurityTests(argc, argv); }
