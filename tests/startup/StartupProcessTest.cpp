// The program's start-up, single instance, --send and shut-down, run as real processes
// from copies of the program folder (headless, so that nothing waits on a message box).
#include <gtest/gtest.h>

#include <signal.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <filesystem>

#include "ProgramFolder.h"

namespace {

const QString kAlreadyRunning = "Tavmere Quillon is already running!";
const QString kReady = "\" connected.";  // the second settings-database line

QString NotLoaded(const char* library) { return QString(library) + " not loaded!"; }

// True when `expected` appears in `lines` in this order (other lines may lie between).
bool InOrder(const QStringList& lines, const QStringList& expected) {
    qsizetype next = 0;
    for (const QString& line : lines)
        if (next < expected.size() && line == expected[next]) ++next;
    return next == expected.size();
}

std::string Joined(const QStringList& lines) { return lines.join('\n').toStdString(); }

TEST(Startup, HeadlessLogsTheSettingsDatabaseAndEndsCleanlyOnSignals) {
    for (int signalNumber : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        ProgramFolder folder;
        Quillon quillon(folder, {"--headless"});
        ASSERT_TRUE(quillon.WaitForOutput(kReady)) << Joined(quillon.Errors());
        quillon.Signal(signalNumber);
        EXPECT_EQ(quillon.WaitForExit(), 0) << Joined(quillon.Errors());

        const QString path = QString::fromStdString(folder.File("QUILLON.GDB"));
        const QStringList lines = quillon.Output();
        ASSERT_GE(lines.size(), 2);
        const QString stamp = R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d  )";
        EXPECT_TRUE(QRegularExpression(stamp + QRegularExpression::escape(
                        "Connecting to database \"" + path + "\"." ) + "$").match(lines[0]).hasMatch())
            << lines[0].toStdString();
        EXPECT_TRUE(QRegularExpression(stamp + QRegularExpression::escape(
                        "Database \"" + path + "\" connected.") + "$").match(lines[1]).hasMatch())
            << lines[1].toStdString();
        if (Built(kDataAccess)) {
            // The settings load and the channels' stop follow; the database was opened.
            EXPECT_FALSE(lines.join(QChar(10)).contains("could not be opened")) << Joined(lines);
        }
    }
}

TEST(Startup, SecondInstanceOfOneFolderIsRefusedAndSendReachesTheFirst) {
    // The long folder is deeper than an abstract socket name can hold as it stands.
    for (const std::string& sub : {std::string("q"), std::string(120, 'l')}) {
        SCOPED_TRACE(sub.size());
        ProgramFolder folder(sub);
        Quillon first(folder, {"--headless"});
        ASSERT_TRUE(first.WaitForOutput(kReady)) << Joined(first.Errors());

        const Finished second = RunToEnd(folder, {"--headless"});
        EXPECT_EQ(second.status, 3);
        EXPECT_TRUE(second.errors.contains(kAlreadyRunning)) << Joined(second.errors);
        EXPECT_TRUE(second.output.isEmpty()) << "a refused instance opened the database";
        // Options that are not understood never get as far as the guard.
        EXPECT_EQ(RunToEnd(folder, {"--bogus"}).status, 2);

        // Delivered, but only exactly "Exit" closes it.
        EXPECT_EQ(RunToEnd(folder, {"--send", "exit"}).status, 0);
        EXPECT_EQ(RunToEnd(folder, {"--send", "Exit now"}).status, 0);
        QThread::msleep(300);
        EXPECT_TRUE(first.Running());

        EXPECT_EQ(RunToEnd(folder, {"--send", "Exit"}).status, 0);
        EXPECT_EQ(first.WaitForExit(), 0) << Joined(first.Errors());

        const Finished nobody = RunToEnd(folder, {"--send", "Exit"});
        EXPECT_EQ(nobody.status, 1);
        EXPECT_FALSE(nobody.errors.isEmpty());
    }
}

TEST(Startup, TwoProgramFoldersOrTwoHomesRunSideBySide) {
    {
        ProgramFolder a("a"), b("b");
        Quillon first(a, {"--headless"}), second(b, {"--headless"});
        ASSERT_TRUE(first.WaitForOutput(kReady)) << Joined(first.Errors());
        ASSERT_TRUE(second.WaitForOutput(kReady)) << Joined(second.Errors());
        EXPECT_EQ(RunToEnd(a, {"--send", "Exit"}).status, 0);
        EXPECT_EQ(first.WaitForExit(), 0);
        EXPECT_TRUE(second.Running());
        second.Signal(SIGTERM);
        EXPECT_EQ(second.WaitForExit(), 0);
    }
    {
        // One executable, two homes: two instances, each with its own settings database.
        ProgramFolder folder("bin", {"QUILLON.GDB"});
        testsupport::TempDir h1, h2;
        for (const auto* home : {&h1, &h2})
            std::filesystem::copy_file(testsupport::BuildDir() + "/QUILLON.GDB", home->File("QUILLON.GDB"));
        Quillon first(folder, {"--headless"}, h1.Path()), second(folder, {"--headless"}, h2.Path());
        ASSERT_TRUE(first.WaitForOutput(QString::fromStdString(h1.File("QUILLON.GDB")) + kReady))
            << Joined(first.Errors());
        ASSERT_TRUE(second.WaitForOutput(QString::fromStdString(h2.File("QUILLON.GDB")) + kReady))
            << Joined(second.Errors());
        EXPECT_EQ(RunToEnd(folder, {"--send", "Exit"}, h2.Path()).status, 0);
        EXPECT_EQ(second.WaitForExit(), 0);
        EXPECT_TRUE(first.Running());
        EXPECT_EQ(RunToEnd(folder, {"--headless"}, h1.Path()).status, 3);
        first.Signal(SIGTERM);
        EXPECT_EQ(first.WaitForExit(), 0);
    }
}

