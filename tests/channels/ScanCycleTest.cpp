// The scan cycle of a real channel: the demo rule through the real executor, files in a
// real folder, rows in a real repository. What the repository takes part in runs against
// a Firebird file and against the test MariaDB server.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <fstream>

#include "ChannelFixture.h"
#include "ScriptExecutor.h"
#include "TextFileLines.h"

namespace {

int CountLines(const RecordingHost& host, const std::string& text) {
    int n = 0;
    for (const std::string& line : host.lines) n += line.find(text) != std::string::npos;
    return n;
}

// The demo rule with a pause before each line, so that a stop can land inside a file.
std::string SlowDemoRule() {
    std::string rule = DemoRule();
    rule.replace(rule.find("begin\n"), 6, "begin\n  Wait(40);\n");
    return rule;
}

class ScanCycleWithRepository : public testing::TestWithParam<RepositoryKind> {
protected:
    void SetUp() override {
        if (GetParam() == RepositoryKind::MariaDb && !MariaDbUnavailable().empty())
            GTEST_SKIP() << MariaDbUnavailable();
    }
};

INSTANTIATE_TEST_SUITE_P(Repository, ScanCycleWithRepository,
                         testing::Values(RepositoryKind::Firebird, RepositoryKind::MariaDb),
                         [](const testing::TestParamInfo<RepositoryKind>& info) {
                             return testing::PrintToString(info.param);
                         });

}  // namespace

TEST_P(ScanCycleWithRepository, TakesMatchingFilesSplitsLinesAndMovesThem) {
    ChannelFixture f(GetParam());
    TChannelObj* channel = f.AddChannel("demo.arp", DemoRule());
    // CR LF, lone CR and lone LF end lines; empty lines are skipped; nothing after a NUL.
    f.WriteInput("a.TXT", DemoLine(1) + "\r\n\r\n" + DemoLine(2) + "\r" + DemoLine(3) + "\n\n" +
                              std::string("\0junk;that;is;not;read\n", 23));
    f.WriteInput("empty.txt", "");
    f.WriteInput("breaks.txt", "\r\n\n\r\r");
    f.WriteInput("other.csv", DemoLine(4));
    mkdir(f.dir.File("in/x.txt").c_str(), 0777);

    ASSERT_TRUE(channel->Start());
    EXPECT_TRUE(channel->Running);
    ASSERT_TRUE(f.WaitFor([&] { return f.InProcessed("a.TXT") && f.InProcessed("empty.txt") && f.InProcessed("breaks.txt"); }));
    channel->Stop();
    channel->Thread->WaitForWorker();

    EXPECT_EQ(f.Rows(), 3);
    EXPECT_EQ(CountLines(f.host, "Processing line"), 3);
    EXPECT_TRUE(f.HasLine("Processing line \"" + DemoLine(2) + "\""));
    EXPECT_TRUE(f.InScanned("other.csv"));
    EXPECT_TRUE(f.InScanned("x.txt"));
    const std::string empty = f.dir.File("in/empty.txt");
    const int processing = f.LineIndex("Processing file \"" + empty + "\"");
    ASSERT_GE(processing, 0);
    EXPECT_EQ(f.host.lines[static_cast<size_t>(processing) + 1], "Completed processing file \"" + empty + "\"");
    EXPECT_EQ(channel->SettingsConnection, -1);
    EXPECT_EQ(channel->RepositoryConnection, -1);
}

TEST_P(ScanCycleWithRepository, RuleErrorAtLineThreeKeepsTwoRowsAndTheFileAndStopsEveryChannel) {
    ChannelFixture f(GetParam());
    TChannelObj* failing = f.AddChannel("demo.arp", DemoRule());
    TChannelObj* other = f.AddChannel("demo2.arp", DemoRule());
    other->ScannedLocation = f.dir.File("other/");
    mkdir(other->ScannedLocation.c_str(), 0777);
    f.WriteInput("bad.txt", DemoLine(1) + "\n" + DemoLine(2) + "\nnot a measurement\n" + DemoLine(3) + "\n");

    ASSERT_TRUE(other->Start());
    ASSERT_TRUE(failing->Start());
    ASSERT_TRUE(f.WaitFor([&] { return !failing->WorkerActive() && !other->WorkerActive(); }));

    EXPECT_EQ(f.Rows(), 2);
    EXPECT_TRUE(f.InScanned("bad.txt"));
    EXPECT_FALSE(failing->Running);
    EXPECT_FALSE(other->Running);
    ASSERT_EQ(f.host.stops, std::vector<StopCause>{StopCause::FileFailed});
    const std::string path = f.dir.File("in/bad.txt");
    const int lastLine = f.LineIndex("Processing line \"not a measurement\"");
    const int error = f.LineIndex("Error while processing file \"" + path + "\"");
    const int reason = f.LineIndex("Expected 5 fields");
    const int stopped = f.LineIndex("Channel \"C0\" stopped!");
    ASSERT_GE(lastLine, 0);
    EXPECT_LT(stopped, error) << "the stop-all action runs before the queued lines are flushed";
    EXPECT_LT(lastLine, error);
    EXPECT_EQ(reason, error + 1);
    // Flushes are skipped after the stop: the completion line waits in the queue.
    EXPECT_FALSE(f.HasLine("Completed processing file \"" + path + "\""));
    ASSERT_EQ(failing->PendingMessages.size(), 1u);
    EXPECT_EQ(failing->PendingMessages.front(), "Completed processing file \"" + path + "\"");
    EXPECT_EQ(failing->RepositoryConnection, -1);
}

