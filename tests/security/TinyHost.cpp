// A tiny host program of the family, not Quillon: it binds the family libraries by file
// name like any program of the family, opens its first database connection and uses the
// security library with its own top-level window as the owner. Every result is printed
// as one "name=value" line; the test that starts it compares them.
//
//   security_tiny_host DATABASE
#include <dlfcn.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <string>

#include "tvDaHeader.h"
#include "tvGnHeader.h"
#include "tvScHeader.h"

namespace {

void Print(const char* name, const std::string& value) {
    std::printf("%s=%s\n", name, value.c_str());
    std::fflush(stdout);
}

// Types the password into the login dialog when it shows, after checking its owner.
void AnswerLogin(QWidget* owner, const QString& password) {
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, [timer, owner, password] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->objectName() != "TLoginDlg") continue;
            timer->stop();
            timer->deleteLater();
            Print("login owner", w->parentWidget() == owner ? "host window" : "other");
            w->findChild<QLineEdit*>("edtPassword")->setText(password);
            QMetaObject::invokeMethod(w->findChild<QPushButton*>("bbLogin"), &QPushButton::click,
                                      Qt::QueuedConnection);
            return;
        }
    });
    timer->start(10);
}

std::string EventTexts() {
    TvDataSet* data = nullptr;
    tvDa::QueryRecords(0, "SELECT EVENT FROM EVENTLOG ORDER BY ID", &data);
    std::string texts;
    if (data == nullptr) return "<none>";
    for (data->First(); !data->Eof(); data->Next()) {
        const char* text = nullptr;
        data->FieldAsText("EVENT", &text);
        texts += (texts.empty() ? "" : "|") + std::string(text != nullptr ? text : "");
    }
    data->Free();
    return texts;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATABASE\n", argv[0]);
        return 2;
    }
    QWidget window;
    window.setObjectName("TinyHostWindow");
    window.setWindowTitle("Tiny host");
    window.resize(300, 200);
    window.show();

    // The order of the family: data access, general utility, security.
    Print("bound", tvDa::Bind() && tvGn::Bind() && tvSc::Bind() ? "yes" : "no");
    Print("handle", std::to_string(tvDa::ConnectDB(argv[1], "SYSDBA", "plumtrees", &window)));

    Print("encrypt", tvSc::Encrypt("admin").value_or("<missing>"));
    Print("decrypt", tvSc::Decrypt("1DC92D5852").value_or("<missing>"));
    Print("session before", tvSc::GetSessionUserID());
    Print("new event", tvSc::NewEvent("Tiny host started.", "TinyHost", 1) ? "1" : "0");

    AnswerLogin(&window, "admin");
    Print("login", tvSc::ShowLogin(&window, "admin", "") ? "1" : "0");
    Print("session", tvSc::GetSessionUserID());
    Print("settings access", tvSc::CheckFeatureAccess("QUILLON_SETTINGS") ? "1" : "0");

    // The one export Quillon does not bind, looked up the way a host would.
    void* module = dlopen(tvSc::kFileName, RTLD_NOW | RTLD_NOLOAD);
    auto withLogin = module != nullptr ? reinterpret_cast<decltype(&::CheckFeatureAccessWithLogin)>(
                                             dlsym(module, "CheckFeatureAccessWithLogin"))
                                       : nullptr;
    Print("with login", withLogin != nullptr
                            ? std::to_string(withLogin(&window, "QUILLON_EVENT_LOG", "admin", "admin"))
                            : "<missing>");
    if (module != nullptr) dlclose(module);

    tvSc::Logout();
    Print("session after", tvSc::GetSessionUserID());
    Print("events", EventTexts());

    tvDa::DisconnectDB(0);
    tvSc::Release();
    tvGn::Release();
    tvDa::Release();
    return 0;
}
