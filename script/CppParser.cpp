// The C++ front end: declarations and functions at file scope, top-level statements and
// blocks as the main program, C operators and statements.
#include <algorithm>
#include <unordered_set>

#include "ParserBase.h"

namespace quillon::script {

using namespace ast;

namespace {

class CppParser : public ParserBase {
public:
    CppParser(std::string_view src, const std::vector<std::string>& extraTypes)
        : ParserBase(lexCpp(src)), extra_(extraTypes) {}

    Program program() {
        Program prog;
        prog.stringBase = 0;
        prog.resultByName = false;
        prog.main = stmt(StmtKind::Block, pos());
        while (!atEnd()) {
            if (isTypeStart() && isFunctionAhead()) {
                prog.routines.push_back(function());
            } else if (isDeclarationStart()) {
                declaration(prog.globals);
                expectP(";");
            } else {
                prog.main->body.push_back(statement());
            }
        }
        return prog;
    }

private:
    bool isTypeName(const Token& t) const {
        if (t.kind != Tok::Ident) return false;
        static const std::unordered_set<std::string> names = {
            "int", "long", "short", "float", "double", "bool", "string", "variant", "char", "byte", "word", "integer",
            "int64", "cardinal", "longint", "smallint", "extended", "real", "single", "currency", "tdatetime",
            "boolean", "void", "unsigned", "signed"};
        if (names.count(t.lower)) return true;
        return !extra_.empty() && std::find(extra_.begin(), extra_.end(), t.lower) != extra_.end();
    }

    bool isTypeStart() const { return isTypeName(cur()) || (isKw("const") && isTypeName(ahead(1))); }

    // type [&] name ( ...  at file scope
    bool isFunctionAhead() const {
        size_t k = isKw("const") ? 1 : 0;
        ++k;
        while (ahead(k).kind == Tok::Ident && isTypeName(ahead(k))) ++k;  // unsigned int
        if (ahead(k).kind == Tok::Punct && (ahead(k).text == "&" || ahead(k).text == "*")) ++k;
        return ahead(k).kind == Tok::Ident && ahead(k + 1).kind == Tok::Punct && ahead(k + 1).text == "(";
    }

    bool isDeclarationStart() const {
        if (isKw("const")) return true;
        if (!isTypeName(cur())) return false;
        size_t k = 1;
        while (isTypeName(ahead(k))) ++k;
        return ahead(k).kind == Tok::Ident;
    }

    TypeSpec type() {
        TypeSpec t;
        t.pos = pos();
        std::string name;
        while (isTypeName(cur())) {
            const std::string& w = cur().lower;
            if (w == "unsigned" || w == "signed") { if (name.empty()) name = "int"; }
            else name = cur().text;
            advance();
        }
        if (name.empty()) expected("Type");
        t.name = name;
        return t;
    }

    static bool isVoid(const TypeSpec& t) {
        std::string low = t.name;
        for (char& c : low) c = char(std::tolower(static_cast<unsigned char>(c)));
        return low == "void";
    }

    // [const] type declarator {, declarator}
    void declaration(std::vector<VarDecl>& out) {
        bool isConst = acceptKw("const");
        TypeSpec t = type();
        if (isVoid(t)) fail("Variables cannot be void", t.pos);
        do {
            VarDecl v;
            v.pos = pos();
            v.isConst = isConst;
            v.name = expectIdent();
            v.type.name = t.name;
            v.type.pos = t.pos;
            if (acceptP("[")) {
                // int a[5]: indexes 0..4
                Pos bp = pos();
                ExprPtr n = expr();
                expectP("]");
                TypeSpec elem;
                elem.name = t.name;
                elem.pos = t.pos;
                v.type = TypeSpec{};
                v.type.isArray = true;
                v.type.pos = t.pos;
                v.type.low = lit(Value(int64_t(0)), bp);
                v.type.high = binary(Op::Sub, std::move(n), lit(Value(int64_t(1)), bp), bp);
                v.type.elem = std::make_unique<TypeSpec>(std::move(elem));
            }
            if (acceptP("=")) v.init = initializer();
            if (isConst && !v.init) expected("'='");
            out.push_back(std::move(v));
        } while (acceptP(","));
    }

