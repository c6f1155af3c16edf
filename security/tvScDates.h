// Date helpers of the security library: the expiry setting and its cut-off, the day-range
// condition of the event-log purge, and date texts in the library's date format. Pure
// functions; the library-wide format itself lives in tvScSession.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace sec {

// The whole number of months in the stored setting text (blanks around it allowed), or
// nothing when the text is empty, not a whole number or out of range.
std::optional<int> ParseExpiryMonths(std::string_view text);

// The date before which events expire: `today` moved `months` calendar months back, the
// day kept or moved to the last day of a shorter target month. Nothing for a negative
// count (no automatic purge) or when the date would leave the calendar.
std::optional<QDate> ExpiryCutOff(QDate today, int months);

// A date as "yyyy-mm-dd", the form every database of the family reads as a date literal.
std::string SqlDate(QDate date);

// Condition for the whole days `from` through `to` of a timestamp column: from midnight
// of `from` up to, but not including, midnight of the day after `to`.
std::string DayRangeCondition(const char* column, QDate from, QDate to);

// `date` written in a short date pattern (yyyy, yy, mm, m, dd, d; '/' is the separator;
// anything else stands as it is).
QString FormatDate(QDate date, std::string_view pattern, char separator);

// The pattern in the date editors' notation, e.g. "yyyy/mm/dd" with '.' -> "yyyy.MM.dd".
QString DateEditFormat(std::string_view pattern, char separator);

// A date-time of the data-access library (days since 1899-12-30, time as fraction).
QDateTime FromDayCount(double days);

}  // namespace sec
