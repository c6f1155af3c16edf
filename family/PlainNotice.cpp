#include "PlainNotice.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <cstdio>

namespace tv {

void ShowPlainNotice(const std::string& text) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr) {
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
        return;
    }
    const QString message = QString::fromLocal8Bit(text.c_str());
    auto show = [&message] {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), message,
                        QMessageBox::Ok, QApplication::activeWindow());
        box.setObjectName("PlainNotice");
        box.exec();
    };
    if (QThread::currentThread() == app->thread())
        show();
    else
        QMetaObject::invokeMethod(app, show, Qt::BlockingQueuedConnection);
}

}  // namespace tv
