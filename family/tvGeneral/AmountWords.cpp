#include "AmountWords.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace tvgeneral {
namespace {

constexpr const char* kUnits[] = {
    "zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten",
    "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen",
    "nineteen"};
constexpr const char* kTens[] = {"", "", "twenty", "thirty", "forty", "fifty", "sixty",
                                 "seventy", "eighty", "ninety"};
constexpr const char* kScales[] = {"", "thousand", "million", "billion", "trillion"};

// 1 to 999.
std::string BelowThousand(int n) {
    std::string words;
    if (n >= 100) {
        words = std::string(kUnits[n / 100]) + " hundred";
        n %= 100;
        if (n == 0) return words;
        words += ' ';
    }
    if (n < 20) return words + kUnits[n];
    words += kTens[n / 10];
    if (n % 10 != 0) words += std::string("-") + kUnits[n % 10];
    return words;
}

// 1 to 999 999 999 999 999.
std::string Whole(int64_t n) {
    std::string words;
    int64_t scale = 1'000'000'000'000;
    for (int group = 4; group >= 0; --group, scale /= 1000) {
        const int part = static_cast<int>(n / scale % 1000);
        if (part == 0) continue;
        if (!words.empty()) words += ' ';
        words += BelowThousand(part);
        if (group > 0) words += std::string(" ") + kScales[group];
    }
    return words;
}

// Hundredths of |amount|, rounded half away from zero on the shortest decimal form of the
// double, so that 19.995 (stored as 19.99499...) rounds the way it was written.
int64_t Hundredths(double amount) {
    char digits[64];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, std::fabs(amount), std::chars_format::fixed);
    if (error != std::errc()) return std::llround(std::fabs(amount) * 100.0);
    const std::string_view text(digits, static_cast<std::size_t>(end - digits));
    const std::size_t point = text.find('.');
    int64_t value = 0;
    for (const char c : text.substr(0, point)) value = value * 10 + (c - '0');
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    for (std::size_t i = 0; i < 2; ++i) value = value * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    if (fraction.size() > 2 && fraction[2] >= '5') ++value;
    return value;
}

}  // namespace

std::string AmountInWords(double amount) {
    if (!std::isfinite(amount) || std::fabs(amount) >= 1e15) return {};
    const int64_t cents = Hundredths(amount);
    const int64_t whole = cents / 100;
    if (whole >= 1'000'000'000'000'000) return {};  // rounded up to a quadrillion
    const int fraction = static_cast<int>(cents % 100);
    std::string words = whole == 0 ? std::string("zero") : Whole(whole);
    if (amount < 0 && cents != 0) words = "minus " + words;
    if (fraction != 0) {
        words += " and ";
        words += static_cast<char>('0' + fraction / 10);
        words += static_cast<char>('0' + fraction % 10);
        words += "/100";
    }
    return words;
}

}  // namespace tvgeneral
