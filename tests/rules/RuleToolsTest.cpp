// --check-rule and --dry-run, through the functions the command line calls.
#include <gtest/gtest.h>

#include <sstream>

#include "JsonLines.h"
#include "RuleTools.h"
#include "RulesTestKit.h"
#include "TestSupport.h"

using rulestest::WriteFile;

namespace {

struct ToolResult {
    int status;
    std::string out;
    std::string err;
};

ToolResult Check(const std::string& path) {
    std::ostringstream out, err;
    const int status = CheckRule(path, out, err);
    return {status, out.str(), err.str()};
}

ToolResult Dry(const std::string& rule, const std::vector<std::string>& inputs) {
    std::ostringstream out, err;
    const int status = DryRun(rule, inputs, out, err);
    return {status, out.str(), err.str()};
}

TEST(CheckRule, CompileErrorPositionsInEverySyntax) {
    struct Case {
        const char* file;
        const char* text;
        const char* position;  // " at Line L Char C"
    };
    const Case cases[] = {
        {"ok.arp", "begin\n  LogEvent(line_content);\nend.\n", nullptr},
        {"ok.arc", "{\n  LogEvent(line_content);\n}\n", nullptr},
        {"ok.arb", "LogEvent line_content\n", nullptr},
        {"undeclared.arp", "begin\n  LogEvent('a');\n  x := 1;\nend.\n", " at Line 3 Char 3"},
        {"undeclared.arc", "{\n  LogEvent(\"a\");\n  x = 1;\n}\n", " at Line 3 Char 3"},
        {"undeclared.arb", "LogEvent \"a\"\n  x = 1\n", " at Line 2 Char 3"},
        {"crlf.arp", "begin\r\n\r\n    foo(1);\r\nend.\r\n", " at Line 3 Char 5"},
        {"cr.arp", "begin\r\r    foo(1);\rend.\r", " at Line 3 Char 5"},
    };
    testsupport::TempDir dir;
    for (const Case& c : cases) {
        WriteFile(dir.File(c.file), c.text);
        const ToolResult r = Check(dir.File(c.file));
        if (c.position == nullptr) {
            EXPECT_EQ(r.status, 0) << c.file << ": " << r.out;
            EXPECT_EQ(r.out, "Compile completed!\n") << c.file;
        } else {
            EXPECT_EQ(r.status, 1) << c.file;
            const std::string suffix = std::string(c.position) + "\n";
            EXPECT_TRUE(r.out.size() > suffix.size() && r.out.ends_with(suffix)) << c.file << ": " << r.out;
            EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << c.file << ": one line";
        }
        EXPECT_EQ(r.err, "") << c.file;
    }
}

TEST(CheckRule, FilesItCannotUse) {
    testsupport::TempDir dir;
    WriteFile(dir.File("empty.arp"), "");
    ToolResult r = Check(dir.File("empty.arp"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Rule File '" + dir.File("empty.arp") + "' is empty!\n");

    r = Check(dir.File("missing.arp"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing.arp"), std::string::npos) << r.err;

    // An extension in capitals selects no syntax: compiled as Pascal, with a note.
    WriteFile(dir.File("basic.ARB"), "LogEvent line_content\n");
    r = Check(dir.File("basic.ARB"));
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.err.find("PascalScript"), std::string::npos) << r.err;
}

TEST(DryRun, ReadsTheInputAsAChannelDoes) {
    testsupport::TempDir dir;
    WriteFile(dir.File("echo.arp"), "begin LogEvent('[' + line_content + ']'); end.");
    // CR LF, lone LF and lone CR end lines, empty lines are skipped, a line of blanks is
    // run, the last line needs no break and nothing after a NUL byte is read.
    WriteFile(dir.File("input.txt"), std::string("a\r\nb\n\nc\r\r\n   \rd\0e\nf", 17));
    const ToolResult r = Dry(dir.File("echo.arp"), {dir.File("input.txt")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"event\":\"[a]\"}\n{\"event\":\"[b]\"}\n{\"event\":\"[c]\"}\n{\"event\":\"[   ]\"}\n"
              "{\"event\":\"[d]\"}\n");
}

TEST(DryRun, ErrorsGiveAnErrorLineAndStatusOne) {
    testsupport::TempDir dir;
    WriteFile(dir.File("input.txt"), "1\n2\n3\n4\n");
    // A rule that does not compile: nothing runs, also for an input without lines.
    WriteFile(dir.File("broken.arp"), "begin\n  LogEvent(;\nend.");
    WriteFile(dir.File("empty.txt"), "\n\n");
    ToolResult r = Dry(dir.File("broken.arp"), {dir.File("empty.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.starts_with("{\"error\":\"") && r.out.ends_with(",\"line\":2,\"char\":12}\n")) << r.out;

    // An unreadable input.
    WriteFile(dir.File("echo.arp"), "begin LogEvent(line_content); end.");
    r = Dry(dir.File("echo.arp"), {dir.File("missing.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("missing.txt"), std::string::npos);
}

TEST(Json, StringsAreEscaped) {
    std::string out;
    AppendJsonString(out, std::string("a\"b\\c\x01\n\t\x7f\xe9\xff/", 12));
    EXPECT_EQ(out, "\"a\\\"b\\\\c\\u0001\\u000a\\u0009\\u007f\xe9\xff/\"");
    EXPECT_EQ(JsonRowLine("T", {"A", "B"}, {"1", ""}), "{\"table\":\"T\",\"names\":[\"A\",\"B\"],\"values\":[\"1\",\"\"]}");
    EXPECT_EQ(JsonErrorLine("x", 3, 7), "{\"error\":\"x\",\"line\":3,\"char\":7}");
    EXPECT_EQ(JsonEventLine(""), "{\"event\":\"\"}");
}

}  // namespace
