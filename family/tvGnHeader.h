// Binding of libtvGeneral.so. Wrappers are safe when the library or an entry is missing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tvGeneralApi.h"

namespace tvGn {

inline constexpr const char* kFileName = "libtvGeneral.so";

bool Bind();
void Release();
bool Loaded();

bool CheckAlphaNum(const std::string& text);
// Returns 0 when the library is missing (no button was pressed).
int ShowMsg(const std::string& text, int kind, int buttons, int helpContext = 0);
std::string SerializeArrayInt(const std::vector<int32_t>& items, char separator);
std::string SerializeArrayStr(const std::vector<std::string>& items, char separator);
std::vector<int32_t> GetArrayInt(const std::string& text);
std::vector<std::string> GetArrayStr(const std::string& text, char separator);
std::string GetInitSettingStr(const char* section, const char* key, const char* fileName,
                              const std::string& defaultValue = {});
bool GetInitSettingBool(const char* section, const char* key, const char* fileName,
                        bool defaultValue = false);
bool SetInitSettingStr(const char* section, const char* key, const std::string& value,
                       const char* fileName);
bool SetInitSettingBool(const char* section, const char* key, bool value, const char* fileName);
bool AddLog(const std::string& text, const std::string& fileName);
std::string VerboseAmount(double amount);

}  // namespace tvGn
