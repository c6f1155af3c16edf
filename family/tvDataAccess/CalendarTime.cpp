#include "CalendarTime.h"

#include <cstdio>

namespace tvda {
namespace {

// Days from 1970-01-01 (H. Hinnant's civil calendar algorithms).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr int64_t kEpoch1899 = -25569;  // 1899-12-30 counted from 1970-01-01

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Reads exactly `count` digits.
bool Digits(std::string_view s, std::size_t& pos, int count, int& out) {
    out = 0;
    for (int i = 0; i < count; ++i, ++pos) {
        if (pos >= s.size() || s[pos] < '0' || s[pos] > '9') return false;
        out = out * 10 + (s[pos] - '0');
    }
    return true;
}

// "hh:nn[:ss[.fff...]]" from pos to the end.
bool ParseTime(std::string_view s, std::size_t pos, int64_t& micros) {
    int h = 0, n = 0, sec = 0;
    if (!Digits(s, pos, 2, h) || pos >= s.size() || s[pos++] != ':' || !Digits(s, pos, 2, n))
        return false;
    int64_t fraction = 0;
    if (pos < s.size()) {
        if (s[pos++] != ':' || !Digits(s, pos, 2, sec)) return false;
        if (pos < s.size()) {
            if (s[pos++] != '.' || pos >= s.size()) return false;
            int64_t scale = 100000;
            for (; pos < s.size(); ++pos) {
                if (s[pos] < '0' || s[pos] > '9') return false;
                fraction += (s[pos] - '0') * scale;
                scale /= 10;
            }
        }
    }
    if (h > 23 || n > 59 || sec > 59) return false;
    micros = ((h * 60 + n) * 60 + sec) * 1'000'000LL + fraction;
    return true;
}

}  // namespace

int64_t DaysSince1899(int year, int month, int day) {
    return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
           kEpoch1899;
}

void CivilFromDays1899(int64_t days, int& year, int& month, int& day) {
    const int64_t z = days + kEpoch1899 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

double DateTimeNumber(int64_t days, int64_t micros) {
    const double fraction = static_cast<double>(micros) / static_cast<double>(kMicrosPerDay);
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

std::string FormatDate(int year, int month, int day) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, day);
    return buf;
}

std::string FormatTimeOfDay(int64_t micros) {
    const int64_t ms = micros / 1000;
    char buf[32];
    const int h = static_cast<int>(ms / 3'600'000), n = static_cast<int>(ms / 60'000 % 60),
              s = static_cast<int>(ms / 1000 % 60), z = static_cast<int>(ms % 1000);
    if (z != 0)
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", h, n, s, z);
    else
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, n, s);
    return buf;
}

std::string FormatTimestamp(const CalendarTime& t) {
    return FormatDate(t.year, t.month, t.day) + ' ' + FormatTimeOfDay(t.micros);
}

std::optional<CalendarTime> ParseCalendarTime(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    CalendarTime t;
    if (text.size() >= 3 && text[2] == ':') {
        if (!ParseTime(text, 0, t.micros)) return std::nullopt;
        return t;
    }
    std::size_t pos = 0;
    if (!Digits(text, pos, 4, t.year) || pos >= text.size() || text[pos++] != '-' ||
        !Digits(text, pos, 2, t.month) || pos >= text.size() || text[pos++] != '-' ||
        !Digits(text, pos, 2, t.day))
        return std::nullopt;
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month))
        return std::nullopt;
    if (pos == text.size()) return t;
    if (text[pos] != ' ' && text[pos] != 'T') return std::nullopt;
    if (!ParseTime(text, pos + 1, t.micros)) return std::nullopt;
    return t;
}

}  // namespace tvda