    ExprPtr initializer() {
        if (isP("{")) {
            Pos p = pos();
            advance();
            auto e = std::make_unique<Expr>(ExprKind::ArrayCtor, p);
            listUntil(e->args, "}", [&] { return expr(); });
            return e;
        }
        return expr();
    }

    std::unique_ptr<Routine> function() {
        auto r = std::make_unique<Routine>();
        acceptKw("const");
        r->result = type();
        r->isFunction = !isVoid(r->result);
        if (!r->isFunction) r->result = TypeSpec{};
        acceptP("&");
        acceptP("*");
        r->pos = pos();
        r->name = expectIdent();
        expectP("(");
        if (!isP(")") && !(isKw("void") && ahead(1).kind == Tok::Punct && ahead(1).text == ")")) {
            do {
                Param p;
                acceptKw("const");
                if (!isTypeName(cur())) expected("Type");
                p.type = type();
                if (acceptP("&")) p.byRef = true;
                p.pos = pos();
                p.name = expectIdent();
                if (acceptP("[")) {
                    expectP("]");
                    TypeSpec elem = std::move(p.type);
                    p.type = TypeSpec{};
                    p.type.isArray = true;
                    p.type.elem = std::make_unique<TypeSpec>(std::move(elem));
                }
                if (acceptP("=")) p.def = expr();
                r->params.push_back(std::move(p));
            } while (acceptP(","));
        } else {
            acceptKw("void");
        }
        expectP(")");
        if (!isP("{")) expected("'{'");
        r->body = block();
        return r;
    }

    StmtPtr block() {
        Depth d(*this);
        auto b = stmt(StmtKind::Block, pos());
        expectP("{");
        while (!isP("}")) {
            if (atEnd()) expected("'}'");
            b->body.push_back(statement());
        }
        advance();
        return b;
    }

    static bool isReserved(const std::string& w) {
        static const char* const words[] = {"if", "else", "while", "do", "for", "switch", "case", "default", "break",
                                            "continue", "return", "try", "catch", "finally", "const"};
        for (const char* k : words)
            if (w == k) return true;
        return false;
    }

    // A local declaration as a statement: one Local per declarator.
    StmtPtr localDeclaration() {
        Pos p = pos();
        std::vector<VarDecl> decls;
        declaration(decls);
        auto list = stmt(StmtKind::Block, p);
        list->newScope = false;
        for (auto& d : decls) {
            auto s = stmt(StmtKind::Local, d.pos);
            s->decl = std::make_unique<VarDecl>(std::move(d));
            list->body.push_back(std::move(s));
        }
        if (list->body.size() == 1) return std::move(list->body[0]);
        return list;
    }

