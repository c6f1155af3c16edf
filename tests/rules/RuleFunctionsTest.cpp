// The rule functions, directly and as rules call them.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "RulesTestKit.h"
#include "ScriptLibrary.h"

using quillon::script::Value;
using rulestest::RecordingChannel;
using rulestest::RunRule;

namespace {

struct ParseCase {
    const char* input;
    bool ok;
    double expected;
};

TEST(ParseToFloat, UnitsPrefixesAndExponents) {
    const ParseCase cases[] = {
        {"2.4GHz", true, 2.4e9},
        {"3kHz", true, 3000},
        {"10ms", true, 0.01},
        {"5mV", true, 0.005},
        {"1.5e3k", true, 1.5e6},
        {"-50dbm", true, -50},
        {"12 V", true, 12},
        // "dB" is taken before "dBm"/"dBc" can match: the m and c left over are prefixes.
        {"-50dBm", true, -0.05},
        {"-30dBc", true, -0.3},
        {"2.4 GHz", true, 2.4e9},
        {"  \t7.5 s\r\n", true, 7.5},
        {"1E-03", true, 0.001},
        {"1e+6", true, 1e6},
        {"+.5", true, 0.5},
        {"42", true, 42},
        {"3uA", false, 0},  // A is no unit: "3uA" is not a number
        {"1.2nF", false, 0},
        {"100n", true, 100e-9},
        {"7c", true, 0.07},
        {"", false, 0},
        {"   ", false, 0},
        {"abc", false, 0},
        {"1e", false, 0},  // e is no prefix and no digits follow it
        {"1,5", false, 0},  // the decimal separator is "."
        {"0x10", false, 0},
        {"1e400", false, 0},  // beyond a double
        {"1e99999999999", false, 0},
        {"V", false, 0},
        {"5VV", false, 0},  // only the last V is a unit
    };
    for (const ParseCase& c : cases) {
        double value = -1;
        EXPECT_EQ(ParseMeasurement(c.input, value), c.ok) << '"' << c.input << '"';
        if (c.ok) {
            EXPECT_EQ(value, c.expected) << '"' << c.input << '"';
        }
    }
}

TEST(ParseToFloat, ShowsTheUntrimmedTextAndReturnsZeroOnFailure) {
    TdmScriptExecutor executor;
    RecordingChannel channel;
    executor.Init(-1, &channel);
    testing::internal::CaptureStderr();
    RunRule(executor, "PascalScript",
            "begin LogEvent(FloatToStr(ParseToFloat(' 1e'))); LogEvent(FloatToStr(ParseToFloat('2.4GHz'))); end.",
            {"x"});
    const std::string boxes = testing::internal::GetCapturedStderr();
    EXPECT_NE(boxes.find("Parsing string ' 1e' to float error!"), std::string::npos) << boxes;
    // No monitor message of its own.
    EXPECT_EQ(channel.shown, (std::vector<std::string>{"0", "2400000000"}));
}

std::vector<std::string> Items(const Value& array) {
    std::vector<std::string> out;
    EXPECT_TRUE(array.isArray());
    EXPECT_EQ(array.low(), 0);
    for (const Value& v : array.rawArray().items) out.push_back(v.toString());
    return out;
}

TEST(Split, PartsBetweenSeparators) {
    struct Case {
        const char* text;
        const char* separator;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {"a,b,,c", ",", {"a", "b", "", "c"}},
        {"a;b;", ";", {"a", "b", ""}},
        {"abc", "", {"abc"}},
        {"abc", ";", {"abc"}},
        {"", ",", {""}},
        {"aXbxc", "x", {"aXb", "c"}},
        {"a::b", "::", {"a", "b"}},
        {":::", "::", {"", ":"}},
        {"2026-12-11 10:00:00;CH01", ";", {"2026-12-11 10:00:00", "CH01"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Items(SplitText(c.text, c.separator)), c.parts) << c.text;
}

TEST(Split, SeparatorDefaultsToComma) {
    TdmScriptExecutor executor;
    RecordingChannel channel;
    executor.Init(-1, &channel);
    RunRule(executor, "PascalScript",
            "var p: variant; begin p := Split(line_content); LogEvent(IntToStr(Length(p)) + p[2]); end.",
            {"x,y,z"});
    EXPECT_EQ(channel.shown, (std::vector<std::string>{"3z"}));
}

TEST(MathFunctions, Log10AndPower) {
    TdmScriptExecutor executor;
    RecordingChannel channel;
    executor.Init(-1, &channel);
    RunRule(executor, "PascalScript",
            "begin LogEvent(FloatToStr(Power(2, 10))); LogEvent(FloatToStr(Log10(1000)));"
            " LogEvent(FloatToStr(Power(10, -2))); end.",
            {"x"});
    EXPECT_EQ(channel.shown, (std::vector<std::string>{"1024", "3", "0.01"}));

    // Results without a number are run-time errors rather than texts like "NAN".
    for (const char* call : {"Log10(0)", "Log10(-1)", "Power(-8, 0.5)", "Power(10, 400)"}) {
        int32_t line = 0, character = 0;
        const std::string rule = std::string("var x: double;\nbegin\n  x := ") + call + ";\nend.";
        ASSERT_TRUE(executor.Compile(rule, line, character, false)) << executor.LastError();
        try {
            executor.Execute(rule, line, character, false, "", false);
            ADD_FAILURE() << call << " did not fail";
        } catch (const RuleRuntimeError& e) {
            EXPECT_EQ(e.Line(), 3) << call;
        }
    }
}

// SaveResult without a repository: the rows and the messages it gives.
class SaveResultTally : public testing::Test {
protected:
    void SetUp() override { executor.Init(-1, &channel); }
    std::string Run(const std::string& statements) {
        const std::string rule = "var a, b: variant;\nbegin\n" + statements + "\nend.";
        testing::internal::CaptureStderr();
        RunRule(executor, "PascalScript", rule, {"x"});
        return testing::internal::GetCapturedStderr();
    }
    TdmScriptExecutor executor;
    RecordingChannel channel;
};

TEST_F(SaveResultTally, DifferentCountsAreRefusedWithMessageAndBox) {
    const std::string boxes = Run("if not SaveResult('NO_SUCH_TABLE', ['A', 'B'], [1]) then LogEvent('false');");
    const std::string message = "The counts of field names [A,B] and field values [1] must tally!";
    EXPECT_EQ(channel.shown, (std::vector<std::string>{message, "false"}));
    EXPECT_NE(boxes.find(message), std::string::npos) << boxes;
}

TEST_F(SaveResultTally, EqualLengthsWithDifferentLowBoundsAreRefused) {
    Run("a := VarArrayCreate([0, 2], varVariant); b := VarArrayCreate([1, 3], varVariant);\n"
        "a[0] := 'X'; a[1] := 'Y'; a[2] := 'Z'; b[1] := 1; b[2] := 2.5; b[3] := True;\n"
        "if not SaveResult('T', a, b) then LogEvent('false');");
    EXPECT_EQ(channel.shown,
              (std::vector<std::string>{"The counts of field names [X,Y,Z] and field values [1,2.5,True] must tally!",
                                        "false"}));
}

TEST_F(SaveResultTally, NoRepositoryTakesAnyTableAndMatchingBounds) {
    Run("a := VarArrayCreate([1, 2], varVariant); b := VarArrayCreate([1, 2], varVariant);\n"
        "if SaveResult('NO_SUCH_TABLE', ['A'], [1]) and SaveResult('T', a, b) and SaveResult('T', [], [])"
        " then LogEvent('true');");
    EXPECT_EQ(channel.shown, (std::vector<std::string>{"true"}));
}

TEST_F(SaveResultTally, ArgumentsThatAreNoArraysOfTextsAreRunTimeErrors) {
    const char* calls[] = {"SaveResult('T', 'A', [1])", "SaveResult('T', ['A'], 1)",
                           "SaveResult('T', ['A', 'B'], [1, [2]])"};
    for (const char* call : calls) {
        int32_t line = 0, character = 0;
        const std::string rule = std::string("begin\n  ") + call + ";\nend.";
        ASSERT_TRUE(executor.Compile(rule, line, character, false)) << executor.LastError();
        try {
            executor.Execute(rule, line, character, false, "", false);
            ADD_FAILURE() << call << " did not fail";
        } catch (const RuleRuntimeError& e) {
            EXPECT_EQ(e.Line(), 2) << call;
        }
    }
}

TEST(LogEvent, QueuedAndShownThroughTheChannel) {
    TdmScriptExecutor executor;
    RecordingChannel channel;
    executor.Init(-1, &channel);
    RunRule(executor, "PascalScript", "begin LogEvent('one ' + line_content); LogEvent('two'); end.", {"a"});
    EXPECT_EQ(channel.shown, (std::vector<std::string>{"one a", "two"}));
    EXPECT_EQ(channel.flushes, 2);  // each message is shown before the rule goes on

    // After a stop request the flush is skipped by the channel and the texts stay queued.
    channel.stop = true;
    int32_t line = 0, character = 0;
    executor.Execute("", line, character, false, "b", false);
    EXPECT_EQ(channel.queued, (std::vector<std::string>{"one b", "two"}));
}

TEST(LogEvent, WithoutChannelNothingHappens) {
    TdmScriptExecutor executor;
    executor.Init(-1, nullptr);
    RunRule(executor, "PascalScript", "begin LogEvent('lost'); end.", {"a"});
    executor.AddEvent("also lost");  // must simply return
}

TEST(Dialogs, TheProgramsVersionsHideTheEnginesOwn) {
    TdmScriptExecutor executor;
    RecordingChannel channel;
    executor.Init(-1, &channel);
    testing::internal::CaptureStdout();  // where the engine's own ShowMessage would write
    RunRule(executor, "PascalScript",
            "begin ShowMessage('hello'); LogEvent(IntToStr(MessageDlg('ask', mtWarning, [mbOk, mbCancel])));"
            " LogEvent(IntToStr(mtConfirmation) + ' ' + IntToStr(mbIgnore)); end.",
            {"a"});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(channel.boxes, (std::vector<std::string>{"hello"}));
    EXPECT_EQ(channel.shown, (std::vector<std::string>{"0", "4 128"}));
}

TEST(Wait, EndsEarlyOnStopAndAbort) {
    TdmScriptExecutor executor;
    RecordingChannel channel;
    executor.Init(-1, &channel);
    const std::string rule = "begin Wait(600000); LogEvent('after'); end.";
    int32_t line = 0, character = 0;
    ASSERT_TRUE(executor.Compile(rule, line, character, false));

    // A stop request ends the pause; the rule goes on.
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        channel.stop = true;
    });
    executor.Execute(rule, line, character, false, "", false);
    stopper.join();
    EXPECT_EQ(channel.queued, (std::vector<std::string>{"after"}));

    // An abort ends the pause and the run.
    channel.stop = false;
    channel.queued.clear();
    std::thread aborter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        executor.RequestAbort();
    });
    try {
        executor.Execute(rule, line, character, false, "", false);
        ADD_FAILURE() << "the abort did not end the run";
    } catch (const RuleRuntimeError& e) {
        EXPECT_TRUE(e.Aborted());
        EXPECT_EQ(e.Line(), 1);
    }
    aborter.join();
    EXPECT_TRUE(channel.queued.empty());
}

}  // namespace
