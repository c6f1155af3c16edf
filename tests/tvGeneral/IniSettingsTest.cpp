// INI settings through the exported entries: the text a write leaves behind, defaults,
// hand-edited files, values that need care, and concurrent writers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "GnTestUtil.h"
#include "TestSupport.h"
#include "tvGeneralApi.h"

namespace {

using gntest::ReadFile;
using gntest::WriteFile;
namespace fs = std::filesystem;

std::string GetStr(const char* section, const char* key, const std::string& file,
                   const char* def = "") {
    return tv::TakeText(GetInitSettingStr(section, key, file.c_str(), def));
}

TEST(IniSettings, RoundTripLeavesClassicText) {
    testsupport::TempDir dir;
    gntest::ScopedHome home(dir.Path().c_str());
    ASSERT_EQ(SetInitSettingBool("System", "Log Event", 1, "Quillon.ini"), 1);
    ASSERT_EQ(SetInitSettingBool("System", "Load on Windows startup", 0, "Quillon.ini"), 1);
    ASSERT_EQ(SetInitSettingStr("Security", "Password", "0A1B2C", "Quillon.ini"), 1);

    // The bare name lands in the program folder (QUILLON_HOME here).
    EXPECT_EQ(ReadFile(dir.File("Quillon.ini")),
              "[System]\nLog Event=1\nLoad on Windows startup=0\n\n[Security]\nPassword=0A1B2C\n");
    EXPECT_EQ(GetInitSettingBool("System", "Log Event", "Quillon.ini", 0), 1);
    EXPECT_EQ(GetInitSettingBool("System", "Load on Windows startup", "Quillon.ini", 1), 0);
    EXPECT_EQ(GetStr("Security", "Password", "Quillon.ini"), "0A1B2C");

    // Overwriting changes the line in place.
    ASSERT_EQ(SetInitSettingBool("System", "Log Event", 0, "Quillon.ini"), 1);
    EXPECT_EQ(GetInitSettingBool("System", "Log Event", "Quillon.ini", 1), 0);
    EXPECT_EQ(ReadFile(dir.File("Quillon.ini")),
              "[System]\nLog Event=0\nLoad on Windows startup=0\n\n[Security]\nPassword=0A1B2C\n");
}

TEST(IniSettings, DefaultsWhenFileSectionOrKeyIsMissing) {
    testsupport::TempDir dir;
    const std::string file = dir.File("s.ini");
    WriteFile(file, "[System]\nLog Event=1\n");
    const std::string missingFile = dir.File("none.ini");
    struct Case { const char* section; const char* key; const std::string* file; };
    const Case cases[] = {
        {"System", "Log Event", &missingFile},
        {"Security", "Log Event", &file},
        {"System", "Load on Startup", &file},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key + " in " + *c.file);
        EXPECT_EQ(GetStr(c.section, c.key, *c.file, "fallback"), "fallback");
        EXPECT_EQ(GetStr(c.section, c.key, *c.file), "");
        EXPECT_EQ(GetInitSettingBool(c.section, c.key, c.file->c_str(), 0), 0);
        EXPECT_EQ(GetInitSettingBool(c.section, c.key, c.file->c_str(), 1), 1);
    }
    EXPECT_FALSE(fs::exists(missingFile)) << "reading must not create the file";
    EXPECT_EQ(GetStr("System", "Log Event", "", "d"), "d");
    EXPECT_EQ(GetInitSettingBool("System", "Log Event", nullptr, 1), 1);
}

TEST(IniSettings, HandWrittenFileKeepsEverythingElse) {
    testsupport::TempDir dir;
    const std::string file = dir.File("hand.ini");
    // CR LF line ends, comments, odd spacing and letter case, a repeated key, no final EOL.
    WriteFile(file,
              "; Quillon settings\r\n"
              "[System]\r\n"
              "# edited by hand\r\n"
              "log event = 0\r\n"
              "Load on Startup=yes\r\n"
              "\r\n"
              "[ Other ]\r\n"
              "Name = x ; not a comment\r\n"
              "Name=second\r\n"
              "[System]\r\n"
              "Tail=1");
    EXPECT_EQ(GetInitSettingBool("SYSTEM", "Log Event", file.c_str(), 1), 0);
    EXPECT_EQ(GetInitSettingBool("System", "load on startup", file.c_str(), 0), 1);
    EXPECT_EQ(GetStr("Other", "Name", file), "x ; not a comment");  // first one wins
    EXPECT_EQ(GetStr("System", "Tail", file), "1");

    ASSERT_EQ(SetInitSettingBool("System", "Log Event", 1, file.c_str()), 1);
    ASSERT_EQ(SetInitSettingStr("System", "New Key", "v", file.c_str()), 1);
    ASSERT_EQ(SetInitSettingStr("Security", "Password", "P", file.c_str()), 1);
    EXPECT_EQ(ReadFile(file),
              "; Quillon settings\r\n"
              "[System]\r\n"
              "# edited by hand\r\n"
              "log event=1\r\n"
              "Load on Startup=yes\r\n"
              "New Key=v\r\n"
              "\r\n"
              "[ Other ]\r\n"
              "Name = x ; not a comment\r\n"
              "Name=second\r\n"
              "[System]\r\n"
              "Tail=1\r\n"
              "\r\n"
              "[Security]\r\n"
              "Password=P\r\n");
}

