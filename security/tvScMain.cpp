// The exports of libtvSecurity.so and what happens when the library is loaded and
// unloaded. Every export is a plain C entry that never lets an exception out; the ones
// that need a family library or windows refuse their work, with a message, when it is
// missing.
#include "tvScMain.h"

#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "tvDaHeader.h"
#include "tvGnHeader.h"
#include "tvLcHeader.h"
#include "tvScChgPwd.h"
#include "tvScCipher.h"
#include "tvScEventLog.h"
#include "tvScEvents.h"
#include "tvScFeatureAccess.h"
#include "tvScLogin.h"
#include "tvScPermission.h"
#include "tvScRequire.h"
#include "tvScTexts.h"
#include "tvSecurityApi.h"

namespace sec {

// Defined before the load-time object below, so that they exist when it runs (one
// translation unit initialises in order of definition).
std::string SessionUserID;
int32_t SessionUserLevel = 0;
std::string ModuleName = "Security";
int32_t LoginAttempts = 0;
char DateSeparator = kDefaultDateSeparator;
std::string ShortDateFormat = kDefaultShortDateFormat;

void ClearSession() {
    SessionUserID.clear();
    SessionUserLevel = 0;
}

void ClearLibraryTexts() {
    ClearSession();
    ModuleName.clear();
    ShortDateFormat.clear();
}

namespace {

// Binds the family libraries at load, in this order, and releases them in reverse order
// at unload. The library stays usable without any of them: the cipher needs none, and
// every other export checks for what it needs.
class LibraryLifetime {
public:
    LibraryLifetime() {
        tvDa::Bind();
        tvLc::Bind();
        tvGn::Bind();
        // The computer name of events comes from gethostname(), which needs no start-up.
        ModuleName = tvLc::GetResStr("Security");
    }
    ~LibraryLifetime() {
        // Unloading does not log the user out: LAST_ACTIVE keeps its value.
        tvGn::Release();
        tvLc::Release();
        tvDa::Release();
        ClearLibraryTexts();
    }
    LibraryLifetime(const LibraryLifetime&) = delete;
    LibraryLifetime& operator=(const LibraryLifetime&) = delete;
};

LibraryLifetime lifetime;

std::string Text(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

char* Copy(const std::string& text) {
    char* out = static_cast<char*>(std::malloc(text.size() + 1));
    if (out != nullptr) std::memcpy(out, text.c_str(), text.size() + 1);
    return out;
}

QWidget* Owner(void* owner) { return static_cast<QWidget*>(owner); }

constexpr unsigned kWindowsNeeds = kNeedData | kNeedGeneral | kNeedWindows;

// Runs `body`, turning any exception into `failure` with a line on standard error.
template <typename T, typename Body>
T Guarded(const char* name, T failure, Body body) {
    try {
        return body();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tvSecurity: %s failed: %s\n", name, e.what());
    } catch (...) {
        std::fprintf(stderr, "tvSecurity: %s failed\n", name);
    }
    return failure;
}

}  // namespace
}  // namespace sec

using namespace sec;

TV_EXPORT int ShowLogin(void* owner, const char* userId, const char* password) {
    return Guarded("ShowLogin", 0, [&] {
        if (!Require("ShowLogin", kWindowsNeeds, true)) return 0;
        return sec::ShowLogin(Owner(owner), Text(userId), Text(password)) ? 1 : 0;
    });
}

TV_EXPORT void Logout() {
    Guarded("Logout", 0, [] {
        if (Require("Logout", kNeedData, false)) {
            const std::string sql = "UPDATE USERS SET LAST_ACTIVE = null WHERE USER_ID = '" +
                                    SqlEscape(SessionUserID) + "'";
            tvDa::UpdateRecords(0, sql.c_str());
        }
        // The session ends even when the database cannot be told.
        ClearSession();
        return 0;
    });
}

TV_EXPORT void ShowChangePassword(void* owner) {
    Guarded("ShowChangePassword", 0, [&] {
        if (Require("ShowChangePassword", kWindowsNeeds, true))
            sec::ShowChangePassword(Owner(owner));
        return 0;
    });
}

TV_EXPORT int NewEvent(const char* eventText, const char* moduleName, int32_t eventType) {
    return Guarded("NewEvent", 0, [&] {
        if (!Require("NewEvent", kNeedData, false)) return 0;
        return sec::NewEvent(Text(eventText), Text(moduleName), eventType) ? 1 : 0;
    });
}

TV_EXPORT void ShowEventLog(void* owner) {
    Guarded("ShowEventLog", 0, [&] {
        if (Require("ShowEventLog", kWindowsNeeds, true)) sec::ShowEventLog(Owner(owner));
        return 0;
    });
}

TV_EXPORT char* Encrypt(const char* plain) {
    return Guarded<char*>("Encrypt", nullptr, [&] { return Copy(EncryptText(Text(plain))); });
}

TV_EXPORT char* Decrypt(const char* cipher) {
    return Guarded<char*>("Decrypt", nullptr, [&] { return Copy(DecryptText(Text(cipher))); });
}

TV_EXPORT void ShowPermission(void* owner) {
    Guarded("ShowPermission", 0, [&] {
        if (Require("ShowPermission", kWindowsNeeds, true)) sec::ShowPermission(Owner(owner));
        return 0;
    });
}

TV_EXPORT int CheckFeatureAccess(const char* featureCode) {
    return Guarded("CheckFeatureAccess", 0, [&] {
        // Without a session it only shows a message, which the general library can also
        // write to standard error, so it needs no windows of its own.
        if (!Require("CheckFeatureAccess", kNeedData | kNeedGeneral, true)) return 0;
        return sec::CheckFeatureAccess(Text(featureCode)) ? 1 : 0;
    });
}

TV_EXPORT int CheckFeatureAccessWithLogin(void* owner, const char* featureCode,
                                          const char* userId, const char* password) {
    return Guarded("CheckFeatureAccessWithLogin", 0, [&] {
        if (!Require("CheckFeatureAccessWithLogin", kWindowsNeeds, true)) return 0;
        return sec::CheckFeatureAccessWithLogin(Owner(owner), Text(featureCode), Text(userId),
                                                Text(password))
                   ? 1
                   : 0;
    });
}

TV_EXPORT char* GetSessionUserID() {
    return Guarded<char*>("GetSessionUserID", nullptr, [] { return Copy(SessionUserID); });
}
