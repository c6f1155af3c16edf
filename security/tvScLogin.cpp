#include "tvScLogin.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "tvDaHeader.h"
#include "tvGnHeader.h"
#include "tvScAutoPurge.h"
#include "tvScCipher.h"
#include "tvScEvents.h"
#include "tvScQuery.h"
#include "tvScMain.h"
#include "tvScTexts.h"

namespace sec {
namespace {

// After this many attempts since load, the first failed one ends the dialog.
constexpr int32_t kAttemptLimit = 3;

}  // namespace

TLoginDlg::TLoginDlg(QWidget* owner)
    : QDialog(owner),
      lblInstruction(new QLabel(this)),
      lblUserID(new QLabel(this)),
      edtUserID(new QLineEdit(this)),
      lblPassword(new QLabel(this)),
      edtPassword(new QLineEdit(this)),
      bbCancel(new QPushButton(this)),
      bbLogin(new QPushButton(this)),
      tmrAutoLogin(new QTimer(this)) {
    setObjectName("TLoginDlg");
    lblInstruction->setObjectName("lblInstruction");
    lblUserID->setObjectName("lblUserID");
    edtUserID->setObjectName("edtUserID");
    lblPassword->setObjectName("lblPassword");
    edtPassword->setObjectName("edtPassword");
    bbCancel->setObjectName("bbCancel");
    bbLogin->setObjectName("bbLogin");
    tmrAutoLogin->setObjectName("tmrAutoLogin");

    edtPassword->setEchoMode(QLineEdit::Password);
    edtPassword->setStyleSheet("lineedit-password-character: 42");
    lblUserID->setBuddy(edtUserID);
    lblPassword->setBuddy(edtPassword);
    bbLogin->setDefault(true);
    bbLogin->setAutoDefault(true);
    bbCancel->setAutoDefault(false);
    tmrAutoLogin->setInterval(1);
    tmrAutoLogin->setSingleShot(true);

    auto* fields = new QGridLayout;
    fields->addWidget(lblUserID, 0, 0);
    fields->addWidget(edtUserID, 0, 1);
    fields->addWidget(lblPassword, 1, 0);
    fields->addWidget(edtPassword, 1, 1);
    edtUserID->setMinimumWidth(180);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bbLogin);
    buttons->addWidget(bbCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblInstruction);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(edtUserID, edtPassword);
    setTabOrder(edtPassword, bbCancel);
    setTabOrder(bbCancel, bbLogin);

    connect(bbLogin, &QPushButton::clicked, this, &TLoginDlg::OKBtnClick);
    connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(tmrAutoLogin, &QTimer::timeout, this, &TLoginDlg::tmrAutoLoginTimer);
    FormCreate();
}

void TLoginDlg::FormCreate() {
    // Carries the session user from before this login.
    LogEvent(Res("User starts login."));
    setWindowTitle(Res("Login"));
    lblInstruction->setText(Res("Please enter your User ID and Password."));
    lblUserID->setText(Res("User ID:"));
    lblPassword->setText(Res("Password:"));
    bbCancel->setText(Res("&Cancel"));
    bbLogin->setText(Res("&Login"));
}

void TLoginDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TLoginDlg::FormShow() {
    edtUserID->setFocus();
    if (!edtUserID->text().isEmpty() && !edtPassword->text().isEmpty()) tmrAutoLogin->start();
}

void TLoginDlg::tmrAutoLoginTimer() {
    tmrAutoLogin->stop();
    OKBtnClick();
}

void TLoginDlg::OKBtnClick() {
    ++LoginAttempts;
    const std::string userId = ToS(edtUserID->text());
    const std::string password = ToS(edtPassword->text());
    // Only letters and digits ever reach a statement.
    if (!tvGn::CheckAlphaNum(userId) || !tvGn::CheckAlphaNum(password)) {
        Warn(Res("User ID and Password should only contain alpha-numerical characters!"));
        edtUserID->clear();
        edtPassword->clear();
        edtUserID->setFocus();
        return;
    }
    const std::string sql = "SELECT * FROM USERS WHERE USER_ID='" + SqlEscape(userId) +
                            "' AND USER_PASSWORD='" + SqlEscape(EncryptText(password)) + "'";
    if (tvDa::QueryIfRecordExists(0, sql.c_str()) == 1) {
        accept();
        return;
    }
    Warn(Res("Authentication Failed!"));
    edtPassword->clear();
    edtPassword->setFocus();
    if (LoginAttempts >= kAttemptLimit) {
        LogEvent(Res("User tried to login 3 times."));
        reject();
    }
}

std::optional<std::string> RunLoginDialog(QWidget* owner, const std::string& userId,
                                          const std::string& password) {
    auto dialog = std::make_unique<TLoginDlg>(owner);
    dialog->edtUserID->setText(ToQ(userId));
    dialog->edtPassword->setText(ToQ(password));
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    return ToS(dialog->edtUserID->text());
}

int32_t QueryUserLevel(const std::string& userId) {
    DataSetPtr dataset =
        Query("SELECT USER_LEVEL_ID FROM USERS WHERE USER_ID = '" + SqlEscape(userId) + "'");
    if (!dataset) return 0;
    dataset->First();
    const int64_t level = FieldInteger(*dataset, "USER_LEVEL_ID", 0);
    return level >= INT32_MIN && level <= INT32_MAX ? static_cast<int32_t>(level) : 0;
}

bool ShowLogin(QWidget* owner, const std::string& userId, const std::string& password) {
    RunAutoPurge();
    const std::optional<std::string> user = RunLoginDialog(owner, userId, password);
    if (!user) return false;
    SessionUserID = *user;
    LogEvent(Res("User logged in."));
    SessionUserLevel = QueryUserLevel(*user);
    const std::string sql = "UPDATE USERS SET LAST_ACTIVE = current_timestamp WHERE USER_ID = '" +
                            SqlEscape(*user) + "'";
    tvDa::UpdateRecords(0, sql.c_str());
    return true;
}

}  // namespace sec
