// Values on their own: texts of numbers and dates, number parsing, inline and shared
// strings, copy-on-write arrays.
#include <gtest/gtest.h>

#include <cmath>

#include "Operators.h"
#include "Value.h"

namespace {

using namespace quillon::script;

TEST(Value, DoubleTexts) {
    const std::pair<double, const char*> cases[] = {
        {0.5, "0.5"},       {2.4e9, "2400000000"},   {1e-9, "1E-9"},    {1.5e20, "1.5E20"}, {-0.00001, "-0.00001"},
        {1e-6, "1E-6"},     {123456789012345.0, "123456789012345"}, {1e15, "1E15"}, {0.1 + 0.2, "0.30000000000000004"},
        {-2.5, "-2.5"},     {0.0, "0"},              {NAN, "NAN"},      {-INFINITY, "-INF"},
    };
    for (auto& [d, text] : cases) EXPECT_EQ(formatDouble(d), text) << d;
}

TEST(Value, NumberParsing) {
    const std::pair<const char*, const char*> cases[] = {
        {" 42 ", "42"}, {"-17", "-17"}, {"$FF", "255"}, {"0x10", "16"}, {"1.5", "1.5"}, {"2e-3", "0.002"},
        {"9223372036854775807", "9223372036854775807"}, {"-9223372036854775808", "-9223372036854775808"},
        {"9223372036854775808", "9.223372036854776E18"},  // beyond Integer: a Double
        {"abc", nullptr}, {"", nullptr}, {"1e", nullptr}, {"1,5", nullptr}, {".", nullptr}, {"$", nullptr}, {"inf", nullptr},
    };
    for (auto& [text, want] : cases) {
        Value v;
        bool ok = parseNumber(text, v);
        EXPECT_EQ(ok, want != nullptr) << text;
        if (ok && want) {
            EXPECT_EQ(v.toString(), want) << text;
        }
    }
}

TEST(Value, DateTimeTextsAndParsing) {
    double dt;
    ASSERT_TRUE(parseDateTime("2026-12-11 10:30:05.250", dt));
    EXPECT_EQ(formatDateTime(dt), "2026-12-11 10:30:05.250");
    ASSERT_TRUE(parseDateTime("1899-12-30", dt));
    EXPECT_EQ(dt, 0);
    ASSERT_TRUE(parseDateTime("1899-12-29 06:00", dt));
    EXPECT_EQ(formatDateTime(dt), "1899-12-29 06:00:00");
    for (const char* bad : {"2026-02-30", "2026-13-01", "2026-12-11 25:00", "2026-12-11x", "11.12.2026", ""})
        EXPECT_FALSE(parseDateTime(bad, dt)) << bad;
}

TEST(Value, StringsInlineAndOnTheHeapBehaveAlike) {
    for (size_t n : {0, 1, 13, 14, 15, 16, 100}) {
        std::string text(n, 'a');
        for (size_t i = 0; i < n; ++i) text[i] = char('a' + i % 26);
        Value v(text);
        Value copy = v;
        Value moved = std::move(copy);
        EXPECT_EQ(moved.rawString(), text) << n;
        EXPECT_EQ(v.rawString(), text) << n;
        Value joined = opAdd(v, Value("!"));
        EXPECT_EQ(joined.rawString(), text + "!") << n;
        Value a = v, b = Value(int64_t(5));
        a.swap(b);
        EXPECT_EQ(b.rawString(), text);
        EXPECT_EQ(a.rawInt(), 5);
    }
    Value withNul(std::string_view("a\0b", 3));
    EXPECT_EQ(withNul.rawString().size(), 3u);
}

TEST(Value, ArraysAreCopiedOnlyWhenChangedWhileShared) {
    Value a = Value::arrayOf({Value(int64_t(1)), Value("x")});
    Value b = a;
    EXPECT_EQ(&a.rawArray(), &b.rawArray());
    b.mutableArray().items[0] = Value(int64_t(2));
    EXPECT_NE(&a.rawArray(), &b.rawArray());
    EXPECT_EQ(a.rawArray().items[0].rawInt(), 1);
    EXPECT_EQ(b.rawArray().items[0].rawInt(), 2);
    const ArrRep* before = &b.rawArray();
    b.mutableArray().items[1] = Value("y");  // unshared now: changed in place
    EXPECT_EQ(&b.rawArray(), before);
}

}  // namespace
