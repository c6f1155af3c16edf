// Reading a scanned file (or a rule file) the way a channel does: the whole file as 8-bit
// bytes without any conversion, cut into lines at CR LF, a lone LF or a lone CR (the breaks
// are not part of the lines), a last line without a break counted, and nothing after the
// first NUL byte read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The lines of `content`. Empty lines are kept (callers skip them where they must).
std::vector<std::string> SplitTextLines(std::string_view content);

// Reads the file at `path` whole. False with a reason in `error` when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content, std::string& error);

// The rule text a channel compiles: every line followed by CR LF.
std::string RuleTextFromLines(const std::vector<std::string>& lines);
