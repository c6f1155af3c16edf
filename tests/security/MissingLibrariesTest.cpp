// The library loaded where none of its family libraries can be found. It must say so at
// load, in the order it binds them, and then refuse the work that needs them instead of
// calling through an empty slot; the cipher needs none of them. This process loads no
// family library of its own, so the copy below finds none.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "TestSupport.h"
#include "UiScript.h"
#include "tvSecurityApi.h"

namespace sectest {
namespace {

namespace fs = std::filesystem;

template <typename Fn>
Fn Entry(void* module, const char* name) {
    return reinterpret_cast<Fn>(dlsym(module, name));
}

std::string Take(char* text) {
    std::string s = text != nullptr ? text : "<null>";
    std::free(text);
    return s;
}

TEST(MissingLibraries, ReportedAtLoadAndRefusedByTheExportsThatNeedThem) {
    testsupport::TempDir dir;
    const fs::path copy = fs::path(dir.Path()) / "libtvSecurity.so";
    fs::copy_file(fs::path(testsupport::BuildDir()) / "libtvSecurity.so", copy);

    std::string notices[3];
    void* module = nullptr;
    {
        UiScript ui;
        for (std::string& notice : notices) ui.AnswerNotice(&notice);
        module = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        ui.ExpectFinished();
    }
    ASSERT_NE(module, nullptr) << dlerror();
    EXPECT_EQ(notices[0], "libtvDataAccess.so not loaded!");
    EXPECT_EQ(notices[1], "libtvLocaleEN.so not loaded!");
    EXPECT_EQ(notices[2], "libtvGeneral.so not loaded!");

    EXPECT_EQ(Take(Entry<decltype(&::Encrypt)>(module, "Encrypt")("admin")), "1DC92D5852");
    EXPECT_EQ(Take(Entry<decltype(&::Decrypt)>(module, "Decrypt")("1DC92D5852")), "admin");
    EXPECT_EQ(Take(Entry<decltype(&::GetSessionUserID)>(module, "GetSessionUserID")()), "");
    // Silent by contract: a failure result (and a line on standard error), no window.
    EXPECT_EQ(Entry<decltype(&::NewEvent)>(module, "NewEvent")("x", "Test", 1), 0);
    Entry<decltype(&::Logout)>(module, "Logout")();

    const struct {
        const char* name;
        std::function<int()> call;
    } refusals[] = {
        {"ShowLogin", [&] { return Entry<decltype(&::ShowLogin)>(module, "ShowLogin")(nullptr, "admin", "admin"); }},
        {"CheckFeatureAccess",
         [&] { return Entry<decltype(&::CheckFeatureAccess)>(module, "CheckFeatureAccess")("X"); }},
        {"CheckFeatureAccessWithLogin",
         [&] {
             return Entry<decltype(&::CheckFeatureAccessWithLogin)>(
                 module, "CheckFeatureAccessWithLogin")(nullptr, "X", "admin", "admin");
         }},
        {"ShowChangePassword",
         [&] { Entry<decltype(&::ShowChangePassword)>(module, "ShowChangePassword")(nullptr); return 0; }},
        {"ShowEventLog",
         [&] { Entry<decltype(&::ShowEventLog)>(module, "ShowEventLog")(nullptr); return 0; }},
        {"ShowPermission",
         [&] { Entry<decltype(&::ShowPermission)>(module, "ShowPermission")(nullptr); return 0; }},
    };
    for (const auto& r : refusals) {
        std::string notice;
        UiScript ui;
        ui.AnswerNotice(&notice);
        EXPECT_EQ(r.call(), 0) << r.name;
        ui.ExpectFinished();
        EXPECT_EQ(notice, std::string(r.name) + " cannot work: libtvDataAccess.so not loaded!");
    }
    dlclose(module);
}

}  // namespace
}  // namespace sectest

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
