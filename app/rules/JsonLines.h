// The JSON lines the dry run prints, one object per line:
//   {"table":"T","names":["A","B"],"values":["1","x"]}   a row SaveResult hands on
//   {"event":"text"}                                    a monitor message (LogEvent ...)
//   {"error":"text","line":L,"char":C}                   an error of the rule
// Strings are 8-bit: bytes above 127 are passed through as they are, `"` and `\` are
// escaped, and control characters are written as \u00XX.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

void AppendJsonString(std::string& out, std::string_view text);

std::string JsonRowLine(std::string_view table, const std::vector<std::string>& names,
                        const std::vector<std::string>& values);
std::string JsonEventLine(std::string_view text);
std::string JsonErrorLine(std::string_view text, int32_t line, int32_t character);
