#include "Program.h"

#include <signal.h>

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <memory>

#include "FamilyLibraries.h"
#include "HeadlessRunner.h"
#include "MainWindow.h"
#include "ShellMessage.h"
#include "ShutdownSignals.h"
#include "SingleInstance.h"
#include "tvGeneralApi.h"

namespace {

void NameApplication() { QCoreApplication::setApplicationName("Tavmere Quillon"); }

// The guard for this program folder, or null after telling the operator that another
// instance runs.
std::unique_ptr<SingleInstanceGuard> TakeGuard() {
    auto guard = std::make_unique<SingleInstanceGuard>(InstanceName(InstanceProgramPath()));
    if (guard->Acquire()) return guard;
    ShowMessage("Tavmere Quillon is already running!", tvMsgError, tvBtnOK);
    return nullptr;
}

}  // namespace

int RunWindow(int& argc, char** argv) {
    BlockShutdownSignals();
    QApplication app(argc, argv);
    NameApplication();
    QApplication::setApplicationDisplayName("Tavmere Quillon");
    // The main window's closing ends the program, whatever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);
    ShutdownSignals shutdownSignals;

    FamilyLibraries libraries;
    const std::unique_ptr<SingleInstanceGuard> guard = TakeGuard();
    if (!guard) return kExitAlreadyRunning;

    int status = kExitOk;
    {
        TfrmMain frmMain;
        QObject::connect(guard.get(), &SingleInstanceGuard::TextReceived, &frmMain,
                         &TfrmMain::WMCopyData);
        QObject::connect(&frmMain, &TfrmMain::Closed, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        // SIGINT or SIGTERM closes the window like an "Exit" text.
        QObject::connect(&shutdownSignals, &ShutdownSignals::Received, &frmMain,
                         [&frmMain] { frmMain.WMCopyData(kExitCommand); });
        frmMain.show();
        status = app.exec();
    }
    return status;
}

int RunHeadless(int& argc, char** argv) {
    BlockShutdownSignals();
    QCoreApplication app(argc, argv);
    NameApplication();
    // A closed standard output must not kill the service.
    ::signal(SIGPIPE, SIG_IGN);
    ShutdownSignals shutdownSignals;

    FamilyLibraries libraries;
    const std::unique_ptr<SingleInstanceGuard> guard = TakeGuard();
    if (!guard) return kExitAlreadyRunning;

    int status = kExitOk;
    {
        HeadlessRunner runner;
        QObject::connect(guard.get(), &SingleInstanceGuard::TextReceived, &runner,
                         &HeadlessRunner::WMCopyData);
        QObject::connect(&shutdownSignals, &ShutdownSignals::Received, &runner,
                         &HeadlessRunner::ShutdownRequested);
        QObject::connect(&runner, &HeadlessRunner::Finished, &app, &QCoreApplication::exit,
                         Qt::QueuedConnection);
        status = app.exec();
    }
    return status;
}

int RunSend(const QByteArray& text) {
    switch (SendToInstance(InstanceName(InstanceProgramPath()), text)) {
        case SendResult::Delivered:
            return kExitOk;
        case SendResult::NotRunning:
            std::fprintf(stderr, "Tavmere Quillon is not running.\n");
            return kExitFailure;
        case SendResult::Failed:
            break;
    }
    std::fprintf(stderr, "The text could not be handed to the running Tavmere Quillon.\n");
    return kExitFailure;
}

int RunTool(int& argc, char** argv, const CommandLineTool& tool, const QStringList& arguments) {
    QCoreApplication app(argc, argv);
    NameApplication();
    FamilyLibraries libraries;
    return tool.run(arguments);
}
