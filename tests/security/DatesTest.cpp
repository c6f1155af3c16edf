// The date rules of the security library that do not need a database: the expiry
// setting, its calendar-month cut-off, the day-range condition and the date patterns.
#include <gtest/gtest.h>

#include "tvScDates.h"

namespace sec {
namespace {

TEST(ExpirySetting, OnlyWholeNumbersCount) {
    const struct {
        const char* text;
        std::optional<int> months;
    } cases[] = {{"3", 3},          {" 6 ", 6},          {"0", 0},         {"-1", -1},
                 {"", std::nullopt}, {"abc", std::nullopt}, {"3.5", std::nullopt},
                 {"3 months", std::nullopt}, {"99999999999", std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(ParseExpiryMonths(c.text), c.months) << c.text;
}

TEST(ExpiryCutOff, CalendarMonthsBackWithTheDayClampedToShorterMonths) {
    const struct {
        QDate today;
        int months;
        std::optional<QDate> cutOff;
    } cases[] = {
        {QDate(2024, 5, 15), 3, QDate(2024, 2, 15)},
        {QDate(2024, 3, 31), 1, QDate(2024, 2, 29)},  // leap year
        {QDate(2023, 3, 31), 1, QDate(2023, 2, 28)},
        {QDate(2024, 5, 31), 3, QDate(2024, 2, 29)},
        {QDate(2024, 1, 31), 2, QDate(2023, 11, 30)},  // across the year
        {QDate(2024, 7, 31), 12, QDate(2023, 7, 31)},
        {QDate(2024, 1, 15), 0, QDate(2024, 1, 15)},   // everything before today
        {QDate(2024, 1, 15), -1, std::nullopt},        // no automatic purge
        {QDate(2024, 1, 15), -5, std::nullopt},        // never a cut-off in the future
        {QDate(2024, 1, 15), 2000000000, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpiryCutOff(c.today, c.months), c.cutOff)
            << c.today.toString(Qt::ISODate).toStdString() << " " << c.months;
}

TEST(DayRangeCondition, CoversTheLastDayUpToMidnightAfterIt) {
    EXPECT_EQ(DayRangeCondition("T", QDate(2005, 3, 17), QDate(2005, 3, 18)),
              "T >= '2005-03-17' AND T < '2005-03-19'");
    EXPECT_EQ(DayRangeCondition("T", QDate(2004, 12, 31), QDate(2004, 12, 31)),
              "T >= '2004-12-31' AND T < '2005-01-01'");
}

TEST(DatePattern, TokensAndSeparator) {
    const QDate d(2005, 3, 7);
    EXPECT_EQ(FormatDate(d, "yyyy.mm.dd", '.').toStdString(), "2005.03.07");
    EXPECT_EQ(FormatDate(d, "yyyy/mm/dd", '-').toStdString(), "2005-03-07");
    EXPECT_EQ(FormatDate(d, "d/m/yy", '/').toStdString(), "7/3/05");
    EXPECT_EQ(DateEditFormat("yyyy.mm.dd", '.').toStdString(), "yyyy.MM.dd");
    EXPECT_EQ(DateEditFormat("yyyy/mm/dd", '-').toStdString(), "yyyy-MM-dd");
    EXPECT_EQ(FromDayCount(38428.5), QDateTime(QDate(2005, 3, 17), QTime(12, 0)));
}

}  // namespace
}  // namespace sec