TEST(IniSettings, FlagsAreReadLeniently) {
    testsupport::TempDir dir;
    const std::string file = dir.File("flags.ini");
    struct Case { const char* stored; int whenDefaultFalse; int whenDefaultTrue; };
    const Case cases[] = {
        {"1", 1, 1},     {"0", 0, 0},    {"TRUE", 1, 1}, {"False", 0, 0}, {"yes", 1, 1},
        {"NO", 0, 0},    {"2", 0, 1},    {"", 0, 1},     {"on", 0, 1},    {"1 ; on", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("stored \"") + c.stored + "\"");
        ASSERT_EQ(SetInitSettingStr("S", "Flag", c.stored, file.c_str()), 1);
        EXPECT_EQ(GetInitSettingBool("S", "Flag", file.c_str(), 0), c.whenDefaultFalse);
        EXPECT_EQ(GetInitSettingBool("S", "Flag", file.c_str(), 1), c.whenDefaultTrue);
    }
}

TEST(IniSettings, AwkwardValuesSurviveAndUnstorableOnesAreRefused) {
    testsupport::TempDir dir;
    const std::string file = dir.File("v.ini");
    for (const char* value : {"  padded  ", "\"quoted\"", "a=b", "; not a comment", "",
                              "\"", "x\"y", "[Looks like a section]", "caf\xC3\xA9"}) {
        SCOPED_TRACE(std::string("value [") + value + "]");
        ASSERT_EQ(SetInitSettingStr("S", "Key", value, file.c_str()), 1);
        EXPECT_EQ(GetStr("S", "Key", file, "default"), value);
    }

    const std::string before = ReadFile(file);
    struct Bad { const char* section; const char* key; const char* value; };
    const Bad refused[] = {
        {"S", "Key", "two\nlines"}, {"S", "Key", "cr\rhere"}, {"S]x", "Key", "v"},
        {"S", "k=v", "v"},          {"S", "", "v"},           {"", "Key", "v"},
        {"S", "  ", "v"},           {"S", "[Key", "v"},       {"S", ";Key", "v"},
        {nullptr, "Key", "v"},
    };
    for (const Bad& b : refused) {
        SCOPED_TRACE(std::string(b.section ? b.section : "(null)") + "/" + b.key + "=" + b.value);
        EXPECT_EQ(SetInitSettingStr(b.section, b.key, b.value, file.c_str()), 0);
    }
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_EQ(SetInitSettingStr("S", "Key", "v", dir.File("no/such/folder.ini").c_str()), 0);
}

TEST(IniSettings, ConcurrentWritersLoseNoUpdate) {
    testsupport::TempDir dir;
    const std::string file = dir.File("busy.ini");
    constexpr int kThreads = 4, kKeys = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int k = 0; k < kKeys; ++k) {
                const std::string key = "Key " + std::to_string(t) + "-" + std::to_string(k);
                SetInitSettingStr(t % 2 ? "Odd" : "Even", key.c_str(), key.c_str(), file.c_str());
            }
        });
    for (auto& thread : threads) thread.join();

    for (int t = 0; t < kThreads; ++t)
        for (int k = 0; k < kKeys; ++k) {
            const std::string key = "Key " + std::to_string(t) + "-" + std::to_string(k);
            EXPECT_EQ(GetStr(t % 2 ? "Odd" : "Even", key.c_str(), file), key);
        }
    // Nothing but the file itself is left in the folder (no temporary files).
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(IniSettings, ReplacingKeepsPermissionsAndSymbolicLinks) {
    testsupport::TempDir dir;
    const std::string real = dir.File("real.ini"), link = dir.File("link.ini");
    WriteFile(real, "[S]\nA=1\n");
    ASSERT_EQ(chmod(real.c_str(), 0600), 0);
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);

    ASSERT_EQ(SetInitSettingStr("S", "B", "2", link.c_str()), 1);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(real), "[S]\nA=1\nB=2\n");
    struct stat st {};
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(IniSettings, BareNameWithoutHomeGoesNextToTheExecutable) {
    gntest::ScopedHome home(nullptr);
    const std::string name = "tvGeneral-test-" + std::to_string(getpid()) + ".ini";
    const fs::path expected = fs::read_symlink("/proc/self/exe").parent_path() / name;
    ASSERT_EQ(SetInitSettingStr("S", "K", "v", name.c_str()), 1);
    EXPECT_TRUE(fs::exists(expected));
    EXPECT_EQ(GetStr("S", "K", name), "v");
    fs::remove(expected);
}

}  // namespace
