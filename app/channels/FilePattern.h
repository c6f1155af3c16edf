// Which entries of a scanned folder a channel takes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// FileNameStartsWith + "*" + FileNameEndsWith + (FileExt, or "*" when it is empty).
std::string ChannelFilePattern(const std::string& startsWith, const std::string& endsWith,
                               const std::string& fileExt);

// Wildcard match of a whole name: "*" any run of characters (also none), "?" exactly one;
// ASCII letters compare without regard to case.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// Names of the files in `folder` that match `pattern`, in the order the directory
// delivers them. Only files (after following links) are taken, whatever their
// permissions; folders are neither taken nor entered. Empty when the folder cannot be read.
std::vector<std::string> MatchingFiles(const std::string& folder, const std::string& pattern);
