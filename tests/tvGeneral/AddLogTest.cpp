// AddLog: whole lines, created files, and writers that race each other.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "GnTestUtil.h"
#include "TestSupport.h"
#include "tvGeneralApi.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// "W<writer> L<line> xxx...x end": long enough that torn or mixed writes would show.
std::string LogLine(int writer, int line) {
    std::string text = "W";
    text += std::to_string(writer);
    text += " L";
    text += std::to_string(line);
    text += ' ';
    text.append(static_cast<std::size_t>(100 + (writer * 997 + line * 31) % 3000), 'x');
    text += " end";
    return text;
}

// Every line of `text` is one whole LogLine and each of writers x lines appears exactly once.
void ExpectAllLinesWhole(const std::string& text, int writers, int lines) {
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    std::set<std::pair<int, int>> seen;
    for (const std::string& line : Lines(text)) {
        int w = -1, l = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "W%d L%d", &w, &l), 2) << line.substr(0, 40);
        ASSERT_EQ(line, LogLine(w, l)) << "torn line of writer " << w << " line " << l;
        EXPECT_TRUE(seen.emplace(w, l).second) << "duplicate " << w << "/" << l;
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(writers * lines));
}

TEST(AddLog, AppendsWholeLinesAndCreatesTheFile) {
    testsupport::TempDir dir;
    gntest::ScopedHome home(dir.Path().c_str());
    EXPECT_EQ(AddLog("first", "Channel A.log"), 1);  // bare name: program folder
    EXPECT_EQ(AddLog("", "Channel A.log"), 1);
    EXPECT_EQ(AddLog("2024-01-02 03:04:05  third", dir.File("Channel A.log").c_str()), 1);
    EXPECT_EQ(gntest::ReadFile(dir.File("Channel A.log")),
              "first\n\n2024-01-02 03:04:05  third\n");

    EXPECT_EQ(AddLog("x", dir.File("missing/folder.log").c_str()), 0);
    EXPECT_EQ(AddLog("x", ""), 0);
    EXPECT_EQ(AddLog("x", nullptr), 0);
}

TEST(AddLog, ConcurrentThreadsNeverInterleave) {
    testsupport::TempDir dir;
    const std::string file = dir.File("threads.log");
    constexpr int kThreads = 8, kLines = 400;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kLines; ++i) AddLog(LogLine(t, i).c_str(), file.c_str());
        });
    for (auto& thread : threads) thread.join();
    ExpectAllLinesWhole(gntest::ReadFile(file), kThreads, kLines);
}

TEST(AddLog, ConcurrentProcessesNeverInterleave) {
    testsupport::TempDir dir;
    const std::string file = dir.File("processes.log");
    constexpr int kProcesses = 4, kLines = 300;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < kLines; ++i)
                failures += AddLog(LogLine(p, i).c_str(), file.c_str()) == 1 ? 0 : 1;
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ExpectAllLinesWhole(gntest::ReadFile(file), kProcesses, kLines);
}

}  // namespace
