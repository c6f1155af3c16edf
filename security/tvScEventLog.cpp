#include "tvScEventLog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <memory>

#include "tvDaHeader.h"
#include "tvScBusyCursor.h"
#include "tvScDataSetModel.h"
#include "tvScEventLogPurge.h"
#include "tvScEventLogSettings.h"
#include "tvScEvents.h"
#include "tvScTexts.h"

namespace sec {
TfrmEventLog::TfrmEventLog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      dbgEventLog(new QTableView(this)),
      dsEventLog(nullptr),
      lblTotalRec(new QLabel(this)),
      lblRecNo(new QLabel(this)),
      bbSetting(new QPushButton(this)),
      bbPurge(new QPushButton(this)),
      bbClose(new QPushButton(this)),
      bbHelp(new QPushButton(this)) {
    setObjectName("TfrmEventLog");
    dbgEventLog->setObjectName("dbgEventLog");
    lblTotalRec->setObjectName("lblTotalRec");
    lblRecNo->setObjectName("lblRecNo");
    bbSetting->setObjectName("bbSetting");
    bbPurge->setObjectName("bbPurge");
    bbClose->setObjectName("bbClose");
    bbHelp->setObjectName("bbHelp");
    setSizeGripEnabled(true);
    resize(767, 489);

    dsEventLog = new TvDataSetModel(
        {{"ID", Res("ID")},
         {"DATE_TIME_CREATED", Res("Date Time"), true},
         {"EVENT", Res("Event")},
         {"MODULE", Res("Module")},
         {"EVENT_TYPE", Res("Type")},
         {"USER_ID", Res("User ID")},
         {"COMPUTER", Res("Computer Name")}},
        this);
    dsEventLog->setObjectName("dsEventLog");
    dbgEventLog->setModel(dsEventLog);
    dbgEventLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbgEventLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgEventLog->verticalHeader()->setDefaultSectionSize(20);
    dbgEventLog->verticalHeader()->hide();
    const int widths[] = {26, 135, 265, 70, 60, 60, 87};
    for (int i = 0; i < 7; ++i) dbgEventLog->setColumnWidth(i, widths[i]);
    // The last column takes the rest of the width, so its title is never cut off.
    dbgEventLog->horizontalHeader()->setStretchLastSection(true);
    for (QPushButton* b : {bbSetting, bbPurge, bbClose, bbHelp}) b->setAutoDefault(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblTotalRec);
    bottom->addWidget(lblRecNo);
    bottom->addStretch();
    bottom->addWidget(bbSetting);
    bottom->addWidget(bbPurge);
    bottom->addWidget(bbClose);
    bottom->addWidget(bbHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dbgEventLog);
    layout->addLayout(bottom);

    connect(bbSetting, &QPushButton::clicked, this, &TfrmEventLog::bbSettingClick);
    connect(bbPurge, &QPushButton::clicked, this, &TfrmEventLog::bbPurgeClick);
    connect(bbClose, &QPushButton::clicked, this, &QDialog::accept);
    FormCreate();
}

TfrmEventLog::~TfrmEventLog() { FormClose(); }

void TfrmEventLog::FormCreate() {
    LogEvent(Res("Event Log started."));
    setWindowTitle(Res("Event Log"));
    lblTotalRec->setText(Res("Total Records:"));
    bbSetting->setText(QStringLiteral("&Setting"));
    bbPurge->setText(Res("&Purge"));
    bbClose->setText(Res("&Close"));
    bbClose->setToolTip(Res("Close the Event Log"));
    bbHelp->setText(Res("&Help"));
    Refresh(true);
}

void TfrmEventLog::Refresh(bool firstTime) {
    BusyCursor busy;
    if (!firstTime) {
        dsEventLog->SetDataSet(nullptr);
        dataset_.reset();
    }
    TvDataSet* dataset = nullptr;
    // Events written in the same instant keep the order in which they were written.
    tvDa::QueryRecordsEx(0, "SELECT * FROM EVENTLOG ORDER BY DATE_TIME_CREATED, ID", &dataset);
    dataset_.reset(dataset);
    dsEventLog->SetDataSet(dataset_.get());
    lblRecNo->setText(QString::number(dataset_ ? std::max(dataset_->RecordCount(), 0) : 0));
}

void TfrmEventLog::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TfrmEventLog::FormClose() {
    dsEventLog->SetDataSet(nullptr);
    dataset_.reset();
}

void TfrmEventLog::bbPurgeClick() {
    {
        auto dialog = std::make_unique<TfrmEventLogPurge>(this);
        dialog->exec();
    }
    Refresh(false);
}

void TfrmEventLog::bbSettingClick() {
    {
        auto dialog = std::make_unique<TfrmEventLogSettings>(this);
        dialog->exec();
    }
    Refresh(false);
}

void ShowEventLog(QWidget* owner) {
    {
        auto form = std::make_unique<TfrmEventLog>(owner);
        form->exec();
    }
    LogEvent(Res("Event Log closed."));
}

}  // namespace sec
