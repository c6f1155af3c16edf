// Tokens shared by the three lexers, and the compile error that lexers, parsers and the
// compiler throw at the first fault they find.
#pragma once

#include <string>
#include <vector>

#include "Ast.h"

namespace quillon::script {

enum class Tok { Ident, Int, Float, Str, Punct, Newline, End };

struct Token {
    Tok kind;
    std::string text;   // identifier as written, punctuation, or a string's value
    std::string lower;  // identifier in lower case (keywords are matched on it)
    Value value;        // number literals
    ast::Pos pos;
};

struct CompileError {
    std::string text;
    ast::Pos pos;
};

// One lexer per syntax; each returns the tokens ending with Tok::End, or throws CompileError.
std::vector<Token> lexPascal(std::string_view src);
std::vector<Token> lexCpp(std::string_view src);
std::vector<Token> lexBasic(std::string_view src);

}  // namespace quillon::script
