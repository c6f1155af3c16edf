#include "ParserBase.h"
namespace quillon::script {
ast::Program parseBasic(std::string_view) { throw CompileError{"Basic syntax not available yet", {1, 1}}; }
}
