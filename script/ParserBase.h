// Token cursor and error reporting shared by the three parsers.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Parser.h"

namespace quillon::script {

class ParserBase {
public:
    // Deepest nesting of statements and expressions a parser accepts; beyond it the text is
    // refused with an error instead of exhausting the stack of the thread that compiles.
    static constexpr int kMaxDepth = 200;

protected:
    explicit ParserBase(std::vector<Token> toks) : t_(std::move(toks)) {}

    const Token& cur() const { return t_[i_]; }
    const Token& ahead(size_t n) const { return t_[std::min(i_ + n, t_.size() - 1)]; }
    ast::Pos pos() const { return cur().pos; }
    void advance() { if (i_ + 1 < t_.size()) ++i_; }
    bool atEnd() const { return cur().kind == Tok::End; }

    bool isKw(const char* kw) const { return cur().kind == Tok::Ident && cur().lower == kw; }
    bool isKwAt(size_t n, const char* kw) const { return ahead(n).kind == Tok::Ident && ahead(n).lower == kw; }
    bool isP(const char* p) const { return cur().kind == Tok::Punct && cur().text == p; }
    bool acceptKw(const char* kw) { if (isKw(kw)) { advance(); return true; } return false; }
    bool acceptP(const char* p) { if (isP(p)) { advance(); return true; } return false; }

    static std::string describe(const Token& t) {
        switch (t.kind) {
        case Tok::End: return "end of file";
        case Tok::Newline: return "end of line";
        case Tok::Str: return "string constant";
        default: return "'" + t.text + "'";
        }
    }
    [[noreturn]] void fail(const std::string& text, ast::Pos p) const { throw CompileError{text, p}; }
    [[noreturn]] void expected(const std::string& what) const {
        fail(what + " expected but " + describe(cur()) + " found", pos());
    }
    void expectP(const char* p) { if (!acceptP(p)) expected(std::string("'") + p + "'"); }
    void expectKw(const char* kw, const char* shown) { if (!acceptKw(kw)) expected(std::string("'") + shown + "'"); }
    std::string expectIdent() {
        if (cur().kind != Tok::Ident) expected("Identifier");
        std::string s = cur().text;
        advance();
        return s;
    }

    // Counts nesting while a construct is parsed.
    struct Depth {
        explicit Depth(ParserBase& p) : p_(p) {
            if (++p_.depth_ > kMaxDepth) p_.fail("Nesting too deep", p_.pos());
        }
        ~Depth() { --p_.depth_; }
        ParserBase& p_;
    };

    // One more operand in a chain of left-associative operators: the chain makes the tree
    // as deep as it is long, so it counts against the same limit as nesting.
    void chainStep(int& chain) {
        if (++chain + depth_ > kMaxDepth) fail("Expression too complex", pos());
    }

    // Comma-separated items up to `closer`, which is consumed (the opener already was); an
    // empty list is allowed. Argument lists and array constructors of every syntax use it.
    template <typename ParseItem>
    void listUntil(std::vector<ast::ExprPtr>& out, const char* closer, ParseItem&& parseItem) {
        if (!isP(closer)) {
            do out.push_back(parseItem()); while (acceptP(","));
        }
        expectP(closer);
    }

    // A number or string literal at the cursor, consumed; null when there is none.
    ast::ExprPtr acceptLiteral() {
        const Token& t = cur();
        if (t.kind != Tok::Int && t.kind != Tok::Float && t.kind != Tok::Str) return nullptr;
        ast::ExprPtr e = t.kind == Tok::Str ? lit(Value(t.text), t.pos) : lit(t.value, t.pos);
        advance();
        return e;
    }

    static ast::ExprPtr lit(Value v, ast::Pos p) {
        auto e = std::make_unique<ast::Expr>(ast::ExprKind::Literal, p);
        e->value = std::move(v);
        return e;
    }
    static ast::ExprPtr binary(ast::Op op, ast::ExprPtr a, ast::ExprPtr b, ast::Pos p) {
        auto e = std::make_unique<ast::Expr>(ast::ExprKind::Binary, p);
        e->op = op;
        e->a = std::move(a);
        e->b = std::move(b);
        return e;
    }
    static ast::ExprPtr unary(ast::Op op, ast::ExprPtr a, ast::Pos p) {
        auto e = std::make_unique<ast::Expr>(ast::ExprKind::Unary, p);
        e->op = op;
        e->a = std::move(a);
        return e;
    }
    static ast::StmtPtr stmt(ast::StmtKind k, ast::Pos p) { return std::make_unique<ast::Stmt>(k, p); }

    std::vector<Token> t_;
    size_t i_ = 0;
    int depth_ = 0;
};

}  // namespace quillon::script
