// Helpers shared by the standard library's parts.
#pragma once

#include <string>

#include "Compiler.h"
#include "GlobalUnit.h"
#include "Runtime.h"

namespace quillon::script::lib {

inline std::string text(const Value& v) { return v.isString() ? std::string(v.rawString()) : v.toString(); }
inline std::string_view view(const Value& v) { return v.rawString(); }  // argument declared string

inline char lowerChar(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
inline bool sameTextEq(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerChar(a[i]) != lowerChar(b[i])) return false;
    return true;
}

[[noreturn]] inline void error(const std::string& text) { throw RuntimeError(text); }

}  // namespace quillon::script::lib