TEST_P(ScanCycleWithRepository, CompileFailureAtAFileKeepsTheFileAndStopsEveryChannel) {
    ChannelFixture f(GetParam());
    TChannelObj* failing = f.AddChannel("demo.arp", DemoRule());
    TChannelObj* other = f.AddChannel("demo2.arp", DemoRule());
    other->ScannedLocation = f.dir.File("other/");
    mkdir(other->ScannedLocation.c_str(), 0777);
    ASSERT_TRUE(other->Start());
    ASSERT_TRUE(failing->Start());
    // The rule compiled at Start; the compile at the file's first line now reads the
    // Pascal text as Basic. The worker does not touch the executor while the folder is
    // empty.
    ASSERT_TRUE(failing->Executor->SetSyntaxType("BasicScript"));
    TdmScriptExecutor probe;
    ASSERT_TRUE(probe.SetSyntaxType("BasicScript"));
    int32_t errLine = 0, errChar = 0;
    ASSERT_FALSE(probe.Compile(RuleTextFromLines(SplitTextLines(DemoRule())), errLine, errChar, false));
    const std::string reason = TdmScriptExecutor::CompileErrorMessage(probe.LastError(), errLine, errChar);

    testing::internal::CaptureStderr();
    f.WriteInput("a.txt", DemoLine(1) + "\n" + DemoLine(2) + "\n");
    const bool ended = f.WaitFor([&] { return !failing->WorkerActive() && !other->WorkerActive(); });
    const std::string shown = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(ended);

    const std::string path = f.dir.File("in/a.txt");
    EXPECT_NE(shown.find("Error in Rule File '" + failing->RuleFile + "' at Line " + std::to_string(errLine) +
                         ", Char " + std::to_string(errChar) + " when processing content \"" + DemoLine(1) + "\"!"),
              std::string::npos)
        << shown;
    EXPECT_TRUE(f.InScanned("a.txt"));
    EXPECT_EQ(f.Rows(), 0);
    EXPECT_FALSE(failing->Running);
    EXPECT_FALSE(other->Running);
    ASSERT_EQ(f.host.stops, std::vector<StopCause>{StopCause::FileFailed});
    const std::vector<std::string> expected = {
        "Processing file \"" + path + "\"",
        "Processing line \"" + DemoLine(1) + "\"",
        "Channel \"C0\" stopped!",
        "Channel \"C1\" stopped!",
        "Error while processing file \"" + path + "\"",
        reason,
    };
    EXPECT_EQ(f.host.lines, expected);
    EXPECT_EQ(failing->PendingMessages, std::deque<std::string>{"Completed processing file \"" + path + "\""});
}

TEST_P(ScanCycleWithRepository, EachStartFailureHasItsMessage) {
    struct Case {
        const char* name;
        std::function<void(ChannelFixture&, TChannelObj&)> spoil;
        const char* message;
    } cases[] = {
        {"repository", [](ChannelFixture& f, TChannelObj& c) { c.DBName = f.MissingDatabase(); },
         "Error connecting to data repository!"},
        {"scanned", [](ChannelFixture& f, TChannelObj& c) { c.ScannedLocation = f.dir.File("nowhere/"); },
         "Scanned Location must be a valid directory!"},
        {"processed", [](ChannelFixture& f, TChannelObj& c) { c.ProcessedLocation = f.dir.File("no/parent/"); },
         "Failed to create folder for Processed Location!"},
        {"rule missing", [](ChannelFixture& f, TChannelObj& c) { c.RuleFile = f.dir.File("none.arp"); },
         "Rule File does not exist!"},
        {"rule empty", [](ChannelFixture& f, TChannelObj& c) { std::ofstream(c.RuleFile, std::ios::trunc); (void)f; },
         "' is empty!"},
        {"syntax", [](ChannelFixture&, TChannelObj& c) { std::ofstream(c.RuleFile, std::ios::trunc) << "begin\n  LogEvent('a');\n  x := ;\nend.\n"; },
         "' at Line 3, Char "},
    };
    for (const Case& c : cases) {
        ChannelFixture f(GetParam());
        TChannelObj* channel = f.AddChannel("demo.arp", DemoRule());
        c.spoil(f, *channel);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(channel->Start()) << c.name;
        const std::string shown = testing::internal::GetCapturedStderr();
        EXPECT_NE(shown.find(c.message), std::string::npos) << c.name << ": " << shown;
        EXPECT_FALSE(channel->Running);
        EXPECT_FALSE(channel->WorkerActive());
        channel->Stop();
        EXPECT_EQ(channel->SettingsConnection, -1) << c.name;
        EXPECT_EQ(channel->RepositoryConnection, -1) << c.name;
    }
}

