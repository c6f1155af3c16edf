// Tokens of the Basic syntax: line ends are tokens (as is ':', which joins statements),
// comments ' and REM, "say ""hi""" strings, &HFF hexadecimal, `_` continues a line.
#include "Scanner.h"

namespace quillon::script {

std::vector<Token> lexBasic(std::string_view src) {
    Scanner sc(src);
    std::vector<Token> out;
    auto newline = [&](ast::Pos p, const char* text) {
        if (!out.empty() && out.back().kind == Tok::Newline) {
            if (text[0] == '\n') out.back().text = "\n";  // a real line end wins over ':'
            return;
        }
        out.push_back(Token{Tok::Newline, text, {}, {}, p});
    };
    while (!sc.atEnd()) {
        char c = sc.peek();
        ast::Pos p = sc.pos();
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') { sc.next(); continue; }
        if (c == '\n') { sc.next(); newline(p, "\n"); continue; }
        if (c == ':') { sc.next(); newline(p, ":"); continue; }
        if (c == '\'') {
            while (!sc.atEnd() && sc.peek() != '\n') sc.next();
            continue;
        }
        if (c == '_' && !Scanner::isIdentChar(sc.peek(1))) {
            // line continuation: `_` then only blanks up to the line end
            size_t k = 1;
            while (sc.peek(k) == ' ' || sc.peek(k) == '\t' || sc.peek(k) == '\r') ++k;
            if (sc.peek(k) == '\n' || sc.peek(k) == '\0') {
                for (size_t i = 0; i <= k && !sc.atEnd(); ++i) sc.next();
                continue;
            }
        }
        if (c == '"') {
            sc.next();
            Token t{Tok::Str, {}, {}, {}, p};
            while (true) {
                if (sc.atEnd() || sc.peek() == '\n' || sc.peek() == '\r') Scanner::fail("Unterminated string", p);
                char ch = sc.next();
                if (ch == '"') {
                    if (sc.peek() == '"') { sc.next(); t.text += '"'; continue; }
                    break;
                }
                t.text += ch;
            }
            out.push_back(std::move(t));
            continue;
        }
        if (Scanner::isIdentStart(c)) {
            Token t = sc.ident();
            if (t.lower == "rem") {
                while (!sc.atEnd() && sc.peek() != '\n') sc.next();
                continue;
            }
            out.push_back(std::move(t));
            continue;
        }
        if (c == '&' && (sc.peek(1) == 'H' || sc.peek(1) == 'h') && Scanner::isHex(sc.peek(2))) {
            sc.next(); sc.next();
            out.push_back(sc.hexNumber(p));
            continue;
        }
        if (Scanner::isDigit(c) || (c == '.' && Scanner::isDigit(sc.peek(1)))) { out.push_back(sc.number()); continue; }
        if (sc.punct(out, {"<>", "<=", ">=", "+=", "-=", "*=", "/=", "&=", "=", "<", ">", "+", "-", "*", "/", "\\", "^", "&",
                           "(", ")", "[", "]", ",", ".", ";"}))
            continue;
        Scanner::fail(Scanner::describe(c), p);
    }
    newline(sc.pos(), "\n");
    out.push_back(Token{Tok::End, {}, {}, {}, sc.pos()});
    return out;
}

}  // namespace quillon::script
