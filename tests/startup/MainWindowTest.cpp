// TfrmMain in this process on the offscreen platform: the monitor, the monitor log file,
// the settings database and the closing. The program folder is a temporary QUILLON_HOME.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "ExePath.h"
#include "MainWindow.h"
#include "TestSupport.h"
#include "tvDaHeader.h"
#include "tvGnHeader.h"

namespace fs = std::filesystem;

namespace {

QStringList MemoLines(TfrmMain& window) {
    auto* memo = window.findChild<QPlainTextEdit*>("mmoLog");
    return memo->document()->isEmpty() ? QStringList() : memo->toPlainText().split('\n');
}

const QRegularExpression kStamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d  )");

// Answers every message box that comes up with the button `answer` and keeps its text.
class BoxAnswerer {
public:
    explicit BoxAnswerer(QString answer) : answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
        timer_.start(20);
    }
    QStringList texts;

private:
    void Answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        texts << box->text();
        for (QAbstractButton* button : box->buttons()) {
            if (button->text().remove('&').compare(answer_, Qt::CaseInsensitive) == 0) {
                button->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << answer_.toStdString();
        box->reject();
    }
    QString answer_;
    QTimer timer_;
};

TEST(MainWindow, MonitorIsClearedOnlyBeforeTheLineAfterTheFiveThousandth) {
    TfrmMain window;
    auto* memo = window.findChild<QPlainTextEdit*>("mmoLog");
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);

    for (int n = memo->document()->blockCount(); n < MonitorLog::kMaxLines - 1; ++n)
        window.LogMessage("line " + std::to_string(n));
    window.LogMessage("number 5000");
    ASSERT_EQ(memo->document()->blockCount(), 5000);
    EXPECT_TRUE(memo->document()->lastBlock().text().endsWith("  number 5000"));

    window.LogMessage("after");
    const QStringList lines = MemoLines(window);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(kStamp.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("  after")) << lines[0].toStdString();
}

TEST(MainWindow, MonitorLogFileGetsTheBareTextOnlyWhileSwitchedOn) {
    if (!tvGn::Loaded()) GTEST_SKIP() << "libtvGeneral.so is not built";
    const std::string file = ExePath() + "Quillon.log";
    fs::remove(file);
    TfrmMain window;
    EXPECT_EQ(window.Monitor().LogFile(), file);
    window.LogMessage("not logged");
    EXPECT_FALSE(fs::exists(file));

    window.Monitor().SetLogEventsToFile(true);
    window.LogMessage("Channel \"A\" started!");
    window.LogMessage("second");
    window.Monitor().SetLogEventsToFile(false);
    window.LogMessage("not logged either");

    std::ifstream in(file);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "Channel \"A\" started!\nsecond\n");
}

TEST(MainWindow, OpensTheSettingsDatabaseAtCreationAndClosesItAtDestruction) {
    const std::string path = ExePath() + "QUILLON.GDB";
    const std::string parked = ExePath() + "parked.gdb";
    const QString connecting = QString::fromStdString("Connecting to database \"" + path + "\".");
    const QString connected = QString::fromStdString("Database \"" + path + "\" connected.");

    // A database that cannot be opened gets a line of its own after the usual two.
    fs::rename(path, parked);
    {
        TfrmMain window;
        const QStringList lines = MemoLines(window);
        ASSERT_EQ(lines.size(), 3);
        EXPECT_TRUE(lines[0].endsWith("  " + connecting)) << lines[0].toStdString();
        EXPECT_TRUE(lines[1].endsWith("  " + connected)) << lines[1].toStdString();
        EXPECT_TRUE(lines[2].contains("could not be opened")) << lines[2].toStdString();
        EXPECT_LT(window.Settings().MainConnection(), 0);
    }
    fs::rename(parked, path);

    if (!tvDa::Loaded()) GTEST_SKIP() << "libtvDataAccess.so is not built";
    int32_t handle = -1;
    {
        TfrmMain window;
        const QStringList lines = MemoLines(window);
        ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
        EXPECT_TRUE(kStamp.match(lines[0]).hasMatch()) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].endsWith("  " + connecting));
        EXPECT_TRUE(lines[1].endsWith("  " + connected));
        handle = window.Settings().MainConnection();
        ASSERT_GE(handle, 0);
        EXPECT_TRUE(tvDa::IsConnected(handle));
    }
    EXPECT_FALSE(tvDa::IsConnected(handle));
}

TEST(MainWindow, ExactlyExitClosesWithoutTheExitQuestion) {
    BoxAnswerer answerer("Cancel");
    TfrmMain window;
    QSignalSpy closed(&window, &TfrmMain::Closed);
    window.show();
    for (const char* ignored : {"exit", "EXIT", "Exit ", " Exit", "Exit\n", ""}) {
        window.WMCopyData(QByteArray(ignored));
        QApplication::processEvents();
        EXPECT_TRUE(window.isVisible()) << '"' << ignored << '"';
    }
    window.WMCopyData("Exit");
    QApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(answerer.texts.isEmpty()) << answerer.texts.join('|').toStdString();
}

TEST(MainWindow, ClosingAsksWhileConfirmExitIsSet) {
    TfrmMain window;
    QSignalSpy closed(&window, &TfrmMain::Closed);
    window.show();
    ASSERT_TRUE(window.ConfirmExit());
    {
        BoxAnswerer answerer("Cancel");
        window.close();
        EXPECT_EQ(answerer.texts, QStringList{"Are you sure to exit Tavmere Quillon?"});
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(closed.count(), 0);
    }
    {
        BoxAnswerer answerer("Yes");
        window.close();
        EXPECT_EQ(answerer.texts.size(), 1);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(closed.count(), 1);
    }
}

bool Built(const char* file) { return fs::exists(testsupport::BuildDir() + "/" + file); }

}  // namespace

int main(int argc, char** argv) {
    testsupport::TempDir folder;
    setenv("QUILLON_HOME", folder.Path().c_str(), 1);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);

    const std::string built = testsupport::BuildDir() + "/QUILLON.GDB";
    std::error_code ec;
    if (!fs::copy_file(built, folder.File("QUILLON.GDB"), ec) &&
        !testsupport::CreateSettingsDatabase(folder.File("QUILLON.GDB"))) {
        std::fprintf(stderr, "no settings database for the tests\n");
        return 1;
    }
    // Only libraries that exist: a missing one would stop the test at its notice box.
    if (Built(tvDa::kFileName)) tvDa::Bind();
    if (Built(tvGn::kFileName)) tvGn::Bind();
    const int status = RUN_ALL_TESTS();
    tvGn::Release();
    tvDa::Release();
    return status;
}
