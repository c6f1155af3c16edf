// Takes screenshots of the login dialog, the permission manager and the event-log viewer
// as a host program shows them, for a look by eye (run under xvfb-run; not a test).
//
//   security_screenshots DATABASE OUTPUT_FOLDER
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QDialog>
#include <cstdio>
#include <functional>
#include <string>

#include "tvDaHeader.h"
#include "tvGnHeader.h"
#include "tvScHeader.h"

namespace {

// When the window `name` shows: prepares it, waits for it to paint, saves the screen
// pixels of it to `file`, and closes it.
void ShootWhenShown(const QString& name, const QString& file,
                    std::function<void(QWidget*)> prepare) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [=] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->objectName() != name) continue;
            timer->stop();
            timer->deleteLater();
            prepare(w);
            QTimer::singleShot(500, w, [w, file] {
                const QPixmap shot = w->screen()->grabWindow(w->winId());
                std::printf("%s %s %dx%d\n", file.toUtf8().constData(),
                            shot.save(file) ? "saved" : "NOT saved", shot.width(), shot.height());
                qobject_cast<QDialog*>(w)->reject();
            });
            return;
        }
    });
    timer->start(20);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATABASE OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    QWidget window;
    window.setWindowTitle("Host");
    window.resize(900, 640);
    window.show();
    if (!tvDa::Bind() || !tvGn::Bind() || !tvSc::Bind()) return 1;
    if (tvDa::ConnectDB(argv[1], "SYSDBA", "plumtrees", &window) != 0) return 1;

    for (const char* text : {"Channel Line 1 started.", "Settings saved.", "Scanning stopped."})
        tvSc::NewEvent(text, "Quillon", 1);
    tvSc::NewEvent("Repository not reachable.", "Quillon", 3);

    ShootWhenShown("TLoginDlg", out + "/login.png", [](QWidget* w) {
        w->findChild<QLineEdit*>("edtUserID")->setText("admin");
        w->findChild<QLineEdit*>("edtPassword")->setText("admin");
        w->findChild<QLineEdit*>("edtPassword")->setFocus();
    });
    tvSc::ShowLogin(&window, "", "");

    ShootWhenShown("TfrmPermission", out + "/permission.png", [](QWidget* w) {
        auto* tree = w->findChild<QTreeWidget*>("tvFeature");
        const auto found = tree->findItems("Channel settings", Qt::MatchExactly | Qt::MatchRecursive);
        if (!found.isEmpty()) tree->setCurrentItem(found.first());
    });
    tvSc::ShowPermission(&window);

    ShootWhenShown("TfrmEventLog", out + "/eventlog.png", [](QWidget*) {});
    tvSc::ShowEventLog(&window);

    tvDa::DisconnectDB(0);
    tvSc::Release();
    tvGn::Release();
    tvDa::Release();
    return 0;
}
