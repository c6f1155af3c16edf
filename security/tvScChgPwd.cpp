#include "tvScChgPwd.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "tvDaHeader.h"
#include "tvGnHeader.h"
#include "tvScCipher.h"
#include "tvScEvents.h"
#include "tvScMain.h"
#include "tvScTexts.h"

namespace sec {

TChangePasswordDlg::TChangePasswordDlg(QWidget* owner, std::string userId)
    : QDialog(owner),
      lblInstruction1(new QLabel(this)),
      lblCurPwd(new QLabel(this)),
      edtCurPwd(new QLineEdit(this)),
      lblInstruction2(new QLabel(this)),
      lblNewPwd(new QLabel(this)),
      edtNewPwd(new QLineEdit(this)),
      lblConfirmPwd(new QLabel(this)),
      edtConfirmPwd(new QLineEdit(this)),
      bbChange(new QPushButton(this)),
      bbCancel(new QPushButton(this)),
      userId_(std::move(userId)) {
    setObjectName("TChangePasswordDlg");
    lblInstruction1->setObjectName("lblInstruction1");
    lblCurPwd->setObjectName("lblCurPwd");
    edtCurPwd->setObjectName("edtCurPwd");
    lblInstruction2->setObjectName("lblInstruction2");
    lblNewPwd->setObjectName("lblNewPwd");
    edtNewPwd->setObjectName("edtNewPwd");
    lblConfirmPwd->setObjectName("lblConfirmPwd");
    edtConfirmPwd->setObjectName("edtConfirmPwd");
    bbChange->setObjectName("bbChange");
    bbCancel->setObjectName("bbCancel");

    for (QLineEdit* edit : {edtCurPwd, edtNewPwd, edtConfirmPwd}) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setStyleSheet("lineedit-password-character: 42");
        edit->setMinimumWidth(160);
    }
    lblCurPwd->setBuddy(edtCurPwd);
    lblNewPwd->setBuddy(edtNewPwd);
    lblConfirmPwd->setBuddy(edtConfirmPwd);
    bbChange->setDefault(true);
    bbCancel->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(lblInstruction1, 0, 0, 1, 2);
    grid->addWidget(lblCurPwd, 1, 0);
    grid->addWidget(edtCurPwd, 1, 1);
    grid->addWidget(lblInstruction2, 2, 0, 1, 2);
    grid->addWidget(lblNewPwd, 3, 0);
    grid->addWidget(edtNewPwd, 3, 1);
    grid->addWidget(lblConfirmPwd, 4, 0);
    grid->addWidget(edtConfirmPwd, 4, 1);
    grid->setRowMinimumHeight(2, 28);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bbChange);
    buttons->addWidget(bbCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(edtCurPwd, edtNewPwd);
    setTabOrder(edtNewPwd, edtConfirmPwd);
    setTabOrder(edtConfirmPwd, bbChange);
    setTabOrder(bbChange, bbCancel);

    connect(bbChange, &QPushButton::clicked, this, &TChangePasswordDlg::OKBtnClick);
    connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
    edtCurPwd->setFocus();
}

void TChangePasswordDlg::FormCreate() {
    setWindowTitle(Res("Change Password"));
    lblInstruction1->setText(Res("Enter your old password."));
    lblCurPwd->setText(Res("Current Password:"));
    lblInstruction2->setText(Res("Enter your new password to change to."));
    lblNewPwd->setText(Res("New Password:"));
    lblConfirmPwd->setText(Res("Confirm New Password:"));
    bbChange->setText(Res("C&hange"));
    bbCancel->setText(Res("&Cancel"));
}

void TChangePasswordDlg::OKBtnClick() {
    const QString current = edtCurPwd->text();
    const QString fresh = edtNewPwd->text();
    const QString confirm = edtConfirmPwd->text();
    if (current.isEmpty()) {
        Warn(Res("Current Password cannot be blank!"));
        edtCurPwd->setFocus();
        return;
    }
    if (fresh.isEmpty()) {
        Warn(Res("New Password cannot be blank!"));
        edtNewPwd->setFocus();
        return;
    }
    if (confirm.isEmpty()) {
        Warn(Res("Confirm Password cannot be blank!"));
        edtConfirmPwd->setFocus();
        return;
    }
    if (!tvGn::CheckAlphaNum(ToS(current)) || !tvGn::CheckAlphaNum(ToS(fresh)) ||
        !tvGn::CheckAlphaNum(ToS(confirm))) {
        Warn(Res("Password should only contain alpha-numerical characters!"));
        edtCurPwd->clear();
        edtNewPwd->clear();
        edtConfirmPwd->clear();
        edtCurPwd->setFocus();
        return;
    }
    if (fresh != confirm) {
        Warn(Res("New Password and Confirm Password do not match!"));
        edtNewPwd->clear();
        edtConfirmPwd->clear();
        edtNewPwd->setFocus();
        return;
    }
    const std::string check = "SELECT * FROM USERS WHERE USER_ID='" + SqlEscape(userId_) +
                              "' AND USER_PASSWORD='" + SqlEscape(EncryptText(ToS(current))) + "'";
    if (tvDa::QueryIfRecordExists(0, check.c_str()) != 1) {
        Warn(Res("Authentication Failed!\\nPlease enter your Current Password correctly."));
        edtCurPwd->clear();
        edtNewPwd->clear();
        edtConfirmPwd->clear();
        edtCurPwd->setFocus();
        return;
    }
    const std::string update = "UPDATE USERS SET USER_PASSWORD = '" +
                               SqlEscape(EncryptText(ToS(fresh))) + "' WHERE USER_ID='" +
                               SqlEscape(userId_) + "'";
    if (tvDa::UpdateRecords(0, update.c_str()) == 1) {
        // The dialog stays on screen under the message and closes after it.
        Inform(Res("Your password has been changed!"));
        LogEvent(Res("User password changed."));
        accept();
    } else {
        LogEvent(Res("User password update failed."), kEventFailure);
        Fail(Res("Update Failed!"));
    }
}

void ShowChangePassword(QWidget* owner) {
    if (SessionUserID.empty()) {
        Warn(Res("You must be logged in to change your password!"));
        return;
    }
    {
        auto dialog = std::make_unique<TChangePasswordDlg>(owner, SessionUserID);
        LogEvent(Res("Change Password started."));
        dialog->exec();
    }
    LogEvent(Res("Change Password closed."));
}

}  // namespace sec
