// The scanner core under the three lexers: walks the source bytes keeping line and
// column, and reads the pieces every syntax shares (identifiers, decimal numbers).
#pragma once

#include <cstdio>
#include <string_view>

#include "Token.h"

namespace quillon::script {

class Scanner {
public:
    explicit Scanner(std::string_view src) : s_(src) {}

    bool atEnd() const { return i_ >= s_.size(); }
    char peek(size_t ahead = 0) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : '\0'; }
    char next() {
        char c = s_[i_++];
        if (c == '\n') { ++line_; col_ = 1; } else { ++col_; }
        return c;
    }
    bool match(std::string_view w) {
        if (s_.substr(i_, w.size()) != w) return false;
        for (size_t k = 0; k < w.size(); ++k) next();
        return true;
    }
    ast::Pos pos() const { return {line_, col_}; }
    size_t offset() const { return i_; }
    std::string_view slice(size_t from) const { return s_.substr(from, i_ - from); }

    static bool isIdentStart(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static bool isIdentChar(char c) { return isIdentStart(c) || isDigit(c); }
    static bool isHex(char c) {
        return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }

    [[noreturn]] static void fail(const std::string& text, ast::Pos p) { throw CompileError{text, p}; }

    Token ident() {
        Token t{Tok::Ident, {}, {}, {}, pos()};
        size_t from = i_;
        while (!atEnd() && isIdentChar(peek())) next();
        t.text = std::string(slice(from));
        t.lower = t.text;
        for (char& c : t.lower)
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        return t;
    }

    // Decimal integer or real: 12, 1.5, 2e-3, 1.5E+10. A '.' followed by another '.' is a
    // range and ends the number (1..5).
    Token number() {
        Token t{Tok::Int, {}, {}, {}, pos()};
        size_t from = i_;
        while (isDigit(peek())) next();
        bool real = false;
        if (peek() == '.' && isDigit(peek(1))) {
            real = true;
            next();
            while (isDigit(peek())) next();
        }
        if ((peek() == 'e' || peek() == 'E') &&
            (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
            real = true;
            next();
            if (peek() == '+' || peek() == '-') next();
            while (isDigit(peek())) next();
        }
        if (isIdentStart(peek())) fail("Invalid number", t.pos);
        t.text = std::string(slice(from));
        if (!parseNumber(t.text, t.value)) fail("Invalid number", t.pos);
        if (real && t.value.isInt()) t.value = Value(double(t.value.rawInt()));
        t.kind = t.value.isInt() ? Tok::Int : Tok::Float;
        return t;
    }

    // Hexadecimal digits after a prefix ($, 0x, &H) already consumed.
    Token hexNumber(ast::Pos p) {
        Token t{Tok::Int, {}, {}, {}, p};
        size_t from = i_;
        while (isHex(peek())) next();
        std::string_view digits = slice(from);
        if (digits.empty() || digits.size() > 16 || isIdentChar(peek())) fail("Invalid number", p);
        uint64_t u = 0;
        for (char c : digits) u = u * 16 + uint64_t(isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10);
        t.text = std::string(digits);
        t.value = Value(int64_t(u));
        return t;
    }

    // Longest of the given operators at the current position (longer ones first in `ops`).
    bool punct(std::vector<Token>& out, std::initializer_list<std::string_view> ops) {
        for (std::string_view op : ops) {
            if (s_.substr(i_, op.size()) == op) {
                Token t{Tok::Punct, std::string(op), {}, {}, pos()};
                for (size_t k = 0; k < op.size(); ++k) next();
                out.push_back(std::move(t));
                return true;
            }
        }
        return false;
    }

    static std::string describe(char c) {
        if (c >= 32 && c < 127) return std::string("Invalid character '") + c + "'";
        char buf[32];
        std::snprintf(buf, sizeof buf, "Invalid character #%d", int(static_cast<unsigned char>(c)));
        return buf;
    }

private:
    std::string_view s_;
    size_t i_ = 0;
    int line_ = 1, col_ = 1;
};

}  // namespace quillon::script
