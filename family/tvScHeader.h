// The main program's binding of libtvSecurity.so (the ten entries it binds; the program
// calls only Encrypt and Decrypt). Wrappers are safe when the library is missing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tvSecurityApi.h"

namespace tvSc {

inline constexpr const char* kFileName = "libtvSecurity.so";

bool Bind();
void Release();
bool Loaded();

bool ShowLogin(void* owner, const std::string& userId, const std::string& password);
void Logout();
void ShowChangePassword(void* owner);
bool NewEvent(const std::string& text, const std::string& moduleName, int32_t eventType);
void ShowEventLog(void* owner);
// Empty optional when the library or the entry is missing, so that a caller never stores
// a plain password where an enciphered one belongs.
std::optional<std::string> Encrypt(const std::string& plain);
std::optional<std::string> Decrypt(const std::string& cipher);
void ShowPermission(void* owner);
bool CheckFeatureAccess(const std::string& featureCode);
std::string GetSessionUserID();

}  // namespace tvSc
