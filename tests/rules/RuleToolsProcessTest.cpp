// The rule tools as an operator runs them: the program `quillon` of the build folder.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>

#include "RulesTestKit.h"
#include "TestSupport.h"

namespace {

struct Outcome {
    int status;
    std::string out;
};

Outcome Quillon(const std::string& arguments) {
    const std::string command = testsupport::BuildDir() + "/quillon " + arguments + " 2>/dev/null";
    Outcome o{-1, {}};
    std::FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) return o;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) o.out.append(buffer, n);
    const int status = pclose(p);
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return o;
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

TEST(RuleToolsProcess, CheckRuleAndDryRun) {
    testsupport::TempDir dir;
    const std::string rules = testsupport::BuildDir() + "/rules/";

    Outcome o = Quillon("--check-rule " + Quote(rules + "demo.arb"));
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "Compile completed!\n");

    rulestest::WriteFile(dir.File("bad.arc"), "{\n  LogEvent(\"a\");\n  x = 1;\n}\n");
    o = Quillon("--check-rule " + Quote(dir.File("bad.arc")));
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.out.ends_with(" at Line 3 Char 3\n")) << o.out;

    // The sample rules as installed in the program folder.
    const std::string demoIn = rulestest::SourceFile("tests/rules/corpus/demo.in");
    o = Quillon("--dry-run " + Quote(rules + "demo.arp") + " " + Quote(demoIn));
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, rulestest::ReadFile(rulestest::SourceFile("tests/rules/corpus/demo.out")));

    // A line the demo rule refuses: the rows before it, then the error with its position.
    rulestest::WriteFile(dir.File("input.txt"), "2026-12-11 10:00:00;CH01;2.4GHz;-50dbm;12 V\nno fields\n");
    o = Quillon("--dry-run " + Quote(rules + "demo.arp") + " " + Quote(dir.File("input.txt")));
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.out.ends_with("\n{\"error\":\"Expected 5 fields separated by \\\";\\\": no fields\",\"line\":13,"
                                "\"char\":5}\n"))
        << o.out;

    // Wrong use of the command line is no tool run.
    EXPECT_EQ(Quillon("--dry-run " + Quote(rules + "demo.arp")).status, 2);
}

}  // namespace
