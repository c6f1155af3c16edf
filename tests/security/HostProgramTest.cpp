// The library used by a program of its own, the way another program of the family uses
// it: the tiny host binds it by file name and works on its first connection, a settings
// database made from db/ with its seed rows.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "TestSupport.h"

namespace {

std::map<std::string, std::string> RunHost(const std::string& database, int* status) {
    const std::string command = "QT_QPA_PLATFORM=offscreen '" + testsupport::BuildDir() +
                                "/tests/security_tiny_host' '" + database + "'";
    std::map<std::string, std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return lines;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        std::string line(buffer);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        const auto eq = line.find('=');
        if (eq != std::string::npos) lines[line.substr(0, eq)] = line.substr(eq + 1);
    }
    *status = pclose(pipe);
    return lines;
}

TEST(HostProgram, UsesTheLibraryOnItsFirstConnection) {
    testsupport::TempDir dir;
    const std::string database = dir.File("HOST.GDB");
    ASSERT_TRUE(testsupport::CreateSettingsDatabase(database));
    int status = -1;
    const auto out = RunHost(database, &status);
    EXPECT_EQ(status, 0);
    const std::map<std::string, std::string> expected = {
        {"bound", "yes"},
        {"handle", "0"},
        {"encrypt", "1DC92D5852"},  // the seed's admin password
        {"decrypt", "admin"},
        {"session before", ""},
        {"new event", "1"},
        {"login owner", "host window"},
        {"login", "1"},
        {"session", "admin"},
        {"settings access", "1"},
        {"with login", "1"},
        {"session after", ""},
        {"events",
         "Tiny host started.|User starts login.|User logged in.|User starts login.|"
         "User login to check feature access"},
    };
    EXPECT_EQ(out, expected);
}

}  // namespace