    StmtPtr statement() {
        Depth d(*this);
        Pos p = pos();
        if (isP("{")) return block();
        if (acceptP(";")) return stmt(StmtKind::Block, p);
        if (acceptKw("if")) {
            auto s = stmt(StmtKind::If, p);
            expectP("(");
            s->cond = expr();
            expectP(")");
            s->body.push_back(statement());
            if (acceptKw("else")) s->elseBody = statement();
            return s;
        }
        if (acceptKw("while")) {
            auto s = stmt(StmtKind::While, p);
            expectP("(");
            s->cond = expr();
            expectP(")");
            s->body.push_back(statement());
            return s;
        }
        if (acceptKw("do")) {
            auto s = stmt(StmtKind::DoLoop, p);
            s->body.push_back(statement());
            expectKw("while", "while");
            expectP("(");
            s->value = expr();
            expectP(")");
            expectP(";");
            s->postUntil = false;
            return s;
        }
        if (acceptKw("for")) {
            auto s = stmt(StmtKind::CFor, p);
            expectP("(");
            if (!isP(";")) {
                if (isDeclarationStart()) s->init.push_back(localDeclaration());
                else simpleList(s->init);
            }
            expectP(";");
            if (!isP(";")) s->cond = expr();
            expectP(";");
            if (!isP(")")) simpleList(s->stepStmts);
            expectP(")");
            s->body.push_back(statement());
            return s;
        }
        if (acceptKw("switch")) return switchStatement(p);
        if (acceptKw("break")) { expectP(";"); return stmt(StmtKind::Break, p); }
        if (acceptKw("continue")) { expectP(";"); return stmt(StmtKind::Continue, p); }
        if (acceptKw("return")) {
            auto s = stmt(StmtKind::Exit, p);
            if (!isP(";")) s->value = expr();
            expectP(";");
            return s;
        }
        if (acceptKw("try")) {
            auto s = stmt(StmtKind::Try, p);
            if (!isP("{")) expected("'{'");
            s->body.push_back(block());
            if (acceptKw("catch")) {
                if (acceptP("(")) {
                    // the caught object is not named in this language: skip what is written
                    int depth = 1;
                    while (depth > 0 && !atEnd()) {
                        if (isP("(")) ++depth;
                        else if (isP(")")) --depth;
                        advance();
                    }
                }
                if (!isP("{")) expected("'{'");
                s->handler = block();
                if (acceptKw("finally")) {
                    // try {} catch {} finally {}: the handler inside, the cleanup around it
                    auto outer = stmt(StmtKind::Try, p);
                    outer->body.push_back(std::move(s));
                    if (!isP("{")) expected("'{'");
                    outer->finallyBody = block();
                    return outer;
                }
            } else if (acceptKw("finally")) {
                if (!isP("{")) expected("'{'");
                s->finallyBody = block();
            } else {
                expected("'catch'");
            }
            return s;
        }
        if (isDeclarationStart()) {
            StmtPtr s = localDeclaration();
            expectP(";");
            return s;
        }
        StmtPtr s = simple();
        expectP(";");
        return s;
    }

    void simpleList(std::vector<StmtPtr>& out) {
        do out.push_back(simple()); while (acceptP(","));
    }

    // assignment, ++/--, or a call
    StmtPtr simple() {
        Pos p = pos();
        if (isP("++") || isP("--")) {
            bool inc = isP("++");
            advance();
            auto s = stmt(StmtKind::Incr, p);
            s->target = postfix();
            s->step = lit(Value(int64_t(inc ? 1 : -1)), p);
            return s;
        }
        if (cur().kind != Tok::Ident || isReserved(cur().lower)) expected("Statement");
        ExprPtr target = postfix();
        if (isP("++") || isP("--")) {
            bool inc = isP("++");
            advance();
            auto s = stmt(StmtKind::Incr, p);
            s->target = std::move(target);
            s->step = lit(Value(int64_t(inc ? 1 : -1)), p);
            return s;
        }
        static const std::pair<const char*, AssignOp> assigns[] = {{"=", AssignOp::Set},  {"+=", AssignOp::Add},
                                                                   {"-=", AssignOp::Sub}, {"*=", AssignOp::Mul},
                                                                   {"/=", AssignOp::Div}, {"%=", AssignOp::Mod}};
        for (auto& [tok, op] : assigns) {
            if (acceptP(tok)) {
                auto s = stmt(StmtKind::Assign, p);
                s->assignOp = op;
                s->target = std::move(target);
                s->value = initializer();
                return s;
            }
        }
        auto s = stmt(StmtKind::Expr, p);
        s->value = std::move(target);
        return s;
    }

