// The event log: NewEvent, the viewer, its purge dialog with the three modes, and the
// auto-purge setting, against a real EVENTLOG table.
#include <QAbstractItemModel>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include "SecurityTestKit.h"
#include "UiScript.h"

namespace sectest {
namespace {

using Strings = std::vector<std::string>;

class EventLogTest : public SecurityTest {
protected:
    // Opens the viewer, runs `steps`, then closes the viewer.
    void RunViewer(const std::function<void(UiScript&)>& steps) {
        UiScript ui;
        steps(ui);
        ui.OnWindow("TfrmEventLog", [](QWidget* viewer) { CloseLater(viewer, "bbClose"); });
        lib->ShowEventLog(nullptr);
        ui.ExpectFinished();
    }
};

void AddEvent(const std::string& when, const std::string& text) {
    ASSERT_EQ(Exec("INSERT INTO EVENTLOG (DATE_TIME_CREATED, EVENT) VALUES ('" + when + "', '" +
                   text + "')"),
              1);
}

void AddEventWithId(int id, const std::string& text) {
    ASSERT_EQ(Exec("INSERT INTO EVENTLOG (ID, EVENT) VALUES (" + std::to_string(id) + ", '" +
                   text + "')"),
              1);
}

QString Cell(QWidget* viewer, int row, int column) {
    QAbstractItemModel* model = Child<QTableView>(viewer, "dbgEventLog")->model();
    return model->data(model->index(row, column)).toString();
}

QRadioButton* Radio(QWidget* dialog, const char* name) { return Child<QRadioButton>(dialog, name); }
QLineEdit* Edit(QWidget* dialog, const char* name) { return Child<QLineEdit>(dialog, name); }
QDateEdit* Picker(QWidget* dialog, const char* name) { return Child<QDateEdit>(dialog, name); }

// The events the test put in (not those the dialogs write).
Strings Fixture(const std::string& prefix) {
    Strings kept;
    for (const std::string& text : EventTexts())
        if (text.rfind(prefix, 0) == 0) kept.push_back(text);
    return kept;
}

TEST_F(EventLogTest, NewEventWritesEveryColumn) {
    EXPECT_EQ(lib->NewEvent("It's caf\xC3\xA9", "Host", 7), 1);
    LoginAs("admin", "admin");
    EXPECT_EQ(lib->NewEvent("after login", "Host", 1), 1);
    const std::vector<EventRow> events = Events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].event, "It's caf\xC3\xA9");
    EXPECT_EQ(events[0].module, "Host");
    EXPECT_EQ(events[0].type, 7);
    EXPECT_EQ(events[0].user, "");
    EXPECT_EQ(events[0].computer, HostName());
    EXPECT_EQ(events[3].event, "after login");
    EXPECT_EQ(events[3].user, "admin");
}

TEST_F(EventLogTest, ViewerShowsEveryEventOldestFirstWithTheCount) {
    AddEvent("2005-03-18 08:00:00", "second");
    AddEvent("2005-03-17 10:00:00", "first");
    AddEvent("2005-03-19 09:00:00", "third");
    RunViewer([](UiScript& ui) {
        ui.OnWindow("TfrmEventLog", [](QWidget* viewer) {
            EXPECT_EQ(viewer->windowTitle(), "Event Log");
            EXPECT_EQ(viewer->size(), QSize(767, 489));
            QAbstractItemModel* model = Child<QTableView>(viewer, "dbgEventLog")->model();
            ASSERT_EQ(model->rowCount(), 4);
            Strings titles;
            for (int c = 0; c < model->columnCount(); ++c)
                titles.push_back(model->headerData(c, Qt::Horizontal).toString().toStdString());
            EXPECT_EQ(titles, (Strings{"ID", "Date Time", "Event", "Module", "Type", "User ID",
                                       "Computer Name"}));
            EXPECT_EQ(Cell(viewer, 0, 2), "first");
            EXPECT_EQ(Cell(viewer, 0, 1), "2005-03-17 10:00:00");
            EXPECT_EQ(Cell(viewer, 1, 2), "second");
            EXPECT_EQ(Cell(viewer, 2, 2), "third");
            EXPECT_EQ(Cell(viewer, 3, 2), "Event Log started.");
            EXPECT_EQ(Cell(viewer, 3, 3), "Security");
            EXPECT_EQ(Child<QLabel>(viewer, "lblRecNo")->text(), "4");
        });
    });
    EXPECT_EQ(Fixture("Event Log"), (Strings{"Event Log started.", "Event Log closed."}));
}