TEST_P(ScanCycleWithRepository, FirstPassComesAfterTheScanInterval) {
    ChannelFixture f(GetParam());
    TChannelObj* channel = f.AddChannel("demo.arp", DemoRule());
    channel->ScanInterval = 700;
    f.WriteInput("a.txt", DemoLine(1));
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(channel->Start());
    ASSERT_TRUE(f.WaitFor([&] { return f.HasLine("Processing file"); }));
    EXPECT_GE(timer.elapsed(), 650);
}

TEST_P(ScanCycleWithRepository, StopFinishesTheFileSkipsTheRestAndReleasesAfterTheWorker) {
    ChannelFixture f(GetParam());
    TChannelObj* channel = f.AddChannel("slow.arp", SlowDemoRule());
    std::string lines;
    for (int i = 0; i < 8; ++i) lines += DemoLine(i) + "\n";
    f.WriteInput("one.txt", lines);
    f.WriteInput("two.txt", lines);
    ASSERT_TRUE(channel->Start());
    ASSERT_TRUE(f.WaitFor([&] { return f.HasLine("Processing line"); }));

    channel->Stop();
    EXPECT_FALSE(channel->Running);
    EXPECT_TRUE(channel->WorkerActive());
    EXPECT_GE(channel->RepositoryConnection, 0) << "released while the worker still used it";
    // A new Start waits for the worker of the stopped run.
    ASSERT_TRUE(channel->Start());
    EXPECT_EQ(f.Rows(), 8);
    EXPECT_EQ(f.InProcessed("one.txt") + f.InProcessed("two.txt"), 1) << "the rest of the pass was skipped";
    // The completion line queued after the stop comes out with the next run's flushes.
    ASSERT_TRUE(f.WaitFor([&] { return CountLines(f.host, "Completed processing file") == 2; }));
    EXPECT_TRUE(f.InProcessed("one.txt") && f.InProcessed("two.txt"));
    channel->Stop();
    channel->Thread->WaitForWorker();
    EXPECT_EQ(f.Rows(), 16);
    EXPECT_EQ(channel->RepositoryConnection, -1);
}

TEST(ScanCycle, DestroyingAChannelWithAnEndlessRuleAbortsIt) {
    ChannelFixture f;
    TChannelObj* channel = f.AddChannel("endless.arp", "begin\n  while true do begin end;\nend.\n");
    f.WriteInput("a.txt", DemoLine(1));
    ASSERT_TRUE(channel->Start());
    ASSERT_TRUE(f.WaitFor([&] { return f.HasLine("Processing line"); }));
    QElapsedTimer timer;
    timer.start();
    f.channels.Clear();
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_GE(timer.elapsed(), static_cast<qint64>(TChannelObj::kAbortGraceMs) - 100);
    EXPECT_TRUE(f.InScanned("a.txt"));
}

TEST(ScanCycle, ProcessedNameTakenMovesUnderAFreeName) {
    ChannelFixture f;
    TChannelObj* channel = f.AddChannel("demo.arp", DemoRule());
    mkdir(f.dir.File("done").c_str(), 0777);
    std::ofstream(f.dir.File("done/a.txt")) << "earlier";
    f.WriteInput("a.txt", DemoLine(1));
    ASSERT_TRUE(channel->Start());
    ASSERT_TRUE(f.WaitFor([&] { return f.HasLine("Completed processing file"); }));
    EXPECT_TRUE(f.InProcessed("a (2).txt"));
    EXPECT_TRUE(f.HasLine("File \"" + f.dir.File("done/a.txt") + "\" already exists; \"" + f.dir.File("in/a.txt") +
                          "\" moved to \"" + f.dir.File("done/a (2).txt") + "\""));
    EXPECT_FALSE(f.InScanned("a.txt"));
}

TEST(ScanCycle, AFailedMoveIsReportedOnceAndTheFileLeftAloneUntilItChanges) {
    ChannelFixture f;
    TChannelObj* channel = f.AddChannel("demo.arp", DemoRule());
    ASSERT_TRUE(channel->Start());
    // The processed folder turns into a file: every move fails, not for the name.
    rmdir(f.dir.File("done").c_str());
    std::ofstream(f.dir.File("done")) << "";
    f.WriteInput("a.txt", DemoLine(1) + "\n");
    ASSERT_TRUE(f.WaitFor([&] { return f.HasLine("Error moving file"); }));
    QThread::msleep(300);  // passes follow each other every 10 ms
    ASSERT_TRUE(f.WaitFor([&] { return true; }));
    EXPECT_EQ(CountLines(f.host, "Processing file"), 1);
    EXPECT_EQ(CountLines(f.host, "Error moving file"), 1);
    EXPECT_EQ(f.Rows(), 1);

    std::ofstream(f.dir.File("in/a.txt"), std::ios::app) << DemoLine(2) << "\n";
    ASSERT_TRUE(f.WaitFor([&] { return CountLines(f.host, "Processing file") == 2; }));
    channel->Stop();
    channel->Thread->WaitForWorker();
    EXPECT_TRUE(f.InScanned("a.txt"));
}
