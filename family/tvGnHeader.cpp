#include "tvGnHeader.h"

#include <cstdlib>

#include "LibraryBinding.h"
#include "TakeText.h"

namespace tvGn {
namespace {

enum Entry : std::size_t {
    eCheckAlphaNum, eShowMsg, eSerializeArrayInt, eSerializeArrayStr, eGetArrayInt,
    eGetArrayStr, eRemoveArrayItemStr, eRemoveArrayItemInt, eRemoveArrayItemDbl,
    eGetInitSettingStr, eGetInitSettingBool, eSetInitSettingStr, eSetInitSettingBool, eAddLog,
    eVerboseAmount
};

tv::LibraryBinding& Lib() {
    static tv::LibraryBinding lib(kFileName,
        {"CheckAlphaNum", "ShowMsg", "SerializeArrayInt", "SerializeArrayStr", "GetArrayInt",
         "GetArrayStr", "RemoveArrayItemStr", "RemoveArrayItemInt", "RemoveArrayItemDbl",
         "GetInitSettingStr", "GetInitSettingBool", "SetInitSettingStr", "SetInitSettingBool",
         "AddLog", "VerboseAmount"});
    return lib;
}

template <typename Fn>
Fn Get(Entry e) { return Lib().Entry<Fn>(e); }

}  // namespace

bool Bind() { return Lib().Load(); }
void Release() { Lib().Release(); }
bool Loaded() { return Lib().Loaded(); }

bool CheckAlphaNum(const std::string& text) {
    auto f = Get<decltype(&::CheckAlphaNum)>(eCheckAlphaNum);
    return f && f(text.c_str()) != 0;
}
int ShowMsg(const std::string& text, int kind, int buttons, int helpContext) {
    auto f = Get<decltype(&::ShowMsg)>(eShowMsg);
    return f ? f(text.c_str(), kind, buttons, helpContext) : 0;
}
std::string SerializeArrayInt(const std::vector<int32_t>& items, char separator) {
    auto f = Get<decltype(&::SerializeArrayInt)>(eSerializeArrayInt);
    return f ? tv::TakeText(f(items.data(), static_cast<int32_t>(items.size()), separator))
             : std::string();
}
std::string SerializeArrayStr(const std::vector<std::string>& items, char separator) {
    auto f = Get<decltype(&::SerializeArrayStr)>(eSerializeArrayStr);
    if (!f) return {};
    std::vector<const char*> raw;
    raw.reserve(items.size());
    for (const auto& s : items) raw.push_back(s.c_str());
    return tv::TakeText(f(raw.data(), static_cast<int32_t>(raw.size()), separator));
}
std::vector<int32_t> GetArrayInt(const std::string& text) {
    auto f = Get<decltype(&::GetArrayInt)>(eGetArrayInt);
    std::vector<int32_t> result;
    if (!f) return result;
    int32_t* items = nullptr;
    const int32_t count = f(text.c_str(), &items);
    if (items != nullptr) {
        result.assign(items, items + (count > 0 ? count : 0));
        std::free(items);
    }
    return result;
}
std::vector<std::string> GetArrayStr(const std::string& text, char separator) {
    auto f = Get<decltype(&::GetArrayStr)>(eGetArrayStr);
    std::vector<std::string> result;
    if (!f) return result;
    char** items = nullptr;
    const int32_t count = f(text.c_str(), separator, &items);
    if (items != nullptr) {
        for (int32_t i = 0; i < count; ++i) result.push_back(tv::TakeText(items[i]));
        std::free(items);
    }
    return result;
}
std::string GetInitSettingStr(const char* section, const char* key, const char* fileName,
                              const std::string& defaultValue) {
    auto f = Get<decltype(&::GetInitSettingStr)>(eGetInitSettingStr);
    return f ? tv::TakeText(f(section, key, fileName, defaultValue.c_str())) : defaultValue;
}
bool GetInitSettingBool(const char* section, const char* key, const char* fileName,
                        bool defaultValue) {
    auto f = Get<decltype(&::GetInitSettingBool)>(eGetInitSettingBool);
    return f ? f(section, key, fileName, defaultValue ? 1 : 0) != 0 : defaultValue;
}
bool SetInitSettingStr(const char* section, const char* key, const std::string& value,
                       const char* fileName) {
    auto f = Get<decltype(&::SetInitSettingStr)>(eSetInitSettingStr);
    return f && f(section, key, value.c_str(), fileName) != 0;
}
bool SetInitSettingBool(const char* section, const char* key, bool value, const char* fileName) {
    auto f = Get<decltype(&::SetInitSettingBool)>(eSetInitSettingBool);
    return f && f(section, key, value ? 1 : 0, fileName) != 0;
}
bool AddLog(const std::string& text, const std::string& fileName) {
    auto f = Get<decltype(&::AddLog)>(eAddLog);
    return f && f(text.c_str(), fileName.c_str()) != 0;
}
std::string VerboseAmount(double amount) {
    auto f = Get<decltype(&::VerboseAmount)>(eVerboseAmount);
    return f ? tv::TakeText(f(amount)) : std::string();
}

}  // namespace tvGn
