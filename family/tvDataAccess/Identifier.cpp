#include "Identifier.h"

#include <string>

#include "Diagnostics.h"

namespace tvda {

bool IsPlainIdentifier(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '$';
        if (!ok) return false;
    }
    return true;
}

void RequirePlainIdentifier(const char* name, const char* what) {
    if (name == nullptr) throw DbError(std::string("no ") + what + " name given");
    if (!IsPlainIdentifier(name))
        throw DbError(std::string("refused ") + what + " name " + Quoted(name) +
                      ": only letters, digits, '_' and '$' are allowed");
}

}  // namespace tvda
