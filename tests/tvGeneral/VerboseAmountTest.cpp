// VerboseAmount spells amounts as on a cheque.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "GnTestUtil.h"
#include "tvGeneralApi.h"

namespace {

TEST(VerboseAmount, SpellsAmounts) {
    struct Case { double amount; const char* words; };
    const Case cases[] = {
        {0, "zero"},
        {1, "one"},
        {13, "thirteen"},
        {20, "twenty"},
        {21, "twenty-one"},
        {100, "one hundred"},
        {101, "one hundred one"},
        {110, "one hundred ten"},
        {999, "nine hundred ninety-nine"},
        {1000, "one thousand"},
        {1001, "one thousand one"},
        {1234.56, "one thousand two hundred thirty-four and 56/100"},
        {1000000, "one million"},
        {1002003, "one million two thousand three"},
        {2000000100, "two billion one hundred"},
        {0.07, "zero and 07/100"},
        {0.999, "one"},                   // rounded to hundredths first
        {19.995, "twenty"},
        {-5.5, "minus five and 50/100"},
        {-0.001, "zero"},                 // no "minus zero"
        {999999999999999.0, "nine hundred ninety-nine trillion nine hundred ninety-nine "
                            "billion nine hundred ninety-nine million nine hundred "
                            "ninety-nine thousand nine hundred ninety-nine"},
        {1e15, ""},                       // beyond the scale names
        {std::numeric_limits<double>::quiet_NaN(), ""},
        {-std::numeric_limits<double>::infinity(), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.amount);
        EXPECT_EQ(tv::TakeText(VerboseAmount(c.amount)), c.words);
    }
}

}  // namespace
