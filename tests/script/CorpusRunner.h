// Runs a corpus program (see corpus/README.md) and gives back what it logged.
#pragma once

#include <string>
#include <vector>

namespace quillon::script {
class Script;
}

namespace corpus {

// The syntax name of a rule file by its extension (.arp, .arc, .arb); empty otherwise.
std::string SyntaxOf(const std::string& path);

// Compiles and runs `programPath` as the corpus format says, with the input lines of
// `inputPath` (may be empty: one run). Returns the output lines.
std::vector<std::string> Run(const std::string& programPath, const std::string& inputPath);

// The same for a program text; each of `lines` is one run (none: one run with "").
std::vector<std::string> RunText(const std::string& syntax, const std::string& text, const std::vector<std::string>& lines = {});

std::string ReadFile(const std::string& path);
// Declares the test host's types, functions and line_content on a script; LogEvent appends to `out`.
void DeclareTestHost(quillon::script::Script& s, std::vector<std::string>& out);
std::vector<std::string> ReadLines(const std::string& path);

}  // namespace corpus