TEST(Startup, MissingLibrariesAreReportedInBindingOrderAndStartUpCarriesOn) {
    if (!AllLibrariesBuilt()) GTEST_SKIP() << "the family libraries are not all built yet";
    const struct {
        std::set<std::string> missing;
        QStringList expected;  // in this order; the first one is the first line
    } cases[] = {
        {{kSecurity}, {NotLoaded(kSecurity)}},
        {{kGeneral}, {NotLoaded(kGeneral)}},
        {{kDataAccess}, {NotLoaded(kDataAccess)}},
        {{kDataAccess, kSecurity}, {NotLoaded(kDataAccess), NotLoaded(kSecurity)}},
        {{kDataAccess, kGeneral, kSecurity},
         {NotLoaded(kDataAccess), NotLoaded(kGeneral), NotLoaded(kSecurity)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.join(", ").toStdString());
        ProgramFolder folder("q", c.missing);
        Quillon quillon(folder, {"--headless"});
        ASSERT_TRUE(quillon.WaitForOutput(kReady)) << Joined(quillon.Errors());
        quillon.Signal(SIGTERM);
        EXPECT_EQ(quillon.WaitForExit(), 0);
        const QStringList errors = quillon.Errors();
        ASSERT_FALSE(errors.isEmpty());
        EXPECT_EQ(errors.first(), c.expected.first()) << Joined(errors);
        EXPECT_TRUE(InOrder(errors, c.expected)) << Joined(errors);
        // Without the data-access library the settings database cannot be open.
        const bool open = c.missing.count(kDataAccess) == 0;
        EXPECT_EQ(quillon.Output().join('\n').contains("could not be opened"), !open);
    }
}

TEST(Startup, SecondInstanceReportsAMissingLibraryBeforeTheRunningOne) {
    if (!AllLibrariesBuilt()) GTEST_SKIP() << "the family libraries are not all built yet";
    // Without the general library the message still comes, from the program's fallback.
    for (const char* library : {kSecurity, kGeneral}) {
        SCOPED_TRACE(library);
        ProgramFolder folder;
        Quillon first(folder, {"--headless"});
        ASSERT_TRUE(first.WaitForOutput(kReady)) << Joined(first.Errors());
        folder.Remove(library);  // the first instance has it loaded already
        const Finished second = RunToEnd(folder, {"--headless"});
        EXPECT_EQ(second.status, 3);
        EXPECT_EQ(second.errors.value(0), NotLoaded(library)) << Joined(second.errors);
        EXPECT_TRUE(InOrder(second.errors, {NotLoaded(library), kAlreadyRunning}))
            << Joined(second.errors);
        first.Signal(SIGTERM);
        EXPECT_EQ(first.WaitForExit(), 0);
    }
}

TEST(Startup, WindowClosesOnTheExitText) {
    // A missing library would stop the window's start-up at its notice box.
    if (!AllLibrariesBuilt()) GTEST_SKIP() << "the family libraries are not all built yet";
    ProgramFolder folder;
    Quillon window(folder, {});
    // The guard answers once the window's message loop runs.
    int sent = 1;
    for (int i = 0; i < 300 && sent != 0 && window.Running(); ++i) {
        sent = RunToEnd(folder, {"--send", "Exit"}).status;
        if (sent != 0) QThread::msleep(100);
    }
    EXPECT_EQ(sent, 0) << Joined(window.Errors());
    EXPECT_EQ(window.WaitForExit(), 0) << Joined(window.Errors());
}

TEST(Startup, CommandLineErrorsShowTheUsage) {
    ProgramFolder folder;
    for (const QStringList& arguments :
         {QStringList{"--bogus"}, QStringList{"--send"}, QStringList{"--headless", "x"}}) {
        const Finished run = RunToEnd(folder, arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.errors.join('\n').contains("Usage: quillon")) << Joined(run.errors);
    }
    const Finished help = RunToEnd(folder, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.output.join('\n').contains("--send TEXT"));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
