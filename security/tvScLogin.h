// The login dialog and the session it starts.
#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace sec {

class TLoginDlg : public QDialog {
    Q_OBJECT

public:
    explicit TLoginDlg(QWidget* owner);

    QLabel* lblInstruction;
    QLabel* lblUserID;
    QLineEdit* edtUserID;
    QLabel* lblPassword;
    QLineEdit* edtPassword;
    QPushButton* bbCancel;
    QPushButton* bbLogin;
    QTimer* tmrAutoLogin;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void OKBtnClick();
    void tmrAutoLoginTimer();

    bool shown_ = false;
};

// Shows the login dialog pre-filled with the two texts (an automatic attempt when both are
// non-empty). The user ID as typed when the dialog ended with OK, nothing otherwise.
std::optional<std::string> RunLoginDialog(QWidget* owner, const std::string& userId,
                                          const std::string& password);

// USERS.USER_LEVEL_ID of a user; 0 when the user or the level cannot be read, so that the
// level is always a whole number that no USER_LEVEL row carries.
int32_t QueryUserLevel(const std::string& userId);

// The export ShowLogin: auto-purge, the dialog, and on success the new session.
bool ShowLogin(QWidget* owner, const std::string& userId, const std::string& password);

}  // namespace sec
