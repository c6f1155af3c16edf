// Tokens of the C++ syntax: comments // /* */, strings "a\"b\n" with escapes, one-character
// strings 'x', hexadecimal 0xFF.
#include "Scanner.h"

namespace quillon::script {

namespace {

// An escape sequence after the backslash.
char escape(Scanner& sc, ast::Pos p) {
    if (sc.atEnd()) Scanner::fail("Unterminated string", p);
    char c = sc.next();
    switch (c) {
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case '0': return '\0';
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'v': return '\v';
    case 'x': {
        int v = 0, n = 0;
        while (n < 2 && Scanner::isHex(sc.peek())) {
            char h = sc.next();
            v = v * 16 + (Scanner::isDigit(h) ? h - '0' : (h | 0x20) - 'a' + 10);
            ++n;
        }
        if (!n) Scanner::fail("Invalid escape sequence", p);
        return char(v);
    }
    case '\\':
    case '"':
    case '\'':
    case '?': return c;
    default: Scanner::fail(std::string("Invalid escape sequence '\\") + c + "'", p);
    }
}

}  // namespace

std::vector<Token> lexCpp(std::string_view src) {
    Scanner sc(src);
    std::vector<Token> out;
    while (!sc.atEnd()) {
        char c = sc.peek();
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') { sc.next(); continue; }
        ast::Pos p = sc.pos();
        if (c == '/' && sc.peek(1) == '/') {
            while (!sc.atEnd() && sc.peek() != '\n') sc.next();
            continue;
        }
        if (c == '/' && sc.peek(1) == '*') {
            sc.next(); sc.next();
            while (!sc.atEnd() && !(sc.peek() == '*' && sc.peek(1) == '/')) sc.next();
            if (sc.atEnd()) Scanner::fail("Unterminated comment", p);
            sc.next(); sc.next();
            continue;
        }
        if (c == '"' || c == '\'') {
            char q = sc.next();
            Token t{Tok::Str, {}, {}, {}, p};
            while (true) {
                if (sc.atEnd() || sc.peek() == '\n' || sc.peek() == '\r') Scanner::fail("Unterminated string", p);
                char ch = sc.next();
                if (ch == q) break;
                t.text += ch == '\\' ? escape(sc, p) : ch;
            }
            out.push_back(std::move(t));
            continue;
        }
        if (Scanner::isIdentStart(c)) { out.push_back(sc.ident()); continue; }
        if (c == '0' && (sc.peek(1) == 'x' || sc.peek(1) == 'X')) {
            sc.next(); sc.next();
            out.push_back(sc.hexNumber(p));
            continue;
        }
        if (Scanner::isDigit(c) || (c == '.' && Scanner::isDigit(sc.peek(1)))) { out.push_back(sc.number()); continue; }
        if (sc.punct(out, {"<<=", ">>=", "==", "!=", "<=", ">=", "&&", "||", "++", "--", "+=", "-=", "*=", "/=", "%=", "<<",
                           ">>", "{", "}", "(", ")", "[", "]", ",", ";", ":", "?", "!", "~", "+", "-", "*", "/", "%", "=",
                           "<", ">", "&", "|", "^", "."}))
            continue;
        Scanner::fail(Scanner::describe(c), p);
    }
    out.push_back(Token{Tok::End, {}, {}, {}, sc.pos()});
    return out;
}

}  // namespace quillon::script
