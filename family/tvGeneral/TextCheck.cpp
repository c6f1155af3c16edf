#include "TextCheck.h"

namespace tvgeneral {

bool IsAlphaNum(std::string_view text) {
    for (const char c : text) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit) return false;
    }
    return true;
}

}  // namespace tvgeneral
