// Every program of the corpus gives the output beside it (see corpus/README.md).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "CorpusRunner.h"

namespace fs = std::filesystem;

namespace {

fs::path CorpusDir() {
    const char* src = std::getenv("QUILLON_SOURCE_DIR");
    return fs::path(src ? src : QUILLON_SCRIPT_SOURCE_DIR) / "tests" / "script" / "corpus";
}

std::vector<std::string> Programs() {
    std::vector<std::string> out;
    for (auto& e : fs::directory_iterator(CorpusDir()))
        if (!corpus::SyntaxOf(e.path().string()).empty()) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

class Corpus : public ::testing::TestWithParam<std::string> {};

TEST_P(Corpus, GivesExpectedOutput) {
    fs::path prog = CorpusDir() / GetParam();
    fs::path stem = prog;
    stem.replace_extension();
    // x.arp.out beats x.out: for cases whose output differs by syntax
    fs::path expected = fs::exists(prog.string() + ".out") ? fs::path(prog.string() + ".out") : fs::path(stem.string() + ".out");
    ASSERT_TRUE(fs::exists(expected)) << "no expected output for " << prog;
    std::string input = fs::exists(stem.string() + ".in") ? stem.string() + ".in" : "";
    std::vector<std::string> want = corpus::ReadLines(expected.string());
    std::vector<std::string> got = corpus::Run(prog.string(), input);
    std::string wantText, gotText;
    for (auto& l : want) wantText += l + "\n";
    for (auto& l : got) gotText += l + "\n";
    EXPECT_EQ(wantText, gotText) << prog;
}

std::string Name(const ::testing::TestParamInfo<std::string>& info) {
    std::string n = info.param;
    for (char& c : n)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
}

INSTANTIATE_TEST_SUITE_P(Programs, Corpus, ::testing::ValuesIn(Programs()), Name);

}  // namespace
