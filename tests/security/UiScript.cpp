#include "UiScript.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <memory>

namespace sectest {
namespace {

constexpr int kTickMs = 10;
constexpr int kStepTimeoutMs = 10000;

}  // namespace

QWidget* FindWindow(const QString& objectName) {
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == objectName) found = w;
    return found;
}

void ClickLater(QAbstractButton* button) {
    if (button == nullptr) return;
    QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
}

void ClickLater(QWidget* window, const char* buttonName) {
    ClickLater(Child<QAbstractButton>(window, buttonName));
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
    if (steps_.front()()) {
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
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog != nullptr && dialog->isVisible())
            dialog->reject();
}

void UiScript::ExpectFinished() {
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " window step(s) never ran";
    EXPECT_FALSE(aborted_);
}

}  // namespace sectest
