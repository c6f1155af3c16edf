// CheckAlphaNum guards texts that the security library builds into SQL statements.
#include <gtest/gtest.h>

#include "tvGeneralApi.h"

namespace {

TEST(CheckAlphaNum, AcceptsOnlyAsciiLettersAndDigits) {
    struct Case { const char* text; int accepted; };
    const Case cases[] = {
        {"abc123", 1}, {"ABCxyz09", 1}, {"7", 1},
        {"", 1},        // nothing that could break a statement; blank checks come first
        {nullptr, 1},   // treated as the empty text
        {"a b", 0}, {"a'b", 0}, {"x' OR '1'='1", 0}, {"a;b", 0}, {"a-b", 0}, {"a_b", 0},
        {"a\nb", 0}, {"caf\xC3\xA9", 0}, {" abc", 0}, {"abc ", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        EXPECT_EQ(CheckAlphaNum(c.text), c.accepted);
    }
}

}  // namespace
