#include "Scanner.h"
namespace quillon::script {
std::vector<Token> lexBasic(std::string_view src) { return lexPascal(src); }
}