    StmtPtr switchStatement(Pos p) {
        auto s = stmt(StmtKind::Case, p);
        s->fallThrough = true;
        expectP("(");
        s->value = expr();
        expectP(")");
        expectP("{");
        while (!isP("}")) {
            if (atEnd()) expected("'}'");
            CaseArm arm;
            arm.pos = pos();
            if (acceptKw("default")) {
                arm.isElse = true;
            } else if (acceptKw("case")) {
                CaseArm::Label l;
                l.low = expr();
                arm.labels.push_back(std::move(l));
            } else {
                expected("'case'");
            }
            expectP(":");
            auto body = stmt(StmtKind::Block, pos());
            while (!isKw("case") && !isKw("default") && !isP("}")) {
                if (atEnd()) expected("'}'");
                body->body.push_back(statement());
            }
            arm.body = std::move(body);
            s->arms.push_back(std::move(arm));
        }
        advance();
        return s;
    }

public:
    ExprPtr expr() {
        Depth d(*this);
        Pos p = pos();
        ExprPtr c = binaryLevel(0);
        if (acceptP("?")) {
            auto e = std::make_unique<Expr>(ExprKind::Ternary, p);
            e->a = std::move(c);
            e->b = expr();
            expectP(":");
            e->c = expr();
            return e;
        }
        return c;
    }

private:
    ExprPtr binaryLevel(size_t level) {
        static const std::vector<std::vector<std::pair<const char*, Op>>> levels = {
            {{"||", Op::OrElse}},
            {{"&&", Op::AndThen}},
            {{"|", Op::BitOr}},
            {{"^", Op::BitXor}},
            {{"&", Op::BitAnd}},
            {{"==", Op::Eq}, {"!=", Op::Ne}},
            {{"<", Op::Lt}, {">", Op::Gt}, {"<=", Op::Le}, {">=", Op::Ge}},
            {{"<<", Op::Shl}, {">>", Op::Shr}},
            {{"+", Op::Add}, {"-", Op::Sub}},
            {{"*", Op::Mul}, {"/", Op::DivNatural}, {"%", Op::Mod}},
        };
        if (level == levels.size()) return unaryExpr();
        ExprPtr a = binaryLevel(level + 1);
        int chain = 0;
        while (true) {
            bool matched = false;
            for (auto& [tok, op] : levels[level]) {
                if (isP(tok)) {
                    Pos p = pos();
                    advance();
                    chainStep(chain);
                    a = binary(op, std::move(a), binaryLevel(level + 1), p);
                    matched = true;
                    break;
                }
            }
            if (!matched) return a;
        }
    }

    ExprPtr unaryExpr() {
        Depth d(*this);
        Pos p = pos();
        if (acceptP("!")) return unary(Op::LogNot, unaryExpr(), p);
        if (acceptP("-")) return unary(Op::Neg, unaryExpr(), p);
        if (acceptP("+")) return unary(Op::Plus, unaryExpr(), p);
        if (acceptP("~")) return unary(Op::BitNot, unaryExpr(), p);
        if (isP("++") || isP("--")) fail("'" + cur().text + "' is only allowed as a statement", p);
        return postfix();
    }

    ExprPtr postfix() {
        Pos p = pos();
        ExprPtr e;
        const Token& t = cur();
        switch (t.kind) {
        case Tok::Int:
        case Tok::Float: e = lit(t.value, p); advance(); break;
        case Tok::Str: e = lit(Value(t.text), p); advance(); break;
        case Tok::Ident: {
            if (isReserved(t.lower) || isTypeName(t)) expected("Expression");
            std::string name = t.text;
            advance();
            if (isP("(")) {
                e = std::make_unique<Expr>(ExprKind::Call, p);
                e->name = name;
                e->parens = true;
                advance();
                listUntil(e->args, ")", [&] { return expr(); });
            } else {
                e = std::make_unique<Expr>(ExprKind::Name, p);
                e->name = name;
            }
            break;
        }
        case Tok::Punct:
            if (acceptP("(")) {
                e = expr();
                expectP(")");
                break;
            }
            if (isP("[")) {
                advance();
                e = std::make_unique<Expr>(ExprKind::ArrayCtor, p);
                listUntil(e->args, "]", [&] { return expr(); });
                break;
            }
            expected("Expression");
        default: expected("Expression");
        }
        while (isP("[")) {
            Pos ip = pos();
            advance();
            auto ix = std::make_unique<Expr>(ExprKind::Index, ip);
            ix->a = std::move(e);
            do ix->args.push_back(expr()); while (acceptP(","));
            expectP("]");
            e = std::move(ix);
        }
        if (isP("++") || isP("--")) {
            // x++ inside an expression: only the statement form exists
            if (ahead(1).kind != Tok::Punct || (ahead(1).text != ";" && ahead(1).text != ")" && ahead(1).text != ","))
                fail("'" + cur().text + "' is only allowed as a statement", pos());
        }
        return e;
    }

    std::vector<std::string> extra_;
};

}  // namespace

Program parseCpp(std::string_view src, const std::vector<std::string>& extraTypes) {
    CppParser p(src, extraTypes);
    return p.program();
}

}  // namespace quillon::script
