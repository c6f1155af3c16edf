#include <gtest/gtest.h>

#include <set>

#include "SingleInstance.h"

namespace {

TEST(InstanceName, UpperCasesThePathAndTurnsSlashesIntoUnderscores) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"/opt/quillon/quillon", "APPLICATION-_OPT_QUILLON_QUILLON"},
        {"/home/ann/My Tools/Q-1.0/quillon", "APPLICATION-_HOME_ANN_MY TOOLS_Q-1.0_QUILLON"},
        {"/srv/\xC3\xA4rger/quillon", "APPLICATION-_SRV_\xC3\x84RGER_QUILLON"},  // UTF-8 a-umlaut
    };
    for (const auto& c : cases) EXPECT_EQ(InstanceName(c.path), c.name) << c.path;
    // Letter case alone does not make another instance.
    EXPECT_EQ(InstanceName("/opt/Q/quillon"), InstanceName("/OPT/q/QUILLON"));
}

TEST(InstanceName, LongPathsStillGetDistinctNamesThatFitASocketAddress) {
    const std::string deep = "/tmp/" + std::string(200, 'd');
    const std::string a = InstanceName(deep + "/a/quillon");
    const std::string b = InstanceName(deep + "/b/quillon");
    EXPECT_EQ(a.size(), 107u);
    EXPECT_EQ(b.size(), 107u);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, InstanceName(deep + "/A/QUILLON"));
    EXPECT_EQ(a.rfind("APPLICATION-_TMP_DDD", 0), 0u);
    // Just fitting: kept as it is.
    const std::string fits = "/" + std::string(107 - 13, 'x');
    EXPECT_EQ(InstanceName(fits).size(), 107u);
    EXPECT_EQ(InstanceName(fits).find('~'), std::string::npos);
}

}  // namespace
