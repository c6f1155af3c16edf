// The executor: syntax selection, compile results, runs, errors and aborts.
#include <gtest/gtest.h>

#include <thread>

#include "RuleSyntax.h"
#include "RulesTestKit.h"

using rulestest::RecordingChannel;

namespace {

const char* kPascalRule = "begin LogEvent('pascal ' + line_content); end.";
const char* kBasicRule = "LogEvent \"basic \" & line_content\r\n";

TEST(RuleSyntax, ExtensionsAreComparedExactly) {
    struct Case {
        const char* path;
        const char* syntax;  // null: none selected
    };
    const Case cases[] = {
        {"/r/x.arb", "BasicScript"},   {"/r/x.arc", "C++Script"}, {"/r/x.arp", "PascalScript"},
        {"/r/x.ARB", nullptr},         {"/r/x.Arp", nullptr},     {"/r/x.txt", nullptr},
        {"/r/arb", nullptr},           {"/r.arb/x", nullptr},     {"/r/x.tar.arc", "C++Script"},
    };
    for (const Case& c : cases) {
        const char* got = SyntaxForRuleFile(c.path);
        if (c.syntax == nullptr)
            EXPECT_EQ(got, nullptr) << c.path;
        else
            EXPECT_STREQ(got, c.syntax) << c.path;
    }
}

TEST(RuleSyntax, UpperCaseExtensionKeepsTheCurrentSyntax) {
    int32_t line = 0, character = 0;
    // A new executor compiles x.ARB as Pascal.
    TdmScriptExecutor fresh;
    fresh.Init(-1, nullptr);
    EXPECT_FALSE(fresh.SetSyntaxFromRuleFile("x.ARB"));
    EXPECT_EQ(fresh.SyntaxType(), "PascalScript");
    EXPECT_TRUE(fresh.Compile(kPascalRule, line, character, false)) << fresh.LastError();
    EXPECT_FALSE(fresh.Compile(kBasicRule, line, character, false));

    // A reused one keeps the syntax it had last.
    TdmScriptExecutor reused;
    reused.Init(-1, nullptr);
    EXPECT_TRUE(reused.SetSyntaxFromRuleFile("x.arb"));
    EXPECT_FALSE(reused.SetSyntaxFromRuleFile("y.ARP"));
    EXPECT_EQ(reused.SyntaxType(), "BasicScript");
    EXPECT_TRUE(reused.Compile(kBasicRule, line, character, false)) << reused.LastError();
}

TEST(Compile, ErrorPositionAndMessage) {
    TdmScriptExecutor executor;
    executor.Init(-1, nullptr);
    int32_t line = -1, character = -1;
    ASSERT_TRUE(executor.Compile(kPascalRule, line, character, false));
    EXPECT_EQ(line, -1) << "a successful compile leaves the position alone";

    const std::string rule = "begin\r\n  LogEvent('a');\r\n  foo := 1;\r\nend.\r\n";
    EXPECT_FALSE(executor.Compile(rule, line, character, false));
    EXPECT_EQ(line, 3);
    EXPECT_EQ(character, 3);
    EXPECT_NE(executor.LastError().find("foo"), std::string::npos) << executor.LastError();
    EXPECT_EQ(TdmScriptExecutor::CompileErrorMessage("Undeclared identifier: 'foo'", 12, 5),
              "Undeclared identifier: 'foo' at Line 12 Char 5");

    // With messages the error goes to a plain notice (standard error without a GUI).
    testing::internal::CaptureStderr();
    EXPECT_FALSE(executor.Compile(rule, line, character, true));
    EXPECT_NE(testing::internal::GetCapturedStderr().find(executor.LastError() + " at Line 3 Char 3"),
              std::string::npos);
}

TEST(Execute, CompileFirstThatFailsRunsNothing) {
    TdmScriptExecutor executor;
    RecordingChannel channel;
    executor.Init(-1, &channel);
    int32_t line = 0, character = 0;
    ASSERT_TRUE(executor.Execute(kPascalRule, line, character, false, "one", true));
    EXPECT_FALSE(executor.Execute("begin LogEvent('x') end end.", line, character, false, "two", true));
    EXPECT_EQ(line, 1);
    EXPECT_GT(character, 1);
    EXPECT_EQ(channel.shown, (std::vector<std::string>{"pascal one"}));
    // Nothing compiled now: running again is an error, not a run of the old rule.
    EXPECT_THROW(executor.Execute("", line, character, false, "three", false), RuleRuntimeError);
}

TEST(Execute, WithoutCompileFirstTheLastRuleRunsAndItsVariablesLive) {
    TdmScriptExecutor executor;
    RecordingChannel channel;
    executor.Init(-1, &channel);
    const std::string rule = "var n: integer;\nbegin n := n + 1; LogEvent(IntToStr(n) + line_content); end.";
    int32_t line = 0, character = 0;
    ASSERT_TRUE(executor.Execute(rule, line, character, false, "a", true));
    ASSERT_TRUE(executor.Execute("not looked at", line, character, false, "b", false));
    ASSERT_TRUE(executor.Execute(rule, line, character, false, "c", true));  // compiled again: afresh
    EXPECT_EQ(channel.shown, (std::vector<std::string>{"1a", "2b", "1c"}));
}

TEST(Execute, RuleThatDeclaresLineContentGetsTheLines) {
    TdmScriptExecutor executor;
    RecordingChannel channel;
    executor.Init(-1, &channel);
    rulestest::RunRule(executor, "PascalScript",
                       "var line_content: string;\nbegin LogEvent('[' + line_content + ']'); end.", {"   ", "x"});
    EXPECT_EQ(channel.shown, (std::vector<std::string>{"[   ]", "[x]"}));
}

TEST(Execute, RunTimeErrorsLeaveWithTheirPosition) {
    struct Case {
        const char* syntax;
        const char* rule;
        int line;
        int character;
    };
    const Case cases[] = {
        {"PascalScript", "var p: variant;\nbegin\n  p := Split(line_content, ';');\n  LogEvent(p[5]);\nend.", 4, 3},
        {"C++Script", "Variant p;\np = Split(line_content, \";\");\n  LogEvent(p[5]);\n", 3, 3},
        {"BasicScript", "Dim p\np = Split(line_content, \";\")\n  LogEvent p(5)\n", 3, 3},
        {"PascalScript", "begin\n  RaiseException('bad line');\nend.", 2, 3},
    };
    for (const Case& c : cases) {
        TdmScriptExecutor executor;
        RecordingChannel channel;
        executor.Init(-1, &channel);
        ASSERT_TRUE(executor.SetSyntaxType(c.syntax));
        int32_t line = 0, character = 0;
        try {
            executor.Execute(c.rule, line, character, false, "a;b", true);
            ADD_FAILURE() << c.rule << ": no error";
        } catch (const RuleRuntimeError& e) {
            EXPECT_EQ(e.Line(), c.line) << c.rule << ": " << e.what();
            EXPECT_EQ(e.Char(), c.character) << c.rule << ": " << e.what();
            EXPECT_FALSE(e.Aborted());
        }
    }
}

TEST(Execute, AbortEndsARuleThatNeverReturns) {
    TdmScriptExecutor executor;
    executor.Init(-1, nullptr);
    const std::string rule = "var n: integer;\nbegin\n  while true do\n    n := n + 1;\nend.";
    int32_t line = 0, character = 0;
    ASSERT_TRUE(executor.Compile(rule, line, character, false));
    std::thread aborter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        executor.RequestAbort();
    });
    try {
        executor.Execute(rule, line, character, false, "", false);
        ADD_FAILURE() << "no abort";
    } catch (const RuleRuntimeError& e) {
        EXPECT_TRUE(e.Aborted());
    }
    aborter.join();
    // Later runs stay aborted until the next Init.
    EXPECT_THROW(executor.Execute(kPascalRule, line, character, false, "", true), RuleRuntimeError);
    executor.Init(-1, nullptr);
    EXPECT_NO_THROW(executor.Execute(kPascalRule, line, character, false, "", true));
}

}  // namespace
