// The event-log viewer: every event, oldest first, with purge and settings.
#pragma once

#include <QDialog>

#include "tvScQuery.h"

class QLabel;
class QPushButton;
class QTableView;

namespace sec {

class TvDataSetModel;

class TfrmEventLog : public QDialog {
    Q_OBJECT

public:
    explicit TfrmEventLog(QWidget* owner);
    ~TfrmEventLog() override;

    QTableView* dbgEventLog;
    TvDataSetModel* dsEventLog;
    QLabel* lblTotalRec;
    QLabel* lblRecNo;
    QPushButton* bbSetting;
    QPushButton* bbPurge;
    QPushButton* bbClose;
    QPushButton* bbHelp;

    // Reloads every event; the dataset shown so far is released first.
    void Refresh(bool firstTime);

    void done(int result) override;

private:
    void FormCreate();
    void FormClose();
    void bbPurgeClick();
    void bbSettingClick();

    DataSetPtr dataset_;  // owned; the grid shows it through dsEventLog
};

// The export ShowEventLog.
void ShowEventLog(QWidget* owner);

}  // namespace sec
