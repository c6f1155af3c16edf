// Runs a corpus program (see corpus/README.md) and gives back what it logged.
#pragma once

#include <string>
#include <vector>

namespace corpus {

// The syntax name of a rule file by its extension (.arp, .arc, .arb); empty otherwise.
std::string SyntaxOf(const std::string& path);

// Compiles and runs `programPath` as the corpus format says, with the input lines of
// `inputPath` (may be empty: one run). Returns the output lines.
std::vector<std::string> Run(const std::string& programPath, const std::string& inputPath);

std::string ReadFile(const std::string& path);
std::vector<std::string> ReadLines(const std::string& path);

}  // namespace corpus
