#include "Scanner.h"
namespace quillon::script {
std::vector<Token> lexCpp(std::string_view src) { return lexPascal(src); }
}
