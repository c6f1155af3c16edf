// Numbers as dataset texts: plain decimal, never with an exponent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvda {

// The shortest plain decimal that reads back as the same value ("0.1", "1e20" becomes
// "100000000000000000000").
std::string FormatDouble(double value);
std::string FormatFloat(float value);

// A scaled integer (value * 10^scale, scale <= 0) with exactly -scale decimals: 350, -2
// gives "3.50".
std::string FormatScaled(int64_t value, int scale);

// The whole text as a whole number, blanks around allowed; nullopt otherwise.
std::optional<int64_t> ParseInteger(std::string_view text);
// The whole text as a number in plain or exponent notation; nullopt otherwise.
std::optional<double> ParseNumber(std::string_view text);

// A number rounded half away from zero to a whole number; nullopt when not finite or out
// of range.
std::optional<int64_t> RoundToInteger(double value);

}  // namespace tvda
