// The check that guards texts built into SQL statements.
#pragma once

#include <string_view>

namespace tvgeneral {

// True when every character is an ASCII letter or digit. An empty text is accepted: it
// holds no character that could break a statement, and the callers that must refuse
// blank input (the password dialog) test for blanks before they call this; an empty user
// ID then simply fails authentication. Bytes above 127 are refused.
bool IsAlphaNum(std::string_view text);

}  // namespace tvgeneral
