// Purging the event log: all events, the first N, or the events of a range of days.
// Its texts are used as they stand. While it is open the library writes dates as
// yyyy.mm.dd.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace sec {

class TfrmEventLogPurge : public QDialog {
    Q_OBJECT

public:
    explicit TfrmEventLogPurge(QWidget* owner);
    ~TfrmEventLogPurge() override;

    QRadioButton* rbAll;
    QRadioButton* rbFirstRecords;
    QLineEdit* edtFirstRecordNo;
    QRadioButton* rbDates;
    QDateEdit* dtpFrom;
    QLabel* lblTo;
    QDateEdit* dtpTo;
    QPushButton* bbPurge;
    QPushButton* bbClose;
    QPushButton* bbHelp;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void rbAllClick();
    void rbFirstRecordsClick();
    void rbDatesClick();
    bool edtFirstRecordNoKeyPress(const QString& typed, int key);
    void dtpFromChange();
    void EnableControls(bool enable);
    void bbPurgeClick();
    void bbCloseClick();

    void PurgeAll();
    void PurgeFirstRecords();
    void PurgeDates();
    void Report(int32_t deleted, const std::string& text);

    // The library's date format from before the dialog was shown; restored at close.
    struct SavedDateFormat {
        char separator;
        std::string pattern;
    };
    std::optional<SavedDateFormat> savedFormat_;
    bool closed_ = false;
};

}  // namespace sec
