// Binary contract of libtvSecurity.so. Owner window handles are the host's top-level
// QWidget*, or null. Texts returned are malloc'ed and freed by the caller.
#pragma once

#include <cstdint>

#include "tvExport.h"

TV_EXPORT int ShowLogin(void* owner, const char* userId, const char* password);
TV_EXPORT void Logout();
TV_EXPORT void ShowChangePassword(void* owner);
TV_EXPORT int NewEvent(const char* eventText, const char* moduleName, int32_t eventType);
TV_EXPORT void ShowEventLog(void* owner);
TV_EXPORT char* Encrypt(const char* plain);
TV_EXPORT char* Decrypt(const char* cipher);
TV_EXPORT void ShowPermission(void* owner);
TV_EXPORT int CheckFeatureAccess(const char* featureCode);
TV_EXPORT int CheckFeatureAccessWithLogin(void* owner, const char* featureCode,
                                          const char* userId, const char* password);
TV_EXPORT char* GetSessionUserID();
