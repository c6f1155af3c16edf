// ShowMsg in a process without a GUI: the text goes to standard error, the default button
// is taken. This executable never creates a QApplication.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <memory>
#include <thread>

#include "GnTestUtil.h"
#include "TestSupport.h"
#include "tvGeneralApi.h"

namespace {

// Sends standard error to a file while it lives.
class StderrCapture {
public:
    explicit StderrCapture(std::string path) : path_(std::move(path)) {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        std::FILE* file = std::fopen(path_.c_str(), "w");
        dup2(fileno(file), STDERR_FILENO);
        std::fclose(file);
    }
    ~StderrCapture() { Stop(); }
    std::string Stop() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, STDERR_FILENO);
            close(saved_);
            saved_ = -1;
        }
        return gntest::ReadFile(path_);
    }

private:
    std::string path_;
    int saved_ = -1;
};

struct DefaultCase { int buttons; int answer; };
constexpr DefaultCase kDefaults[] = {
    {tvBtnOK, tvResOK},
    {tvBtnYes | tvBtnCancel, tvResYes},
    {tvBtnYes | tvBtnNo, tvResYes},
    {tvBtnYes | tvBtnNo | tvBtnCancel, tvResYes},
    {tvBtnOK | tvBtnCancel, tvResOK},
    {tvBtnNo | tvBtnCancel, tvResNo},
    {tvBtnCancel, tvResCancel},
    {0, tvResOK},     // no button asked for: OK, as the GUI box shows
    {16, tvResOK},    // unknown bits are ignored
};

TEST(ShowMsgWithoutGui, WritesOneLineAndTakesTheDefault) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    testsupport::TempDir dir;
    for (const DefaultCase& c : kDefaults) {
        SCOPED_TRACE(c.buttons);
        StderrCapture capture(dir.File("stderr"));
        EXPECT_EQ(ShowMsg("Tavmere Quillon is already running!", tvMsgError, c.buttons, 0),
                  c.answer);
        EXPECT_EQ(capture.Stop(), "Tavmere Quillon is already running!\n");
    }
    StderrCapture capture(dir.File("stderr"));
    EXPECT_EQ(ShowMsg("Line one\r\nLine two\nthree\\n", tvMsgWarning, tvBtnOK, 0), tvResOK);
    EXPECT_EQ(ShowMsg(nullptr, tvMsgWarning, tvBtnOK, 0), tvResOK);
    EXPECT_EQ(capture.Stop(), "Line one Line two three\\n\n\n");
}

TEST(ShowMsgWithoutGui, CoreApplicationAndWorkerThreadsWriteToStderrToo) {
    // Headless mode runs a QCoreApplication; workers must not wait for a GUI thread.
    int argc = 1;
    char name[] = "tvGeneral_test";
    char* argv[] = {name, nullptr};
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    testsupport::TempDir dir;
    StderrCapture capture(dir.File("stderr"));
    int answer = 0;
    std::thread worker([&] { answer = ShowMsg("from a worker", tvMsgConfirmation,
                                              tvBtnYes | tvBtnNo, 0); });
    worker.join();
    EXPECT_EQ(answer, tvResYes);
    EXPECT_EQ(ShowMsg("from main", tvMsgInformation, tvBtnOK, 0), tvResOK);
    EXPECT_EQ(capture.Stop(), "from a worker\nfrom main\n");
}

}  // namespace
