// The three front ends. Each turns program text into the shared tree (Ast.h) or throws
// CompileError (Token.h) at the first fault.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Ast.h"
#include "Token.h"

namespace quillon::script {

ast::Program parsePascal(std::string_view src);
// C++ needs to know which names are types to tell declarations from statements; the
// host's enumeration and set types are passed in `extraTypes` (lower case).
ast::Program parseCpp(std::string_view src, const std::vector<std::string>& extraTypes);
ast::Program parseBasic(std::string_view src);

// A routine header in the Pascal form, as the host and the standard library declare
// functions: "function Split(const str: string; const separator: string = ','): Variant".
std::unique_ptr<ast::Routine> parseDeclaration(std::string_view text);

}  // namespace quillon::script
