#include "ShellMessage.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "PlainNotice.h"
#include "tvGnHeader.h"

namespace {

int DefaultAnswer(int buttons) {
    if (buttons & tvBtnOK) return tvResOK;
    if (buttons & tvBtnYes) return tvResYes;
    if (buttons & tvBtnNo) return tvResNo;
    if (buttons & tvBtnCancel) return tvResCancel;
    return tvResOK;
}

int OwnBox(const std::string& text, int kind, int buttons) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
        return DefaultAnswer(buttons);
    }
    static const QMessageBox::Icon icons[] = {QMessageBox::Warning, QMessageBox::Critical,
                                              QMessageBox::Information, QMessageBox::Question};
    QMessageBox::StandardButtons standard;
    if (buttons & tvBtnYes) standard |= QMessageBox::Yes;
    if (buttons & tvBtnNo) standard |= QMessageBox::No;
    if (buttons & tvBtnOK) standard |= QMessageBox::Ok;
    if (buttons & tvBtnCancel) standard |= QMessageBox::Cancel;
    if (standard == QMessageBox::NoButton) standard = QMessageBox::Ok;
    QMessageBox box(kind >= 0 && kind <= 3 ? icons[kind] : QMessageBox::NoIcon,
                    QApplication::applicationDisplayName(), QString::fromLocal8Bit(text),
                    standard, QApplication::activeWindow());
    box.setObjectName("ShowMsg");
    switch (box.exec()) {
        case QMessageBox::Yes: return tvResYes;
        case QMessageBox::No: return tvResNo;
        case QMessageBox::Ok: return tvResOK;
        default: return tvResCancel;
    }
}

}  // namespace

int ShowMessage(const std::string& text, int kind, int buttons) {
    if (tvGn::Loaded()) {
        // 0: the library lacks the entry (the binding has said so on standard error).
        if (const int answer = tvGn::ShowMsg(text, kind, buttons, 0); answer != 0) return answer;
    }
    if (buttons == tvBtnOK) {
        tv::ShowPlainNotice(text);
        return tvResOK;
    }
    return OwnBox(text, kind, buttons);
}
