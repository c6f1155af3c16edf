// The dry-run corpus (corpus/README.md): every case in every syntax it is written in.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "RuleTools.h"
#include "RulesTestKit.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

fs::path CorpusDir() { return rulestest::SourceFile("tests/rules/corpus"); }

// The input files of a case: name.in cut at its "#compile" lines (none: one empty file).
std::vector<std::string> InputFiles(const fs::path& in, const testsupport::TempDir& dir) {
    std::vector<std::string> parts(1);
    if (fs::exists(in)) {
        std::istringstream lines(rulestest::ReadFile(in.string()));
        std::string line;
        while (std::getline(lines, line)) {
            if (line == "#compile")
                parts.emplace_back();
            else
                parts.back() += line + "\n";
        }
    }
    std::vector<std::string> files;
    for (size_t i = 0; i < parts.size(); ++i) {
        files.push_back(dir.File("input" + std::to_string(i) + ".txt"));
        rulestest::WriteFile(files.back(), parts[i]);
    }
    return files;
}

void CheckCase(const fs::path& rule, const fs::path& in, const fs::path& shared) {
    fs::path expectedFile = rule;
    expectedFile += ".out";
    if (!fs::exists(expectedFile)) expectedFile = shared;
    ASSERT_TRUE(fs::exists(expectedFile)) << "no expected output for " << rule;
    const std::string expected = rulestest::ReadFile(expectedFile.string());

    testsupport::TempDir dir;
    std::ostringstream out, err;
    const int status = DryRun(rule.string(), InputFiles(in, dir), out, err);
    EXPECT_EQ(out.str(), expected) << rule << "\nstandard error:\n" << err.str();
    std::string lastLine = expected;
    while (!lastLine.empty() && lastLine.back() == '\n') lastLine.pop_back();
    lastLine.erase(0, lastLine.rfind('\n') == std::string::npos ? 0 : lastLine.rfind('\n') + 1);
    EXPECT_EQ(status, lastLine.starts_with("{\"error\":") ? 1 : 0) << rule;
}

TEST(DryRunCorpus, EveryCaseInEverySyntax) {
    int cases = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(CorpusDir())) {
        const fs::path path = entry.path();
        const std::string ext = path.extension().string();
        if (ext != ".arp" && ext != ".arc" && ext != ".arb") continue;
        fs::path base = path;
        base.replace_extension();
        SCOPED_TRACE(path.filename().string());
        CheckCase(path, base.string() + ".in", base.string() + ".out");
        ++cases;
    }
    EXPECT_GT(cases, 0) << "no corpus found in " << CorpusDir();
}

TEST(DryRunCorpus, SampleRulesGiveTheSameOutput) {
    for (const char* name : {"demo.arp", "demo.arc", "demo.arb"}) {
        SCOPED_TRACE(name);
        CheckCase(rulestest::SourceFile(std::string("rules/") + name), CorpusDir() / "demo.in", CorpusDir() / "demo.out");
    }
}

}  // namespace