TEST_F(EventLogTest, PurgingAllCountsItsOwnEventAndLeavesOnlyTheReport) {
    std::string message;
    RunViewer([&](UiScript& ui) {
        ui.OnWindow("TfrmEventLog", [](QWidget* viewer) { ClickLater(viewer, "bbPurge"); })
            .OnWindow("TfrmEventLogPurge", [](QWidget* purge) {
                EXPECT_EQ(purge->windowTitle(), "Purge Event Log");
                for (const char* r : {"rbAll", "rbFirstRecords", "rbDates"})
                    EXPECT_FALSE(Radio(purge, r)->isChecked()) << r;
                EXPECT_FALSE(Child<QPushButton>(purge, "bbPurge")->isEnabled());
                EXPECT_FALSE(Edit(purge, "edtFirstRecordNo")->isEnabled());
                EXPECT_EQ(Edit(purge, "edtFirstRecordNo")->text(), "0");
                EXPECT_FALSE(Picker(purge, "dtpFrom")->isEnabled());
                // Ten rows at the moment of the purge, the dialogs' own events included.
                while (CountRows("SELECT ID FROM EVENTLOG") < 10) AddEvent("2010-01-01 00:00:00", "old");
                ASSERT_EQ(CountRows("SELECT ID FROM EVENTLOG"), 10);
                Radio(purge, "rbAll")->click();
                EXPECT_TRUE(Child<QPushButton>(purge, "bbPurge")->isEnabled());
                ClickLater(purge, "bbPurge");
            })
            .Answer(QMessageBox::Ok, &message)
            .OnWindow("TfrmEventLogPurge", [](QWidget* purge) {
                EXPECT_EQ(EventTexts(), (Strings{"11 records purged from Event Log."}));
                EXPECT_TRUE(Child<QPushButton>(purge, "bbPurge")->isEnabled());
                CloseLater(purge, "bbClose");
            })
            .OnWindowWhen(
                "TfrmEventLog",
                // Reloaded after the dialog: the report and the dialog's closing event.
                [](QWidget* viewer) { return Child<QLabel>(viewer, "lblRecNo")->text() == "2"; },
                [](QWidget* viewer) { EXPECT_EQ(Cell(viewer, 0, 2), "11 records purged from Event Log."); });
    });
    EXPECT_EQ(message, "11 records purged from Event Log.");
}

TEST_F(EventLogTest, FirstRecordsPurgeBelowTheLowestIdPlusN) {
    const struct {
        std::vector<int> ids;
        const char* report;
        std::vector<int> kept;
    } cases[] = {
        {{100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110},
         "First 5 records purged from Event Log.",
         {105, 106, 107, 108, 109, 110}},
        // With gaps in the identities, fewer rows lie below the bound.
        {{100, 102, 104, 106, 108, 110}, "First 3 records purged from Event Log.", {106, 108, 110}},
    };
    for (const auto& c : cases) {
        ASSERT_GE(Exec("DELETE FROM EVENTLOG"), 0);
        // The dialogs' own events come after the fixture rows.
        ASSERT_GE(Exec("ALTER TABLE EVENTLOG ALTER COLUMN ID RESTART WITH 1000"), 0);
        for (int id : c.ids) AddEventWithId(id, "row " + std::to_string(id));
        std::string message;
        RunViewer([&](UiScript& ui) {
            ui.OnWindow("TfrmEventLog", [](QWidget* viewer) { ClickLater(viewer, "bbPurge"); })
                .OnWindow("TfrmEventLogPurge", [](QWidget* purge) {
                    Radio(purge, "rbFirstRecords")->click();
                    QLineEdit* count = Edit(purge, "edtFirstRecordNo");
                    ASSERT_TRUE(count->isEnabled());
                    count->clear();
                    QTest::keyClicks(count, "x5!");  // only digits get in
                    EXPECT_EQ(count->text(), "5");
                    ClickLater(purge, "bbPurge");
                })
                .Answer(QMessageBox::Ok, &message)
                .OnWindow("TfrmEventLogPurge", [](QWidget* purge) { CloseLater(purge, "bbClose"); });
        });
        EXPECT_EQ(message, c.report);
        std::vector<int> kept;
        for (const EventRow& row : Events())
            if (row.id < 1000) kept.push_back(static_cast<int>(row.id));
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(Fixture("Purging first"), (Strings{"Purging first 5 records from Event Log."}));
    }
}

