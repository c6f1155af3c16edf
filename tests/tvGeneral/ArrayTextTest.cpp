// The array texts: integer lists stored in a column, string lists shown in messages, and
// removal of one item.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "GnTestUtil.h"
#include "tvGeneralApi.h"

namespace {

std::vector<int32_t> Ints(const char* text) {
    int32_t* items = reinterpret_cast<int32_t*>(1);  // must be reset by the call
    const int32_t count = GetArrayInt(text, &items);
    std::vector<int32_t> result;
    if (count == 0) {
        EXPECT_EQ(items, nullptr) << "an empty result holds no array";
    }
    if (items != nullptr) result.assign(items, items + count);
    std::free(items);
    return result;
}

std::vector<std::string> Strs(const char* text, char separator) {
    char** items = nullptr;
    const int32_t count = GetArrayStr(text, separator, &items);
    std::vector<std::string> result;
    if (count == 0) {
        EXPECT_EQ(items, nullptr);
    }
    for (int32_t i = 0; i < count; ++i) result.push_back(tv::TakeText(items[i]));
    std::free(items);
    return result;
}

TEST(ArrayText, IntegersRoundTrip) {
    struct Case { std::vector<int32_t> items; const char* text; };
    const Case cases[] = {
        {{}, ""},
        {{7}, "7"},
        {{3, 1, 2}, "3;1;2"},
        {{0, -2, INT32_MAX, INT32_MIN}, "0;-2;2147483647;-2147483648"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string text = tv::TakeText(
            SerializeArrayInt(c.items.data(), static_cast<int32_t>(c.items.size()), ';'));
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(Ints(text.c_str()), c.items);
    }
    EXPECT_EQ(tv::TakeText(SerializeArrayInt(nullptr, 3, ';')), "");
    const int32_t two[] = {1, 2};
    EXPECT_EQ(tv::TakeText(SerializeArrayInt(two, 2, ',')), "1,2");
}

TEST(ArrayText, DamagedIntegerListsYieldOnlyValidNumbers) {
    EXPECT_EQ(Ints(" 1 ; 2;;x;3;"), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(Ints("+4;99999999999;5x;-6"), (std::vector<int32_t>{4, -6}));
    EXPECT_EQ(Ints(";;"), std::vector<int32_t>{});
    EXPECT_EQ(Ints(nullptr), std::vector<int32_t>{});
    EXPECT_EQ(GetArrayInt("1;2;3", nullptr), 3);  // count only
}

TEST(ArrayText, StringsRoundTripUnlessTheyHoldTheSeparator) {
    const char* items[] = {"a", "b c", "", nullptr, "d"};
    const std::string text = tv::TakeText(SerializeArrayStr(items, 5, ','));
    EXPECT_EQ(text, "a,b c,,,d");
    EXPECT_EQ(Strs(text.c_str(), ','), (std::vector<std::string>{"a", "b c", "", "", "d"}));
    EXPECT_EQ(Strs("x|y|", '|'), (std::vector<std::string>{"x", "y", ""}));
    EXPECT_EQ(Strs("", ','), std::vector<std::string>{});
    EXPECT_EQ(tv::TakeText(SerializeArrayStr(nullptr, 0, ',')), "");
}

TEST(ArrayText, RemoveItemShiftsTheRestDown) {
    struct Case { int32_t index; int32_t count; std::vector<int32_t> front; };
    const Case cases[] = {
        {0, 3, {2, 3, 4}}, {2, 3, {1, 2, 4}}, {3, 3, {1, 2, 3}},
        {-1, 4, {1, 2, 3, 4}}, {4, 4, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        int32_t ints[] = {1, 2, 3, 4};
        double dbls[] = {1.5, 2.5, 3.5, 4.5};
        EXPECT_EQ(RemoveArrayItemInt(ints, 4, c.index), c.count);
        EXPECT_EQ(RemoveArrayItemDbl(dbls, 4, c.index), c.count);
        for (int32_t i = 0; i < c.count; ++i) {
            EXPECT_EQ(ints[i], c.front[static_cast<std::size_t>(i)]);
            EXPECT_EQ(dbls[i], c.front[static_cast<std::size_t>(i)] + 0.5);
        }
    }
    EXPECT_EQ(RemoveArrayItemInt(nullptr, 2, 0), 2);
    EXPECT_EQ(RemoveArrayItemInt(nullptr, 0, 0), 0);
}

TEST(ArrayText, RemovedStringStaysBehindTheEndForItsOwner) {
    char** items = nullptr;
    ASSERT_EQ(GetArrayStr("a;b;c", ';', &items), 3);
    char* removed = items[1];
    EXPECT_EQ(RemoveArrayItemStr(items, 3, 1), 2);
    EXPECT_STREQ(items[0], "a");
    EXPECT_STREQ(items[1], "c");
    EXPECT_EQ(items[2], removed);  // still reachable, so nothing leaks
    for (int i = 0; i < 3; ++i) std::free(items[i]);
    std::free(items);
}

}  // namespace
