// Date-time numbers, plain-decimal texts and the reading of ConnectDB database texts.
#include <gtest/gtest.h>

#include "CalendarTime.h"
#include "DatabaseTarget.h"
#include "Diagnostics.h"
#include "NumberText.h"

namespace tvda {
namespace {

TEST(CalendarTime, DaysCountFrom1899_12_30WithTimeOfDayAsFraction) {
    struct Case {
        int y, m, d;
        int64_t micros;
        double number;
        const char* text;
    };
    const Case cases[] = {
        {1899, 12, 30, 0, 0.0, "1899-12-30 00:00:00"},
        {1900, 1, 1, 0, 2.0, "1900-01-01 00:00:00"},
        {2024, 2, 29, 12 * 3600'000'000LL, 45351.5, "2024-02-29 12:00:00"},
        {2000, 3, 1, 250'000, 36586.0 + 0.25 / 86400, "2000-03-01 00:00:00.250"},
        // Before the epoch the fraction is still the time of day.
        {1899, 12, 29, 6 * 3600'000'000LL, -1.25, "1899-12-29 06:00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const int64_t days = DaysSince1899(c.y, c.m, c.d);
        EXPECT_DOUBLE_EQ(DateTimeNumber(days, c.micros), c.number);
        int y, m, d;
        CivilFromDays1899(days, y, m, d);
        EXPECT_EQ(FormatTimestamp({y, m, d, c.micros}), c.text);
        const auto parsed = ParseCalendarTime(c.text);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(DaysSince1899(parsed->year, parsed->month, parsed->day), days);
        EXPECT_EQ(parsed->micros, c.micros);
    }
}

TEST(CalendarTime, ParsesOnlyRealDatesAndTimes) {
    EXPECT_TRUE(ParseCalendarTime("2024-01-02"));
    EXPECT_TRUE(ParseCalendarTime("2024-01-02T03:04"));
    EXPECT_EQ(ParseCalendarTime("23:59:59.5")->micros, 86'399'500'000LL);
    for (const char* bad : {"", "0000-00-00 00:00:00", "2023-02-29", "2024-13-01", "2024-01-02 24:00",
                            "2024-1-2", "12:00 noon", "yesterday"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ParseCalendarTime(bad));
    }
}

TEST(NumberText, PlainDecimalNeverAnExponent) {
    EXPECT_EQ(FormatDouble(0.1), "0.1");
    EXPECT_EQ(FormatDouble(1e20), "100000000000000000000");
    EXPECT_EQ(FormatDouble(-2.5e-7), "-0.00000025");
    EXPECT_EQ(FormatFloat(0.1f), "0.1");
    EXPECT_EQ(FormatScaled(350, -2), "3.50");
    EXPECT_EQ(FormatScaled(-5, -2), "-0.05");
    EXPECT_EQ(FormatScaled(INT64_MIN, -4), "-922337203685477.5808");
    EXPECT_EQ(FormatScaled(42, 0), "42");
    EXPECT_EQ(RoundToInteger(2.5), 3);
    EXPECT_EQ(RoundToInteger(-2.5), -3);
    EXPECT_FALSE(RoundToInteger(1e19));
    EXPECT_EQ(ParseInteger(" 42 "), 42);
    EXPECT_FALSE(ParseInteger("4.2"));
    EXPECT_FALSE(ParseInteger("12abc"));
}

TEST(DatabaseTarget, ChoosesTheClientFromTheText) {
    using K = DatabaseTarget::Kind;
    struct Case {
        const char* text;
        K kind;
        const char* database;
        const char* host;
        int port;
    };
    const Case cases[] = {
        {"/srv/data/REPO.FDB", K::FirebirdLocal, "/srv/data/REPO.FDB", "", 0},
        {"relative/file.gdb", K::FirebirdLocal, "relative/file.gdb", "", 0},
        {"Embedded:/srv/x.fdb", K::FirebirdLocal, "/srv/x.fdb", "", 0},
        {"EMBEDDED:/srv/no-extension", K::FirebirdLocal, "/srv/no-extension", "", 0},
        {"db1:/srv/data/repo", K::FirebirdServer, "db1:/srv/data/repo", "db1", 0},
        {"db1/3051:repo.GDB", K::FirebirdServer, "db1/3051:repo.GDB", "db1", 3051},
        {"db1:repo", K::MariaDb, "repo", "db1", 0},
        {"10.0.0.5/3307:measurements", K::MariaDb, "measurements", "10.0.0.5", 3307},
        {"db1:repo.fdb.bak", K::MariaDb, "repo.fdb.bak", "db1", 0},
        // Split at the first ':' only.
        {"db1:a:b", K::MariaDb, "a:b", "db1", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const DatabaseTarget t = ParseDatabaseTarget(c.text);
        EXPECT_EQ(t.kind, c.kind);
        EXPECT_EQ(t.database, c.database);
        EXPECT_EQ(t.host, c.host);
        EXPECT_EQ(t.port, c.port);
    }
}

TEST(DatabaseTarget, RefusesTextsThatNameNoDatabase) {
    for (const char* bad : {"", ":repo", "db1:", "/3306:repo", "db1/:repo", "db1/x:repo", "db1/0:repo",
                            "db1/65536:repo"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ParseDatabaseTarget(bad), DbError);
    }
}

}  // namespace
}  // namespace tvda
