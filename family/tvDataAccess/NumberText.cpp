#include "NumberText.h"

#include <charconv>
#include <cmath>

namespace tvda {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

template <typename T>
std::string FormatFixed(T value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    char buf[512];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

}  // namespace

std::string FormatDouble(double value) { return FormatFixed(value); }
std::string FormatFloat(float value) { return FormatFixed(value); }

std::string FormatScaled(int64_t value, int scale) {
    const bool negative = value < 0;
    // Magnitude as unsigned so that the smallest int64 survives.
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    const auto decimals = static_cast<std::size_t>(-scale);
    if (decimals > 0) {
        if (digits.size() <= decimals) digits.insert(0, decimals - digits.size() + 1, '0');
        digits.insert(digits.size() - decimals, 1, '.');
    }
    return negative ? "-" + digits : digits;
}

std::optional<int64_t> ParseInteger(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int64_t value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> ParseNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<int64_t> RoundToInteger(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = std::round(value);
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (r >= 9223372036854775808.0 || r < -9223372036854775808.0) return std::nullopt;
    return static_cast<int64_t>(r);
}

}  // namespace tvda
