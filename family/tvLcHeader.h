// The security library's binding of the locale library. The file name is
// "libtvLocale" + language code + ".so"; the code is "EN".
#pragma once

#include <string>

#include "tvLocaleApi.h"

namespace tvLc {

std::string FileName();
bool Bind();
void Release();
bool Loaded();

// The display text for `key`; the key itself when the library is missing.
std::string GetResStr(const std::string& key);

}  // namespace tvLc
