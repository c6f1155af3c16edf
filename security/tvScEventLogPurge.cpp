#include "tvScEventLogPurge.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <cstdlib>

#include "tvDaHeader.h"
#include "tvScBusyCursor.h"
#include "tvScDates.h"
#include "tvScEvents.h"
#include "tvScQuery.h"
#include "tvScMain.h"
#include "tvScTexts.h"

namespace sec {
namespace {

constexpr char kPurgeSeparator = '.';
constexpr const char* kPurgePattern = "yyyy.mm.dd";
// Up to nine digits, so that the lowest ID plus the count never overflows.
constexpr int kMaxCountDigits = 9;

QString LibraryDate(QDate date) { return FormatDate(date, ShortDateFormat, DateSeparator); }

}  // namespace

TfrmEventLogPurge::TfrmEventLogPurge(QWidget* owner)
    : QDialog(owner),
      rbAll(new QRadioButton(QStringLiteral("All Records"), this)),
      rbFirstRecords(new QRadioButton(QStringLiteral("First records of"), this)),
      edtFirstRecordNo(new QLineEdit(QStringLiteral("0"), this)),
      rbDates(new QRadioButton(QStringLiteral("Records from"), this)),
      dtpFrom(new QDateEdit(QDate::currentDate(), this)),
      lblTo(new QLabel(QStringLiteral("to"), this)),
      dtpTo(new QDateEdit(QDate::currentDate(), this)),
      bbPurge(new QPushButton(QStringLiteral("&Purge"), this)),
      bbClose(new QPushButton(QStringLiteral("&Close"), this)),
      bbHelp(new QPushButton(QStringLiteral("&Help"), this)) {
    setObjectName("TfrmEventLogPurge");
    rbAll->setObjectName("rbAll");
    rbFirstRecords->setObjectName("rbFirstRecords");
    edtFirstRecordNo->setObjectName("edtFirstRecordNo");
    rbDates->setObjectName("rbDates");
    dtpFrom->setObjectName("dtpFrom");
    lblTo->setObjectName("lblTo");
    dtpTo->setObjectName("dtpTo");
    bbPurge->setObjectName("bbPurge");
    bbClose->setObjectName("bbClose");
    bbHelp->setObjectName("bbHelp");
    setWindowTitle(QStringLiteral("Purge Event Log"));

    edtFirstRecordNo->setEnabled(false);
    edtFirstRecordNo->setMaxLength(kMaxCountDigits);
    // Typed keys are filtered below; the validator also keeps pasted text to digits.
    edtFirstRecordNo->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edtFirstRecordNo));
    edtFirstRecordNo->installEventFilter(this);
    edtFirstRecordNo->setMaximumWidth(90);
    for (QDateEdit* picker : {dtpFrom, dtpTo}) {
        picker->setCalendarPopup(true);
        picker->setEnabled(false);
    }
    bbPurge->setEnabled(false);
    for (QPushButton* b : {bbPurge, bbClose, bbHelp}) b->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(rbAll, 0, 0);
    grid->addWidget(rbFirstRecords, 1, 0);
    grid->addWidget(edtFirstRecordNo, 1, 1);
    grid->addWidget(rbDates, 2, 0);
    grid->addWidget(dtpFrom, 2, 1);
    grid->addWidget(lblTo, 2, 2);
    grid->addWidget(dtpTo, 2, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bbPurge);
    buttons->addWidget(bbClose);
    buttons->addWidget(bbHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(rbAll, &QRadioButton::clicked, this, &TfrmEventLogPurge::rbAllClick);
    connect(rbFirstRecords, &QRadioButton::clicked, this, &TfrmEventLogPurge::rbFirstRecordsClick);
    connect(rbDates, &QRadioButton::clicked, this, &TfrmEventLogPurge::rbDatesClick);
    connect(dtpFrom, &QDateEdit::dateChanged, this, &TfrmEventLogPurge::dtpFromChange);
    connect(bbPurge, &QPushButton::clicked, this, &TfrmEventLogPurge::bbPurgeClick);
    connect(bbClose, &QPushButton::clicked, this, &TfrmEventLogPurge::bbCloseClick);
    FormCreate();
}

TfrmEventLogPurge::~TfrmEventLogPurge() { FormClose(); }

void TfrmEventLogPurge::FormCreate() {
    LogEvent(QStringLiteral("Event Log Purge Dialog opened."));
}

void TfrmEventLogPurge::showEvent(QShowEvent* event) {
    if (!savedFormat_) FormShow();
    QDialog::showEvent(event);
}

void TfrmEventLogPurge::FormShow() {
    savedFormat_ = SavedDateFormat{DateSeparator, ShortDateFormat};
    DateSeparator = kPurgeSeparator;
    ShortDateFormat = kPurgePattern;
    const QString format = DateEditFormat(ShortDateFormat, DateSeparator);
    dtpFrom->setDisplayFormat(format);
    dtpTo->setDisplayFormat(format);
}

// Restores the library's date format; runs once, at close or at the latest when the
// dialog is destroyed.
void TfrmEventLogPurge::FormClose() {
    if (!savedFormat_) return;
    DateSeparator = savedFormat_->separator;
    ShortDateFormat = savedFormat_->pattern;
    savedFormat_.reset();
}

void TfrmEventLogPurge::done(int result) {
    // Every way of closing (the button, Esc, the window's close box) ends the dialog here,
    // so the "closed" event always follows the "opened" one.
    if (!closed_) {
        closed_ = true;
        LogEvent(QStringLiteral("Event Log Purge Dialog closed."));
        FormClose();
    }
    QDialog::done(result);
}

