#include "RulesTestKit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "tvDaHeader.h"
#include "tvGnHeader.h"

namespace rulestest {
namespace {

// The rule functions reach libtvGeneral.so and libtvDataAccess.so through their bindings,
// as the program does after start-up.
class FamilyLibraries : public testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(tvGn::Bind()) << tvGn::kFileName;
        ASSERT_TRUE(tvDa::Bind()) << tvDa::kFileName;
    }
    void TearDown() override {
        tvDa::Release();
        tvGn::Release();
    }
};

[[maybe_unused]] testing::Environment* const kLibraries = testing::AddGlobalTestEnvironment(new FamilyLibraries);

}  // namespace

std::string SourceFile(const std::string& relative) { return testsupport::SourceDir() + "/" + relative; }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

void RunRule(TdmScriptExecutor& executor, const std::string& syntax, const std::string& rule,
             const std::vector<std::string>& lines) {
    ASSERT_TRUE(executor.SetSyntaxType(syntax));
    int32_t line = 0, character = 0;
    ASSERT_TRUE(executor.Compile(rule, line, character, false))
        << executor.LastError() << " at " << line << ":" << character;
    for (const std::string& text : lines) executor.Execute(rule, line, character, false, text, false);
}

}  // namespace rulestest
