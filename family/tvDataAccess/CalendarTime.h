// Date and time values as the datasets hand them out: as text "yyyy-mm-dd hh:nn:ss" (with
// ".zzz" only when the milliseconds are not zero) and as days since 1899-12-30 with the
// time of day as fraction. Before that day the fraction is still the time of day:
// 1899-12-29 06:00 is -1.25.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvda {

inline constexpr int64_t kMicrosPerDay = 86'400'000'000LL;

struct CalendarTime {
    int year = 1899, month = 12, day = 30;
    int64_t micros = 0;  // since midnight, 0 <= micros < kMicrosPerDay
};

// Days since 1899-12-30 of a civil date (proleptic Gregorian).
int64_t DaysSince1899(int year, int month, int day);
void CivilFromDays1899(int64_t days, int& year, int& month, int& day);

// The dataset's date-time number of a day count and a time of day.
double DateTimeNumber(int64_t days, int64_t micros);

std::string FormatDate(int year, int month, int day);                 // yyyy-mm-dd
std::string FormatTimeOfDay(int64_t micros);                          // hh:nn:ss[.zzz]
std::string FormatTimestamp(const CalendarTime& t);                   // both, one blank

// Parses "yyyy-mm-dd", "yyyy-mm-dd hh:nn[:ss[.fff...]]" (also with 'T') and
// "hh:nn[:ss[.fff...]]" (a time alone lies on day 0). Nothing else; surrounding blanks
// are allowed. nullopt when the text is no valid date or time.
std::optional<CalendarTime> ParseCalendarTime(std::string_view text);

}  // namespace tvda
