// ShowMsg as a real box on the offscreen platform, answered by the test: icons, buttons
// and answers, Esc, and calls from worker threads while the main thread keeps running.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>

#include "tvGeneralApi.h"

namespace {

constexpr QMessageBox::StandardButton kEscape = QMessageBox::NoButton;  // press Esc instead

class ShowMsgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        app_ = new QApplication(argc_, argv_);
        QApplication::setApplicationDisplayName("Quillon Test");
    }
    static void TearDownTestSuite() {
        delete app_;
        app_ = nullptr;
    }

    // Polls the main thread's windows for "ShowMsg" boxes and hands each new one to
    // `answer`, which returns true when it has answered it. Stops after `boxes` answers.
    static void AnswerBoxes(int boxes, std::function<bool(QMessageBox*)> answer) {
        auto* timer = new QTimer(app_);
        auto handled = std::make_shared<QSet<QMessageBox*>>();
        QObject::connect(timer, &QTimer::timeout, timer, [=] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (box == nullptr || box->objectName() != "ShowMsg" || !box->isVisible() ||
                    handled->contains(box))
                    continue;
                if (answer(box)) handled->insert(box);
            }
            if (handled->size() >= boxes) timer->deleteLater();
        });
        timer->start(10);
    }

    static void Press(QMessageBox* box, QMessageBox::StandardButton button) {
        if (button == kEscape)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(button)->click();
    }

    static inline int argc_ = 1;
    static inline char name_[] = "tvGeneral_msgbox_test";
    static inline char* argv_[] = {name_, nullptr};
    static inline QApplication* app_ = nullptr;
};

TEST_F(ShowMsgTest, ShowsTheAskedButtonsAndReturnsThePressedOne) {
    using B = QMessageBox;
    struct Case {
        int kind; int buttons; QMessageBox::StandardButton press; int answer;
        QMessageBox::StandardButtons shown; QMessageBox::StandardButton byDefault;
        QMessageBox::Icon icon;
    };
    const Case cases[] = {
        {tvMsgWarning, tvBtnOK, B::Ok, tvResOK, B::Ok, B::Ok, B::Warning},
        {tvMsgError, tvBtnYes | tvBtnCancel, B::Yes, tvResYes, B::Yes | B::Cancel, B::Yes, B::Critical},
        {tvMsgConfirmation, tvBtnYes | tvBtnCancel, B::Cancel, tvResCancel, B::Yes | B::Cancel, B::Yes, B::Question},
        {tvMsgConfirmation, tvBtnYes | tvBtnNo, B::No, tvResNo, B::Yes | B::No, B::Yes, B::Question},
        {tvMsgInformation, tvBtnYes | tvBtnNo | tvBtnCancel, B::Cancel, tvResCancel, B::Yes | B::No | B::Cancel, B::Yes, B::Information},
        {tvMsgConfirmation, tvBtnYes | tvBtnNo | tvBtnCancel, B::Yes, tvResYes, B::Yes | B::No | B::Cancel, B::Yes, B::Question},
        // Esc (or closing the window) gives the most cautious answer offered.
        {tvMsgConfirmation, tvBtnYes | tvBtnNo, kEscape, tvResNo, B::Yes | B::No, B::Yes, B::Question},
        {tvMsgConfirmation, tvBtnYes | tvBtnNo | tvBtnCancel, kEscape, tvResCancel, B::Yes | B::No | B::Cancel, B::Yes, B::Question},
        {tvMsgInformation, tvBtnOK, kEscape, tvResOK, B::Ok, B::Ok, B::Information},
        // No button asked for: an OK button, so that the box can be closed.
        {tvMsgWarning, 0, B::Ok, tvResOK, B::Ok, B::Ok, B::Warning},
        {42, tvBtnOK, B::Ok, tvResOK, B::Ok, B::Ok, B::NoIcon},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " buttons " << c.buttons
                                        << " press " << c.press);
        bool seen = false;
        AnswerBoxes(1, [&](QMessageBox* box) {
            seen = true;
            EXPECT_EQ(box->windowTitle(), "Quillon Test");
            EXPECT_EQ(box->text(), "Remove <all> files?");
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButtons(), c.shown);
            EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(c.byDefault));
            Press(box, c.press);
            return true;
        });
        EXPECT_EQ(ShowMsg("Remove <all> files?", c.kind, c.buttons, 0), c.answer);
        EXPECT_TRUE(seen);
    }
}

TEST_F(ShowMsgTest, WorkerThreadsWaitWhileTheMainThreadShowsTheirBoxes) {
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(5);

    std::atomic<int> answerA{0}, answerB{0};
    std::thread workerA([&] { answerA = ShowMsg("Delete channel A?", tvMsgConfirmation,
                                                tvBtnYes | tvBtnNo, 0); });
    std::thread workerB([&] { answerB = ShowMsg("Stop channel B?", tvMsgConfirmation,
                                                tvBtnYes | tvBtnCancel, 0); });

    // Answer only once both boxes are up and the main loop has kept ticking under them.
    QList<QMessageBox*> boxes;
    int ticksAtFirstBox = -1;
    bool workersWaited = false;
    AnswerBoxes(2, [&](QMessageBox* box) {
        if (!boxes.contains(box)) boxes.append(box);
        if (ticksAtFirstBox < 0) ticksAtFirstBox = ticks;
        if (boxes.size() < 2 || ticks < ticksAtFirstBox + 5) return false;
        EXPECT_EQ(box->thread(), QApplication::instance()->thread());
        workersWaited = answerA == 0 && answerB == 0;
        Press(box, box->text() == "Delete channel A?" ? QMessageBox::No : QMessageBox::Cancel);
        return true;
    });

    // A guard against hanging, not a speed check.
    const bool finished = QTest::qWaitFor([&] { return answerA != 0 && answerB != 0; }, 20000);
    workerA.join();
    workerB.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(answerA, tvResNo);
    EXPECT_EQ(answerB, tvResCancel);
    EXPECT_EQ(boxes.size(), 2);
    EXPECT_TRUE(workersWaited) << "a worker returned before its box was answered";
    EXPECT_GE(ticks, ticksAtFirstBox + 5);
}

}  // namespace
