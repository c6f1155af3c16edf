#include <gtest/gtest.h>

#include <vector>

#include "CommandLine.h"

namespace {

int Noop(const QStringList&) { return 0; }

const std::vector<CommandLineTool> kTools = {
    {"--check-rule", "FILE", 1, "checks a rule", &Noop},
    {"--dry-run", "RULE INPUT", 2, "runs a rule", &Noop},
};

CommandLine Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "quillon");
    return ParseCommandLine(static_cast<int>(args.size()), args.data(), kTools);
}

TEST(CommandLine, SelectsTheRunOrRefusesTheLine) {
    using Mode = CommandLine::Mode;
    const struct {
        std::vector<const char*> args;
        Mode mode;
    } cases[] = {
        {{}, Mode::Window},
        {{"--headless"}, Mode::Headless},
        {{"--send", "Exit"}, Mode::Send},
        {{"--send", ""}, Mode::Send},
        {{"--help"}, Mode::Help},
        {{"--check-rule", "a.arp"}, Mode::Tool},
        {{"--dry-run", "a.arp", "in.txt"}, Mode::Tool},
        {{"--bogus"}, Mode::Invalid},
        {{"-platform", "xcb"}, Mode::Invalid},
        {{"--send"}, Mode::Invalid},
        {{"--send", "a", "b"}, Mode::Invalid},
        {{"--headless", "x"}, Mode::Invalid},
        {{"--check-rule"}, Mode::Invalid},
        {{"--dry-run", "a.arp"}, Mode::Invalid},
        {{"--HEADLESS"}, Mode::Invalid},
    };
    for (const auto& c : cases) {
        const CommandLine line = Parse(c.args);
        EXPECT_EQ(line.mode, c.mode) << (c.args.empty() ? "(none)" : c.args[0]);
        if (line.mode == Mode::Invalid) {
            EXPECT_FALSE(line.error.empty());
        }
    }
}

TEST(CommandLine, HandsTheToolAndTextOn) {
    const CommandLine tool = Parse({"--dry-run", "r.arb", "in put.txt"});
    ASSERT_EQ(tool.tool, &kTools[1]);
    EXPECT_EQ(tool.toolArguments, (QStringList{"r.arb", "in put.txt"}));
    EXPECT_EQ(Parse({"--send", "Exit now"}).sendText, QByteArray("Exit now"));
    // The usage text lists the tools.
    EXPECT_NE(UsageText(kTools).find("--dry-run RULE INPUT"), std::string::npos);
}

}  // namespace
