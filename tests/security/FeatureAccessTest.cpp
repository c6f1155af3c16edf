// Feature access for the session user and for a user who logs in only for the question.
#include <QDateTime>
#include <algorithm>

#include "SecurityTestKit.h"
#include "UiScript.h"

namespace sectest {
namespace {

class FeatureAccessTest : public SecurityTest {
protected:
    void SetUp() override {
        SecurityTest::SetUp();
        InsertFeatureTree();
    }
};

TEST_F(FeatureAccessTest, TheSessionLevelMustBeInTheFeaturesOwnList) {
    const struct {
        const char* user;
        const char* password;
        bool reports, setup;
    } users[] = {{"admin", "admin", true, true},
                 {"super", "super2", true, true},
                 {"oper", "oper3", false, false},
                 {"guest", "guest5", true, false}};
    for (const auto& u : users) {
        LoginAs(u.user, u.password);
        EXPECT_EQ(lib->CheckFeatureAccess("REPORTS"), u.reports ? 1 : 0) << u.user;
        EXPECT_EQ(lib->CheckFeatureAccess("SETUP"), u.setup ? 1 : 0) << u.user;
        // Null list, empty list, unknown code: nobody.
        for (const char* code : {"TWELVE", "TWELVE_CHILD", "NO_SUCH_FEATURE"})
            EXPECT_EQ(lib->CheckFeatureAccess(code), 0) << u.user << " " << code;
    }
}

TEST_F(FeatureAccessTest, WithoutASessionTheAnswerIsNoWithAMessage) {
    std::string message;
    UiScript ui;
    ui.Answer(QMessageBox::Ok, &message);
    EXPECT_EQ(lib->CheckFeatureAccess("REPORTS"), 0);
    ui.ExpectFinished();
    EXPECT_EQ(message, "You must be logged in to get the access to the features!");
}

TEST_F(FeatureAccessTest, QuotesInTheCodeCannotChangeTheStatement) {
    LoginAs("admin", "admin");
    EXPECT_EQ(lib->CheckFeatureAccess("O'HARA"), 1);
    EXPECT_EQ(lib->CheckFeatureAccess("X' OR '1'='1"), 0);
    EXPECT_EQ(lib->CheckFeatureAccess("REPORTS' --"), 0);
    EXPECT_EQ(lib->CheckFeatureAccess("'"), 0);
}

TEST_F(FeatureAccessTest, LoginForTheQuestionLeavesTheSessionAlone) {
    LoginAs("oper", "oper3");
    const std::size_t before = Events().size();
    // The automatic purge runs first here too.
    SetSetting("EVENTLOG_RECORDS_EXPIRY_MONTHS", "0");
    ASSERT_EQ(Exec("INSERT INTO EVENTLOG (DATE_TIME_CREATED, EVENT) VALUES "
                   "('2001-01-01 10:00:00', 'expired')"),
              1);

    EXPECT_EQ(lib->CheckFeatureAccessWithLogin(nullptr, "REPORTS", "guest", "guest5"), 1);
    EXPECT_EQ(lib->SessionUser(), "oper");
    EXPECT_EQ(lib->CheckFeatureAccess("REPORTS"), 0) << "the session level is still oper's";
    EXPECT_TRUE(IsNull("SELECT LAST_ACTIVE FROM USERS WHERE USER_ID = 'guest'", "LAST_ACTIVE"));

    const std::vector<EventRow> events = Events();
    ASSERT_EQ(events.size(), before + 2) << "the expired event is gone, two are new";
    EXPECT_EQ(events[before].event, "User starts login.");
    EXPECT_EQ(events[before + 1].event, "User login to check feature access");
    EXPECT_EQ(events[before + 1].user, "oper");

    EXPECT_EQ(lib->CheckFeatureAccessWithLogin(nullptr, "REPORTS", "oper", "oper3"), 0);

    lib->Logout();
    EXPECT_EQ(lib->CheckFeatureAccessWithLogin(nullptr, "SETUP", "super", "super2"), 1);
    EXPECT_EQ(lib->SessionUser(), "");
}

TEST_F(FeatureAccessTest, ACancelledLoginAnswersNo) {
    UiScript ui;
    ui.OnWindow("TLoginDlg", [](QWidget* dialog) { CloseLater(dialog, "bbCancel"); });
    EXPECT_EQ(lib->CheckFeatureAccessWithLogin(nullptr, "REPORTS", "admin", ""), 0);
    ui.ExpectFinished();
}

}  // namespace
}  // namespace sectest

int main(int argc, char** argv) { return sectest::RunSecurityTests(argc, argv); }
