// Which syntax a rule file is written in, by its extension. This is the one place the
// mapping lives; the channel's Start, the rule tools and the rule editor all use it.
#pragma once

#include <string_view>

// The engine's syntax names.
inline constexpr const char* kPascalSyntax = "PascalScript";
inline constexpr const char* kCppSyntax = "C++Script";
inline constexpr const char* kBasicSyntax = "BasicScript";

// ".arb" BasicScript, ".arc" C++Script, ".arp" PascalScript, compared exactly (letter
// case included: "x.ARB" selects nothing). Null for any other extension, in which case the
// executor keeps the syntax it has.
const char* SyntaxForRuleFile(std::string_view path);
