#include "tvScHeader.h"

#include "LibraryBinding.h"
#include "TakeText.h"

namespace tvSc {
namespace {

enum Entry : std::size_t {
    eShowLogin, eLogout, eShowChangePassword, eNewEvent, eShowEventLog, eEncrypt, eDecrypt,
    eShowPermission, eCheckFeatureAccess, eGetSessionUserID
};

tv::LibraryBinding& Lib() {
    static tv::LibraryBinding lib(kFileName,
        {"ShowLogin", "Logout", "ShowChangePassword", "NewEvent", "ShowEventLog", "Encrypt",
         "Decrypt", "ShowPermission", "CheckFeatureAccess", "GetSessionUserID"});
    return lib;
}

template <typename Fn>
Fn Get(Entry e) { return Lib().Entry<Fn>(e); }

}  // namespace

bool Bind() { return Lib().Load(); }
void Release() { Lib().Release(); }
bool Loaded() { return Lib().Loaded(); }

bool ShowLogin(void* owner, const std::string& userId, const std::string& password) {
    auto f = Get<decltype(&::ShowLogin)>(eShowLogin);
    return f && f(owner, userId.c_str(), password.c_str()) != 0;
}
void Logout() {
    if (auto f = Get<decltype(&::Logout)>(eLogout)) f();
}
void ShowChangePassword(void* owner) {
    if (auto f = Get<decltype(&::ShowChangePassword)>(eShowChangePassword)) f(owner);
}
bool NewEvent(const std::string& text, const std::string& moduleName, int32_t eventType) {
    auto f = Get<decltype(&::NewEvent)>(eNewEvent);
    return f && f(text.c_str(), moduleName.c_str(), eventType) != 0;
}
void ShowEventLog(void* owner) {
    if (auto f = Get<decltype(&::ShowEventLog)>(eShowEventLog)) f(owner);
}
std::optional<std::string> Encrypt(const std::string& plain) {
    auto f = Get<decltype(&::Encrypt)>(eEncrypt);
    if (!f) return std::nullopt;
    return tv::TakeText(f(plain.c_str()));
}
std::optional<std::string> Decrypt(const std::string& cipher) {
    auto f = Get<decltype(&::Decrypt)>(eDecrypt);
    if (!f) return std::nullopt;
    return tv::TakeText(f(cipher.c_str()));
}
void ShowPermission(void* owner) {
    if (auto f = Get<decltype(&::ShowPermission)>(eShowPermission)) f(owner);
}
bool CheckFeatureAccess(const std::string& featureCode) {
    auto f = Get<decltype(&::CheckFeatureAccess)>(eCheckFeatureAccess);
    return f && f(featureCode.c_str()) != 0;
}
std::string GetSessionUserID() {
    auto f = Get<decltype(&::GetSessionUserID)>(eGetSessionUserID);
    return f ? tv::TakeText(f()) : std::string();
}

}  // namespace tvSc
