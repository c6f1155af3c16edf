// Which files a pass takes, and the move that never replaces a processed file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "FilePattern.h"
#include "ProcessedFileMove.h"
#include "TestSupport.h"
#include "TickCount.h"

namespace {

void Write(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(FilePattern, PatternAndWildcards) {
    EXPECT_EQ(ChannelFilePattern("LOG", "_A", ".txt"), "LOG*_A.txt");
    EXPECT_EQ(ChannelFilePattern("", "", ""), "**");
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"**", "anything", true},       {"*.txt", "data.TXT", true},   {"*.txt", "data.txt.bak", false},
        {"LOG*_A.txt", "log1_a.txt", true}, {"LOG*_A.txt", "LOG_A.txt", true}, {"LOG*_A.txt", "LOG1_B.txt", false},
        {"*.txt", ".txt", true},        {"a?c", "abc", true},          {"a?c", "ac", false},
    };
    for (const Case& c : cases) EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

TEST(FilePattern, TakesFilesOnlyAndNotFromSubfolders) {
    testsupport::TempDir dir;
    Write(dir.File("a.TXT"), "x");
    Write(dir.File("b.csv"), "x");
    mkdir(dir.File("x.txt").c_str(), 0777);
    Write(dir.File("x.txt/inner.txt"), "x");
    std::vector<std::string> txt = MatchingFiles(dir.Path() + "/", "**.txt");
    EXPECT_EQ(txt, std::vector<std::string>{"a.TXT"});
    std::vector<std::string> all = MatchingFiles(dir.Path() + "/", "**");
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (std::vector<std::string>{"a.TXT", "b.csv"}));
}

TEST(ProcessedFileMove, ExistingNameGetsTheFirstFreeNumber) {
    testsupport::TempDir dir;
    Write(dir.File("d.txt"), "old");
    Write(dir.File("d (2).txt"), "older");
    Write(dir.File("src.txt"), "new");
    const MoveOutcome outcome = MoveWithoutReplacing(dir.File("src.txt"), dir.File("d.txt"));
    EXPECT_EQ(outcome.kind, MoveOutcome::MovedRenamed);
    EXPECT_EQ(outcome.target, dir.File("d (3).txt"));
    EXPECT_EQ(Read(dir.File("d.txt")), "old");
    EXPECT_EQ(Read(dir.File("d (3).txt")), "new");
    EXPECT_EQ(NumberedName("/p.q/name", 2), "/p.q/name (2)");
    EXPECT_EQ(NumberedName("/p/.profile", 2), "/p/.profile (2)");

    const MoveOutcome missing = MoveWithoutReplacing(dir.File("gone.txt"), dir.File("e.txt"));
    EXPECT_EQ(missing.kind, MoveOutcome::Failed);
    EXPECT_FALSE(missing.error.empty());
}

TEST(TickCount, DifferencesSurviveTheWrap) {
    EXPECT_EQ(TicksSince(5u, 0xFFFFFFFBu), 10u);
    EXPECT_EQ(TicksSince(0x80000010u, 0x7FFFFFF0u), 0x20u);  // past 2^31
    EXPECT_EQ(TicksSince(1000u, 1000u), 0u);
}
