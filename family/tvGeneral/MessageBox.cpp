#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <cstdio>
#include <string>

#include "tvGeneralApi.h"

namespace tvgeneral {
namespace {

struct ButtonInfo {
    int flag;
    QMessageBox::StandardButton button;
    int answer;
};
constexpr ButtonInfo kButtons[] = {
    {tvBtnYes, QMessageBox::Yes, tvResYes},
    {tvBtnNo, QMessageBox::No, tvResNo},
    {tvBtnOK, QMessageBox::Ok, tvResOK},
    {tvBtnCancel, QMessageBox::Cancel, tvResCancel},
};

int Effective(int buttons) {
    buttons &= tvBtnYes | tvBtnNo | tvBtnOK | tvBtnCancel;
    return buttons == 0 ? tvBtnOK : buttons;
}

// The first button of `order` that the set holds.
int FirstOffered(int buttons, std::initializer_list<int> order) {
    buttons = Effective(buttons);
    for (const int flag : order)
        if ((buttons & flag) != 0)
            for (const ButtonInfo& info : kButtons)
                if (info.flag == flag) return info.answer;
    return tvResOK;  // not reached: Effective() always leaves a button
}

QMessageBox::StandardButton ButtonFor(int answer) {
    for (const ButtonInfo& info : kButtons)
        if (info.answer == answer) return info.button;
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(int kind) {
    switch (kind) {
        case tvMsgWarning: return QMessageBox::Warning;
        case tvMsgError: return QMessageBox::Critical;
        case tvMsgInformation: return QMessageBox::Information;
        case tvMsgConfirmation: return QMessageBox::Question;
        default: return QMessageBox::NoIcon;
    }
}

// Main thread only.
int RunBox(const QString& text, int kind, int buttons) {
    buttons = Effective(buttons);
    // On the heap and watched: the parent window may be closed (and the box with it) from
    // the box's own event loop.
    QPointer<QMessageBox> box = new QMessageBox(IconOf(kind), QApplication::applicationDisplayName(),
                                                text, QMessageBox::NoButton,
                                                QApplication::activeWindow());
    box->setObjectName("ShowMsg");
    box->setTextFormat(Qt::PlainText);  // file names and rule texts may hold '<'
    for (const ButtonInfo& info : kButtons)
        if ((buttons & info.flag) != 0) box->addButton(info.button);
    box->setDefaultButton(ButtonFor(DefaultAnswer(buttons)));
    box->setEscapeButton(box->button(ButtonFor(EscapeAnswer(buttons))));
    box->exec();

    int answer = EscapeAnswer(buttons);
    if (box) {
        const QMessageBox::StandardButton pressed = box->standardButton(box->clickedButton());
        for (const ButtonInfo& info : kButtons)
            if (info.button == pressed) answer = info.answer;
        delete box.data();
    }
    return answer;
}

void WriteLine(std::string_view text) {
    std::string line;
    line.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            while (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n')) ++i;
            line += ' ';
        } else {
            line += text[i];
        }
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

int DefaultAnswer(int buttons) {
    return FirstOffered(buttons, {tvBtnOK, tvBtnYes, tvBtnNo, tvBtnCancel});
}

int EscapeAnswer(int buttons) {
    return FirstOffered(buttons, {tvBtnCancel, tvBtnNo, tvBtnOK, tvBtnYes});
}

int ShowMessage(std::string_view text, int kind, int buttons) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr || QCoreApplication::closingDown()) {
        WriteLine(text);
        return DefaultAnswer(buttons);
    }
    const QString message = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
    if (QThread::currentThread() == app->thread()) return RunBox(message, kind, buttons);

    // Should the main thread drop the call (the application ends first), Qt still releases
    // this thread, which then takes the cautious answer.
    int answer = EscapeAnswer(buttons);
    QMetaObject::invokeMethod(
        app, [&] { answer = RunBox(message, kind, buttons); }, Qt::BlockingQueuedConnection);
    return answer;
}

}  // namespace tvgeneral
