// The logged-in user's password change.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace sec {

class TChangePasswordDlg : public QDialog {
    Q_OBJECT

public:
    TChangePasswordDlg(QWidget* owner, std::string userId);

    QLabel* lblInstruction1;
    QLabel* lblCurPwd;
    QLineEdit* edtCurPwd;
    QLabel* lblInstruction2;
    QLabel* lblNewPwd;
    QLineEdit* edtNewPwd;
    QLabel* lblConfirmPwd;
    QLineEdit* edtConfirmPwd;
    QPushButton* bbChange;
    QPushButton* bbCancel;

private:
    void FormCreate();
    void OKBtnClick();

    std::string userId_;  // the session user when the dialog was opened
};

// The export ShowChangePassword.
void ShowChangePassword(QWidget* owner);

}  // namespace sec
