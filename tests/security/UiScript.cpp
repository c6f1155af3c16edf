#include "UiScript.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <memory>

namespace sectest {
namespace {

constexpr int kTickMs = 10;
constexpr int kStepTimeoutMs = 10000;

// Clicks posted but not yet delivered, and windows a click is closing but that still
// exist. No step runs while one is pending: a window closed by a click is destroyed only
// after the code that showed it has gone on to its next event loop, so the next step sees
// everything that code did after the window closed.
int pendingClicks = 0;

// Holds the script until `window` is destroyed.
void HoldUntilDestroyed(QObject* window) {
    ++pendingClicks;
    QObject::connect(window, &QObject::destroyed, qApp, [] {
        if (pendingClicks > 0) --pendingClicks;
    });
}

}  // namespace

QWidget* FindWindow(const QString& objectName) {
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == objectName) found = w;
    return found;
}

void ClickLater(QAbstractButton* button) {
    if (button == nullptr) return;
    ++pendingClicks;
    QMetaObject::invokeMethod(
        qApp,
        [target = QPointer<QAbstractButton>(button)] {
            --pendingClicks;  // before the click: it may open a window the next step handles
            if (target) target->click();
        },
        Qt::QueuedConnection);
}

void ClickLater(QWidget* window, const char* buttonName) {
    ClickLater(Child<QAbstractButton>(window, buttonName));
}

void CloseLater(QWidget* window, const char* buttonName) {
    QAbstractButton* button = Child<QAbstractButton>(window, buttonName);
    if (button == nullptr) return;
    HoldUntilDestroyed(window);
    ClickLater(button);
}

UiScript::UiScript() {
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &UiScript::Tick);
    timer_.start();
}

UiScript::~UiScript() = default;

UiScript& UiScript::Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

UiScript& UiScript::OnWindow(const QString& objectName, std::function<void(QWidget*)> act) {
    return Then([objectName, act] {
        QWidget* window = FindWindow(objectName);
        if (window == nullptr) return false;
        act(window);
        return true;
    });
}

UiScript& UiScript::OnWindowWhen(const QString& objectName, std::function<bool(QWidget*)> ready,
                                 std::function<void(QWidget*)> act) {
    return Then([objectName, ready, act] {
        QWidget* window = FindWindow(objectName);
        if (window == nullptr || !ready(window)) return false;
        act(window);
        return true;
    });
}

UiScript& UiScript::Answer(QMessageBox::StandardButton button, std::string* text) {
    return Then([button, text] {
        auto* box = qobject_cast<QMessageBox*>(FindWindow("ShowMsg"));
        if (box == nullptr) return false;
        if (text != nullptr) *text = box->text().toStdString();
        QAbstractButton* b = box->button(button);
        if (b == nullptr) {
            ADD_FAILURE() << "message without the expected button: " << box->text().toStdString();
            box->reject();
        } else {
            HoldUntilDestroyed(box);
            ClickLater(b);
        }
        return true;
    });
}

UiScript& UiScript::AnswerNotice(std::string* text) {
    return Then([text] {
        auto* box = qobject_cast<QMessageBox*>(FindWindow("PlainNotice"));
        if (box == nullptr) return false;
        if (text != nullptr) *text = box->text().toStdString();
        HoldUntilDestroyed(box);
        ClickLater(box->button(QMessageBox::Ok));
        return true;
    });
}

UiScript& UiScript::Wait(int ms) {
    auto clock = std::make_shared<QElapsedTimer>();
    return Then([clock, ms] {
        if (!clock->isValid()) clock->start();
        return clock->elapsed() >= ms;
    });
}

void UiScript::Tick() {
    if (aborted_) {
        Abort();
        return;
    }
    if (steps_.empty()) return;
    if (pendingClicks == 0 && steps_.front()()) {
        steps_.pop_front();
        waitedMs_ = 0;
        return;
    }
    waitedMs_ += kTickMs;
    if (waitedMs_ > kStepTimeoutMs) {
        ADD_FAILURE() << "a window step timed out; " << steps_.size() << " step(s) left";
        aborted_ = true;
        Abort();
    }
}

// Closes every modal window so that the blocked call returns and the test can fail.
void UiScript::Abort() {
    steps_.clear();
    pendingClicks = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog != nullptr && dialog->isVisible())
            dialog->reject();
}

void UiScript::ExpectFinished() {
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " window step(s) never ran";
    EXPECT_FALSE(aborted_);
}

}  // namespace sectest
