#include "tvLcHeader.h"

#include "LibraryBinding.h"
#include "TakeText.h"

namespace tvLc {
namespace {

constexpr const char* kLanguageCode = "EN";

tv::LibraryBinding& Lib() {
    static tv::LibraryBinding lib(FileName(), {"GetResStr"});
    return lib;
}

}  // namespace

std::string FileName() { return std::string("libtvLocale") + kLanguageCode + ".so"; }
bool Bind() { return Lib().Load(); }
void Release() { Lib().Release(); }
bool Loaded() { return Lib().Loaded(); }

std::string GetResStr(const std::string& key) {
    auto f = Lib().Entry<decltype(&::GetResStr)>(0);
    return f ? tv::TakeText(f(key.c_str())) : key;
}

}  // namespace tvLc
