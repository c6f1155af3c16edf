// The password change of the logged-in user: its checks in order, the update, and that
// the new password is the one that logs in afterwards.
#include <QLineEdit>

#include "SecurityTestKit.h"
#include "UiScript.h"

namespace sectest {
namespace {

using Strings = std::vector<std::string>;
using ChangePasswordTest = SecurityTest;

QLineEdit* Edit(QWidget* dialog, const char* name) { return Child<QLineEdit>(dialog, name); }

void Fill(QWidget* dialog, const char* current, const char* fresh, const char* confirm) {
    Edit(dialog, "edtCurPwd")->setText(current);
    Edit(dialog, "edtNewPwd")->setText(fresh);
    Edit(dialog, "edtConfirmPwd")->setText(confirm);
}

TEST_F(ChangePasswordTest, NobodyLoggedInOnlyGetsAMessage) {
    std::string message;
    UiScript ui;
    ui.Answer(QMessageBox::Ok, &message);
    lib->ShowChangePassword(nullptr);
    ui.ExpectFinished();
    EXPECT_EQ(message, "You must be logged in to change your password!");
    EXPECT_TRUE(Events().empty());
}

TEST_F(ChangePasswordTest, ChecksRunInOrderAndKeepTheDialogOpen) {
    LoginAs("admin", "admin");
    const std::size_t before = Events().size();
    const struct {
        const char *current, *fresh, *confirm;
        const char* message;
        const char* focus;
        const char *currentAfter, *freshAfter, *confirmAfter;
    } cases[] = {
        {"", "", "", "Current Password cannot be blank!", "edtCurPwd", "", "", ""},
        {"admin", "", "x", "New Password cannot be blank!", "edtNewPwd", "admin", "", "x"},
        {"admin", "n1", "", "Confirm Password cannot be blank!", "edtConfirmPwd", "admin", "n1", ""},
        {"admin", "n 1", "n 1", "Password should only contain alpha-numerical characters!",
         "edtCurPwd", "", "", ""},
        {"adm'in", "n1", "n1", "Password should only contain alpha-numerical characters!",
         "edtCurPwd", "", "", ""},
        {"admin", "new1", "NEW1", "New Password and Confirm Password do not match!", "edtNewPwd",
         "admin", "", ""},
        // The key holds backslash and n as two characters; the locale returns it as is.
        {"wrong", "new1", "new1",
         "Authentication Failed!\\nPlease enter your Current Password correctly.", "edtCurPwd",
         "", "", ""},
    };
    UiScript ui;
    for (const auto& c : cases) {
        auto message = std::make_shared<std::string>();
        ui.OnWindow("TChangePasswordDlg", [&c](QWidget* dialog) {
              Fill(dialog, c.current, c.fresh, c.confirm);
              ClickLater(dialog, "bbChange");
          })
            .Answer(QMessageBox::Ok, message.get())
            .OnWindow("TChangePasswordDlg", [&c, message](QWidget* dialog) {
                EXPECT_EQ(*message, c.message) << c.current << "/" << c.fresh << "/" << c.confirm;
                EXPECT_EQ(dialog->focusWidget(), Edit(dialog, c.focus)) << c.message;
                EXPECT_EQ(Edit(dialog, "edtCurPwd")->text(), c.currentAfter) << c.message;
                EXPECT_EQ(Edit(dialog, "edtNewPwd")->text(), c.freshAfter) << c.message;
                EXPECT_EQ(Edit(dialog, "edtConfirmPwd")->text(), c.confirmAfter) << c.message;
            });
    }
    ui.OnWindow("TChangePasswordDlg", [](QWidget* dialog) { CloseLater(dialog, "bbCancel"); });
    lib->ShowChangePassword(nullptr);
    ui.ExpectFinished();

    EXPECT_EQ(Field("SELECT USER_PASSWORD FROM USERS WHERE USER_ID = 'admin'", "USER_PASSWORD"),
              lib->Encrypt("admin"));
    const Strings texts = EventTexts();
    EXPECT_EQ(Strings(texts.begin() + static_cast<long>(before), texts.end()),
              (Strings{"Change Password started.", "Change Password closed."}));
}

TEST_F(ChangePasswordTest, TheNewPasswordReplacesTheOldOne) {
    LoginAs("admin", "admin");
    const std::size_t before = Events().size();
    std::string message;
    UiScript ui;
    ui.OnWindow("TChangePasswordDlg", [](QWidget* dialog) {
          EXPECT_EQ(dialog->windowTitle(), "Change Password");
          Fill(dialog, "admin", "Secret42", "Secret42");
          ClickLater(dialog, "bbChange");
      })
        .Answer(QMessageBox::Ok, &message);
    lib->ShowChangePassword(nullptr);
    ui.ExpectFinished();
    EXPECT_EQ(message, "Your password has been changed!");
    EXPECT_EQ(Field("SELECT USER_PASSWORD FROM USERS WHERE USER_ID = 'admin'", "USER_PASSWORD"),
              lib->Encrypt("Secret42"));
    const Strings texts = EventTexts();
    EXPECT_EQ(Strings(texts.begin() + static_cast<long>(before), texts.end()),
              (Strings{"Change Password started.", "User password changed.",
                       "Change Password closed."}));
    EXPECT_EQ(Events().back().user, "admin");

    lib->Logout();
    {
        UiScript fails;
        fails.Answer(QMessageBox::Ok).OnWindow("TLoginDlg", [](QWidget* dialog) {
            CloseLater(dialog, "bbCancel");
        });
        EXPECT_EQ(lib->ShowLogin(nullptr, "admin", "admin"), 0);
        fails.ExpectFinished();
    }
    LoginAs("admin", "Secret42");
    EXPECT_EQ(lib->SessionUser(), "admin");
}

}  // namespace
}  // namespace sectest

int main(int argc, char** argv) { return sectest::RunSecurityTests(argc, argv); }