TEST_F(EventLogTest, FirstRecordsRefuseBlankAndZero) {
    for (int id = 0; id < 3; ++id) AddEvent("2010-01-01 00:00:00", "old");
    RunViewer([](UiScript& ui) {
        ui.OnWindow("TfrmEventLog", [](QWidget* viewer) { ClickLater(viewer, "bbPurge"); })
            .OnWindow("TfrmEventLogPurge", [](QWidget* purge) { Radio(purge, "rbFirstRecords")->click(); });
        for (const char* typed : {"", "0", "00"}) {
            auto message = std::make_shared<std::string>();
            ui.OnWindow("TfrmEventLogPurge", [typed](QWidget* purge) {
                  Edit(purge, "edtFirstRecordNo")->setText(typed);
                  ClickLater(purge, "bbPurge");
              })
                .Answer(QMessageBox::Ok, message.get())
                .OnWindow("TfrmEventLogPurge", [typed, message](QWidget* purge) {
                    EXPECT_EQ(*message, "Number of first records to be purged cannot be blank or zero!")
                        << '"' << typed << '"';
                    EXPECT_TRUE(Edit(purge, "edtFirstRecordNo")->isEnabled());
                    EXPECT_EQ(purge->focusWidget(), Edit(purge, "edtFirstRecordNo"));
                });
        }
        ui.OnWindow("TfrmEventLogPurge", [](QWidget* purge) { CloseLater(purge, "bbClose"); });
    });
    EXPECT_EQ(Fixture("old").size(), 3u);
    EXPECT_TRUE(Fixture("Purging").empty()) << "a refusal logs nothing";
}

TEST_F(EventLogTest, DateRangePurgesTheWholeDaysFromFirstToLast) {
    AddEvent("2005-03-16 23:59:59", "before");
    AddEvent("2005-03-17 00:00:00", "from at midnight");
    AddEvent("2005-03-17 13:00:00", "from at noon");
    AddEvent("2005-03-18 23:59:59", "to at the end");
    AddEvent("2005-03-19 00:00:00", "next day at midnight");
    AddEvent("2005-03-19 18:00:00", "next day evening");
    std::string range, sameDay, refused;
    RunViewer([&](UiScript& ui) {
        ui.OnWindow("TfrmEventLog", [](QWidget* viewer) {
              EXPECT_EQ(Cell(viewer, 0, 1), "2005-03-16 23:59:59");
              ClickLater(viewer, "bbPurge");
          })
            .OnWindow("TfrmEventLogPurge", [](QWidget* purge) {
                Radio(purge, "rbDates")->click();
                EXPECT_EQ(Picker(purge, "dtpFrom")->displayFormat(), "yyyy.MM.dd");
                // Choosing the first day moves the last one along.
                Picker(purge, "dtpFrom")->setDate(QDate(2005, 3, 17));
                EXPECT_EQ(Picker(purge, "dtpTo")->date(), QDate(2005, 3, 17));
                Picker(purge, "dtpTo")->setDate(QDate(2005, 3, 16));
                ClickLater(purge, "bbPurge");
            })
            .Answer(QMessageBox::Ok, &refused)
            .OnWindow("TfrmEventLogPurge", [](QWidget* purge) {
                EXPECT_EQ(purge->focusWidget(), Picker(purge, "dtpFrom"));
                EXPECT_EQ(Fixture("before").size(), 1u);
                Picker(purge, "dtpTo")->setDate(QDate(2005, 3, 18));
                ClickLater(purge, "bbPurge");
            })
            .Answer(QMessageBox::Ok, &range)
            .OnWindow("TfrmEventLogPurge", [](QWidget* purge) {
                // One day only: every event of it, not just the one at midnight.
                Picker(purge, "dtpFrom")->setDate(QDate(2005, 3, 19));
                ClickLater(purge, "bbPurge");
            })
            .Answer(QMessageBox::Ok, &sameDay)
            .OnWindow("TfrmEventLogPurge", [](QWidget* purge) { CloseLater(purge, "bbClose"); })
            .OnWindow("TfrmEventLog", [](QWidget* viewer) {
                // The library writes dates as before the purge dialog opened.
                EXPECT_EQ(Cell(viewer, 0, 1), "2005-03-16 23:59:59");
            });
    });
    EXPECT_EQ(refused, "Date From must be earlier than Date To!");
    EXPECT_EQ(range, "3 records from 2005.03.17 to 2005.03.18 purged from Event Log.");
    EXPECT_EQ(sameDay, "2 records from 2005.03.19 to 2005.03.19 purged from Event Log.");
    EXPECT_EQ(Fixture("before"), (Strings{"before"}));
    for (const char* gone : {"from", "to at", "next day"}) EXPECT_TRUE(Fixture(gone).empty()) << gone;
    EXPECT_EQ(Fixture("Purging records"),
              (Strings{"Purging records from 2005.03.17 to 2005.03.18 fom Event Log.",
                       "Purging records from 2005.03.19 to 2005.03.19 fom Event Log."}));
}

