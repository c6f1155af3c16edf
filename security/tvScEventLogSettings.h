// The event log's auto-purge setting. Its texts are used as they stand.
#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace sec {

class TfrmEventLogSettings : public QDialog {
    Q_OBJECT

public:
    explicit TfrmEventLogSettings(QWidget* owner);

    QGroupBox* gbxAutoPurge;
    QRadioButton* rbnNoPurge;
    QRadioButton* rbnPurgeMonths;
    QLineEdit* edtMonths;
    QLabel* lblMonths;
    QPushButton* bbOK;
    QPushButton* bbCancel;
    QPushButton* bbHelp;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void rbnPurgeMonthsClick();
    void bbOKClick();

    bool shown_ = false;
};

}  // namespace sec
