#include "ParserBase.h"
namespace quillon::script {
ast::Program parseCpp(std::string_view, const std::vector<std::string>&) { throw CompileError{"C++ syntax not available yet", {1, 1}}; }
}