TEST_F(EventLogTest, AFailedPurgeIsReportedAsAFailure) {
    ASSERT_GE(Exec("CREATE EXCEPTION SEC_TEST_NO_PURGE 'purge blocked'"), 0);
    ASSERT_GE(Exec("CREATE TRIGGER SEC_TEST_NO_PURGE_T FOR EVENTLOG BEFORE DELETE AS "
                   "BEGIN EXCEPTION SEC_TEST_NO_PURGE; END"),
              0);
    AddEvent("2010-01-01 00:00:00", "old");
    std::string message;
    RunViewer([&](UiScript& ui) {
        ui.OnWindow("TfrmEventLog", [](QWidget* viewer) { ClickLater(viewer, "bbPurge"); })
            .OnWindow("TfrmEventLogPurge", [](QWidget* purge) {
                Radio(purge, "rbAll")->click();
                ClickLater(purge, "bbPurge");
            })
            .Answer(QMessageBox::Ok, &message)
            .OnWindow("TfrmEventLogPurge", [](QWidget* purge) { CloseLater(purge, "bbClose"); });
    });
    Exec("DROP TRIGGER SEC_TEST_NO_PURGE_T");
    Exec("DROP EXCEPTION SEC_TEST_NO_PURGE");
    EXPECT_EQ(message, "Purging the Event Log failed!");
    EXPECT_EQ(Fixture("old").size(), 1u);
    bool failureLogged = false;
    for (const EventRow& row : Events())
        if (row.event == "Purging the Event Log failed." && row.type == 3) failureLogged = true;
    EXPECT_TRUE(failureLogged);
    EXPECT_TRUE(Fixture("-1 records").empty());
}

TEST_F(EventLogTest, SettingsRoundTrip) {
    std::string refused;
    RunViewer([&](UiScript& ui) {
        ui.OnWindow("TfrmEventLog", [](QWidget* viewer) { ClickLater(viewer, "bbSetting"); })
            .OnWindow("TfrmEventLogSettings", [](QWidget* settings) {
                EXPECT_EQ(settings->windowTitle(), "Event Log Settings");
                EXPECT_TRUE(Radio(settings, "rbnNoPurge")->isChecked());
                EXPECT_FALSE(Edit(settings, "edtMonths")->isEnabled());
                Radio(settings, "rbnPurgeMonths")->click();
                EXPECT_TRUE(Edit(settings, "edtMonths")->isEnabled());
                Edit(settings, "edtMonths")->setText("6");
                CloseLater(settings, "bbOK");
            })
            .OnWindow("TfrmEventLog", [](QWidget* viewer) {
                EXPECT_EQ(Setting("EVENTLOG_RECORDS_EXPIRY_MONTHS"), "6");
                ClickLater(viewer, "bbSetting");
            })
            .OnWindow("TfrmEventLogSettings", [](QWidget* settings) {
                EXPECT_TRUE(Radio(settings, "rbnPurgeMonths")->isChecked());
                EXPECT_EQ(Edit(settings, "edtMonths")->text(), "6");
                Edit(settings, "edtMonths")->setText("six");
                ClickLater(settings, "bbOK");  // refused: the dialog stays
            })
            .Answer(QMessageBox::Ok, &refused)
            .OnWindow("TfrmEventLogSettings", [](QWidget* settings) {
                EXPECT_EQ(Setting("EVENTLOG_RECORDS_EXPIRY_MONTHS"), "6");
                Radio(settings, "rbnNoPurge")->click();
                CloseLater(settings, "bbOK");
            })
            .OnWindow("TfrmEventLog", [](QWidget* viewer) {
                EXPECT_EQ(Setting("EVENTLOG_RECORDS_EXPIRY_MONTHS"), "-1");
                ClickLater(viewer, "bbSetting");
            })
            .OnWindow("TfrmEventLogSettings", [](QWidget* settings) {
                EXPECT_TRUE(Radio(settings, "rbnNoPurge")->isChecked());
                Radio(settings, "rbnPurgeMonths")->click();
                CloseLater(settings, "bbCancel");
            });
    });
    EXPECT_EQ(refused, "The number of months must be a whole number of 0 or more!");
    EXPECT_EQ(Setting("EVENTLOG_RECORDS_EXPIRY_MONTHS"), "-1") << "Cancel saves nothing";
}

}  // namespace
}  // namespace sectest

int main(int argc, char** argv) { return sectest::RunSecurityTests(argc, argv); }
