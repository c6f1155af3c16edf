// Tokens of the Pascal syntax: comments // { } (* *), strings 'it''s' joined with
// character codes #13 #$0A, hexadecimal $FF.
#include "Scanner.h"

namespace quillon::script {

std::vector<Token> lexPascal(std::string_view src) {
    Scanner sc(src);
    std::vector<Token> out;
    while (true) {
        char c = sc.peek();
        if (sc.atEnd()) break;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') { sc.next(); continue; }
        ast::Pos p = sc.pos();
        if (c == '/' && sc.peek(1) == '/') {
            while (!sc.atEnd() && sc.peek() != '\n') sc.next();
            continue;
        }
        if (c == '{') {
            while (!sc.atEnd() && sc.peek() != '}') sc.next();
            if (sc.atEnd()) Scanner::fail("Unterminated comment", p);
            sc.next();
            continue;
        }
        if (c == '(' && sc.peek(1) == '*') {
            sc.next(); sc.next();
            while (!sc.atEnd() && !(sc.peek() == '*' && sc.peek(1) == ')')) sc.next();
            if (sc.atEnd()) Scanner::fail("Unterminated comment", p);
            sc.next(); sc.next();
            continue;
        }
        if (c == '\'' || c == '#') {
            // A string is a run of quoted pieces and character codes.
            Token t{Tok::Str, {}, {}, {}, p};
            while (sc.peek() == '\'' || sc.peek() == '#') {
                if (sc.peek() == '\'') {
                    ast::Pos qp = sc.pos();
                    sc.next();
                    while (true) {
                        if (sc.atEnd() || sc.peek() == '\n' || sc.peek() == '\r') Scanner::fail("Unterminated string", qp);
                        char ch = sc.next();
                        if (ch == '\'') {
                            if (sc.peek() == '\'') { sc.next(); t.text += '\''; continue; }
                            break;
                        }
                        t.text += ch;
                    }
                } else {
                    ast::Pos hp = sc.pos();
                    sc.next();
                    uint64_t code = 0;
                    bool any = false;
                    if (sc.peek() == '$') {
                        sc.next();
                        while (Scanner::isHex(sc.peek()) && code < 256) {
                            char h = sc.next();
                            code = code * 16 + uint64_t(Scanner::isDigit(h) ? h - '0' : (h | 0x20) - 'a' + 10);
                            any = true;
                        }
                    } else {
                        while (Scanner::isDigit(sc.peek()) && code < 256) { code = code * 10 + uint64_t(sc.next() - '0'); any = true; }
                    }
                    if (!any || code > 255) Scanner::fail("Invalid character code", hp);
                    t.text += char(code);
                }
            }
            out.push_back(std::move(t));
            continue;
        }
        if (Scanner::isIdentStart(c)) { out.push_back(sc.ident()); continue; }
        if (Scanner::isDigit(c)) { out.push_back(sc.number()); continue; }
        if (c == '$') { sc.next(); out.push_back(sc.hexNumber(p)); continue; }
        if (sc.punct(out, {":=", "<=", ">=", "<>", "..", "+=", "-=", "*=", "/=", "(", ")", "[", "]", ",", ";", ":", ".", "+", "-",
                           "*", "/", "=", "<", ">", "^", "@"}))
            continue;
        Scanner::fail(Scanner::describe(c), p);
    }
    out.push_back(Token{Tok::End, {}, {}, {}, sc.pos()});
    return out;
}

}  // namespace quillon::script
