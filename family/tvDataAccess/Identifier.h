// Table and column names go into statements as text; only plain identifiers are let in.
#pragma once

#include <string_view>

namespace tvda {

// True for a non-empty name made of ASCII letters, digits, '_' and '$'.
bool IsPlainIdentifier(std::string_view name);

// Throws DbError naming `what` ("table", "column") when the name is not plain.
void RequirePlainIdentifier(const char* name, const char* what);

}  // namespace tvda
