// Drives the modal windows that a blocking call opens: a list of steps run one at a time
// from a timer, which keeps firing inside every nested event loop. A step waits until
// its window is on screen, acts, and the next one starts. Buttons are clicked through the
// event queue, so a click that opens another modal window never blocks the script; after
// a click that closes a window (CloseLater, answering a message) the script goes on only
// once that window is destroyed.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>

namespace sectest {

// The visible window (top-level widget) of that object name opened last, or null.
QWidget* FindWindow(const QString& objectName);

// A named child of the given class; records a test failure and returns null when missing.
template <typename T>
T* Child(QWidget* window, const char* name) {
    T* child = window != nullptr ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (child == nullptr) ADD_FAILURE() << "no child " << name;
    return child;
}

// Clicks the button from the event queue (the click may open a modal window).
void ClickLater(QAbstractButton* button);
void ClickLater(QWidget* window, const char* buttonName);
// Clicks a button that closes its window; the script waits until the window is gone.
void CloseLater(QWidget* window, const char* buttonName);

class UiScript : public QObject {
public:
    // A step returns true when it is done, false to be tried again at the next tick.
    using Step = std::function<bool()>;

    UiScript();
    ~UiScript() override;

    UiScript& Then(Step step);
    // Waits for the window of that object name and runs `act` on it once.
    UiScript& OnWindow(const QString& objectName, std::function<void(QWidget*)> act);
    // The same, once `ready` holds for the window (for a window that is on screen already
    // and changes later, e.g. reloads after a dialog over it closed).
    UiScript& OnWindowWhen(const QString& objectName, std::function<bool(QWidget*)> ready,
                           std::function<void(QWidget*)> act);
    // Waits for a message box of the general library ("ShowMsg"), stores its text and
    // presses `button`.
    UiScript& Answer(QMessageBox::StandardButton button, std::string* text = nullptr);
    // The same for a plain notice of the family bindings ("PlainNotice").
    UiScript& AnswerNotice(std::string* text = nullptr);
    // Lets `ms` milliseconds pass (to see that nothing appears by itself).
    UiScript& Wait(int ms);

    // Records a failure when steps are left or a step timed out.
    void ExpectFinished();
    bool Finished() const { return steps_.empty(); }

private:
    void Tick();
    void Abort();

    std::deque<Step> steps_;
    QTimer timer_;
    int waitedMs_ = 0;
    bool aborted_ = false;
};

}  // namespace sectest