void TfrmEventLogPurge::bbCloseClick() { accept(); }

void TfrmEventLogPurge::rbAllClick() {
    dtpFrom->setEnabled(false);
    dtpTo->setEnabled(false);
    edtFirstRecordNo->setEnabled(false);
    bbPurge->setEnabled(true);
}

void TfrmEventLogPurge::rbFirstRecordsClick() {
    dtpFrom->setEnabled(false);
    dtpTo->setEnabled(false);
    edtFirstRecordNo->setEnabled(true);
    bbPurge->setEnabled(true);
}

void TfrmEventLogPurge::rbDatesClick() {
    edtFirstRecordNo->setEnabled(false);
    dtpFrom->setEnabled(true);
    dtpTo->setEnabled(true);
    bbPurge->setEnabled(true);
}

bool TfrmEventLogPurge::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtFirstRecordNo && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!edtFirstRecordNoKeyPress(key->text(), key->key())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

// True when the key may reach the field: digits and backspace, plus keys that type
// nothing (cursor movement, shortcuts such as copy).
bool TfrmEventLogPurge::edtFirstRecordNoKeyPress(const QString& typed, int key) {
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) return true;
    if (typed.isEmpty() || !typed.at(0).isPrint()) return true;
    return typed.size() == 1 && typed.at(0) >= '0' && typed.at(0) <= '9';
}

void TfrmEventLogPurge::dtpFromChange() { dtpTo->setDate(dtpFrom->date()); }

void TfrmEventLogPurge::EnableControls(bool enable) {
    for (QWidget* w : std::initializer_list<QWidget*>{bbPurge, bbClose, bbHelp, rbAll,
                                                      rbFirstRecords, rbDates})
        w->setEnabled(enable);
    edtFirstRecordNo->setEnabled(enable && rbFirstRecords->isChecked());
    dtpFrom->setEnabled(enable && rbDates->isChecked());
    dtpTo->setEnabled(enable && rbDates->isChecked());
}

void TfrmEventLogPurge::bbPurgeClick() {
    EnableControls(false);
    if (rbAll->isChecked())
        PurgeAll();
    else if (rbFirstRecords->isChecked())
        PurgeFirstRecords();
    else if (rbDates->isChecked())
        PurgeDates();
    EnableControls(true);
}

// The count of deleted rows as event and message; a failed deletion is reported as such.
void TfrmEventLogPurge::Report(int32_t deleted, const std::string& text) {
    if (deleted < 0) {
        LogEvent(QStringLiteral("Purging the Event Log failed."), kEventFailure);
        Fail(QStringLiteral("Purging the Event Log failed!"));
        return;
    }
    LogEvent(ToQ(text));
    Inform(ToQ(text));
}

void TfrmEventLogPurge::PurgeAll() {
    int32_t deleted = 0;
    {
        BusyCursor busy;
        // Written first and purged with the rest, so the count includes it.
        LogEvent(QStringLiteral("Purging all records from Event Log."));
        deleted = tvDa::UpdateRecords(0, "DELETE FROM EVENTLOG");
    }
    Report(deleted, std::to_string(deleted) + " records purged from Event Log.");
}

void TfrmEventLogPurge::PurgeFirstRecords() {
    const QString typed = edtFirstRecordNo->text();
    bool ok = false;
    const qint64 count = typed.toLongLong(&ok);
    if (typed.isEmpty() || !ok || count <= 0) {
        Warn(QStringLiteral("Number of first records to be purged cannot be blank or zero!"));
        edtFirstRecordNo->setEnabled(true);
        edtFirstRecordNo->setFocus();
        return;
    }
    int32_t deleted = -1;
    {
        BusyCursor busy;
        LogEvent(QStringLiteral("Purging first %1 records from Event Log.").arg(typed));
        // The rows below the lowest ID plus N: the N oldest when the IDs have no gaps.
        if (DataSetPtr lowest = Query("SELECT MIN(ID) FROM EVENTLOG")) {
            lowest->First();
            const char* text = nullptr;
            if (lowest->FieldTextAt(0, &text) == 1 && text != nullptr) {
                const std::string condition = "ID < " + std::to_string(std::strtoll(text, nullptr, 10) + count);
                deleted = tvDa::DeleteRecords(0, "EVENTLOG", condition.c_str());
            } else {
                deleted = 0;
            }
        }
    }
    Report(deleted, "First " + std::to_string(deleted) + " records purged from Event Log.");
}

void TfrmEventLogPurge::PurgeDates() {
    const QDate from = dtpFrom->date();
    const QDate to = dtpTo->date();
    if (to < from) {
        Warn(QStringLiteral("Date From must be earlier than Date To!"));
        dtpFrom->setEnabled(true);
        dtpFrom->setFocus();
        return;
    }
    const std::string fromText = ToS(LibraryDate(from));
    const std::string toText = ToS(LibraryDate(to));
    int32_t deleted = 0;
    {
        BusyCursor busy;
        LogEvent(ToQ("Purging records from " + fromText + " to " + toText + " fom Event Log."));
        // Whole days: every event of `to` goes too, whatever its time of day.
        const std::string condition = DayRangeCondition("DATE_TIME_CREATED", from, to);
        deleted = tvDa::DeleteRecords(0, "EVENTLOG", condition.c_str());
    }
    Report(deleted, std::to_string(deleted) + " records from " + fromText + " to " + toText +
                        " purged from Event Log.");
}

}  // namespace sec
