// The Pascal front end: `program`, `var` / `const` sections, procedures and functions,
// and a main `begin ... end.` block.
#include <cctype>

#include "ParserBase.h"

namespace quillon::script {

using namespace ast;

namespace {

class PascalParser : public ParserBase {
public:
    explicit PascalParser(std::string_view src) : ParserBase(lexPascal(src)) {}

    Program program() {
        Program prog;
        prog.stringBase = 1;
        if (acceptKw("program")) {
            expectIdent();
            expectP(";");
        }
        if (acceptKw("uses")) {
            do { expectIdent(); } while (acceptP(","));
            expectP(";");
        }
        while (true) {
            if (isKw("var")) { advance(); varSection(prog.globals); }
            else if (isKw("const")) { advance(); constSection(prog.globals); }
            else if (isKw("procedure") || isKw("function")) prog.routines.push_back(routine());
            else break;
        }
        if (!isKw("begin")) expected("'begin'");
        prog.main = block();
        if (!acceptP(".")) expected("'.'");
        if (!atEnd()) expected("end of file");
        return prog;
    }

    std::unique_ptr<Routine> header() {
        auto r = std::make_unique<Routine>();
        r->pos = pos();
        if (acceptKw("function")) r->isFunction = true;
        else if (!acceptKw("procedure")) expected("'procedure'");
        r->name = expectIdent();
        if (acceptP("(")) {
            if (!isP(")")) {
                do params(r->params); while (acceptP(";"));
            }
            expectP(")");
        }
        if (r->isFunction && acceptP(":")) r->result = type();
        return r;
    }

    void endOfDeclaration() {
        acceptP(";");
        if (!atEnd()) expected("end of declaration");
    }

private:
    void params(std::vector<Param>& out) {
        bool byRef = false;
        if (acceptKw("var") || acceptKw("out")) byRef = true;
        else acceptKw("const");
        std::vector<Param> group;
        do {
            Param p;
            p.pos = pos();
            p.name = expectIdent();
            p.byRef = byRef;
            group.push_back(std::move(p));
        } while (acceptP(","));
        TypeSpec ts;
        if (acceptP(":")) ts = type();
        ExprPtr def;
        if (acceptP("=")) def = expr();
        for (size_t k = 0; k < group.size(); ++k) {
            group[k].type = copyType(ts);
            if (def && k + 1 == group.size()) group[k].def = std::move(def);
            out.push_back(std::move(group[k]));
        }
    }

    // Bounds of static arrays are constant expressions: copy by re-parsing is not possible,
    // so copies of a TypeSpec share literal bounds only (the compiler folds them first).
    static TypeSpec copyType(const TypeSpec& t) {
        TypeSpec c;
        c.name = t.name;
        c.isArray = t.isArray;
        c.pos = t.pos;
        if (t.low) c.low = cloneConst(*t.low);
        if (t.high) c.high = cloneConst(*t.high);
        if (t.elem) c.elem = std::make_unique<TypeSpec>(copyType(*t.elem));
        return c;
    }
    static ExprPtr cloneConst(const Expr& e) {
        auto c = std::make_unique<Expr>(e.kind, e.pos);
        c->op = e.op;
        c->value = e.value;
        c->name = e.name;
        c->parens = e.parens;
        if (e.a) c->a = cloneConst(*e.a);
        if (e.b) c->b = cloneConst(*e.b);
        if (e.c) c->c = cloneConst(*e.c);
        for (auto& x : e.args) c->args.push_back(cloneConst(*x));
        return c;
    }

    TypeSpec type() {
        Depth d(*this);
        TypeSpec t;
        t.pos = pos();
        if (acceptKw("array")) {
            t.isArray = true;
            if (acceptP("[")) {
                // array[a..b, c..d] of T is an array of arrays
                std::vector<std::pair<ExprPtr, ExprPtr>> dims;
                do {
                    ExprPtr lo = expr();
                    expectP("..");
                    dims.emplace_back(std::move(lo), expr());
                } while (acceptP(","));
                expectP("]");
                expectKw("of", "of");
                TypeSpec inner = type();
                for (size_t k = dims.size(); k-- > 1;) {
                    TypeSpec a;
                    a.isArray = true;
                    a.pos = t.pos;
                    a.low = std::move(dims[k].first);
                    a.high = std::move(dims[k].second);
                    a.elem = std::make_unique<TypeSpec>(std::move(inner));
                    inner = std::move(a);
                }
                t.low = std::move(dims[0].first);
                t.high = std::move(dims[0].second);
                t.elem = std::make_unique<TypeSpec>(std::move(inner));
            } else {
                expectKw("of", "of");
                if (acceptKw("const")) t.elem = std::make_unique<TypeSpec>();
                else t.elem = std::make_unique<TypeSpec>(type());
            }
            return t;
        }
        t.name = expectIdent();
        if (isP("[")) {
            // string[20]: the length limit is accepted and ignored
            std::string low = t.name;
            for (char& c : low) c = char(std::tolower(static_cast<unsigned char>(c)));
            if (low != "string") expected("';'");
            advance();
            expr();
            expectP("]");
        }
        return t;
    }

    void varSection(std::vector<VarDecl>& out) {
        do {
            std::vector<VarDecl> group;
            do {
                VarDecl v;
                v.pos = pos();
                v.name = expectIdent();
                group.push_back(std::move(v));
            } while (acceptP(","));
            expectP(":");
            TypeSpec ts = type();
            ExprPtr init;
            if (acceptP("=")) init = expr();
            if (init && group.size() > 1) fail("Only one variable may have an initial value", group[1].pos);
            for (auto& v : group) {
                v.type = copyType(ts);
                if (init) v.init = std::move(init);
                out.push_back(std::move(v));
            }
            expectP(";");
        } while (cur().kind == Tok::Ident && !isReserved(cur().lower));
    }

    void constSection(std::vector<VarDecl>& out) {
        do {
            VarDecl v;
            v.pos = pos();
            v.isConst = true;
            v.name = expectIdent();
            if (acceptP(":")) v.type = type();
            expectP("=");
            v.init = expr();
            expectP(";");
            out.push_back(std::move(v));
        } while (cur().kind == Tok::Ident && !isReserved(cur().lower));
    }

    static bool isReserved(const std::string& w) {
        static const char* const words[] = {"var", "const", "begin", "end", "procedure", "function", "if", "then",
                                            "else", "while", "do", "for", "to", "downto", "repeat", "until", "case",
                                            "of", "try", "except", "finally", "div", "mod", "and", "or", "xor",
                                            "not", "shl", "shr", "in", "program", "uses", "array", "break",
                                            "continue", "exit", "type", "forward"};
        for (const char* k : words)
            if (w == k) return true;
        return false;
    }

    std::unique_ptr<Routine> routine() {
        auto r = header();
        expectP(";");
        if (acceptKw("forward")) {
            expectP(";");
            fail("Forward declarations are not needed: routines may be used before their body", r->pos);
        }
        while (true) {
            if (acceptKw("var")) varSection(r->locals);
            else if (acceptKw("const")) constSection(r->locals);
            else break;
        }
        if (!isKw("begin")) expected("'begin'");
        r->body = block();
        expectP(";");
        return r;
    }

    StmtPtr block() {
        Depth d(*this);
        auto b = stmt(StmtKind::Block, pos());
        expectKw("begin", "begin");
        statements(b->body, {"end"});
        expectKw("end", "end");
        return b;
    }

    // Statements separated by ';' up to one of the closing words (not consumed).
    void statements(std::vector<StmtPtr>& out, std::initializer_list<const char*> closers) {
        while (true) {
            bool closing = false;
            for (const char* c : closers)
                if (isKw(c)) closing = true;
            if (closing) return;
            if (acceptP(";")) continue;
            if (atEnd()) expected(std::string("'") + *closers.begin() + "'");
            out.push_back(statement());
            bool closed = false;
            for (const char* c : closers)
                if (isKw(c)) closed = true;
            if (closed) return;
            if (!acceptP(";")) expected("';'");
        }
    }

    StmtPtr single() {
        // a statement where one is expected (then / do / else); an empty one is allowed
        if (isP(";") || isKw("end") || isKw("else") || isKw("until") || isKw("except") || isKw("finally"))
            return stmt(StmtKind::Block, pos());
        return statement();
    }

    StmtPtr statement() {
        Depth d(*this);
        Pos p = pos();
        if (isKw("begin")) return block();
        if (acceptKw("if")) {
            auto s = stmt(StmtKind::If, p);
            s->cond = expr();
            expectKw("then", "then");
            s->body.push_back(single());
            if (acceptKw("else")) s->elseBody = single();
            return s;
        }
        if (acceptKw("while")) {
            auto s = stmt(StmtKind::While, p);
            s->cond = expr();
            expectKw("do", "do");
            s->body.push_back(single());
            return s;
        }
        if (acceptKw("repeat")) {
            auto s = stmt(StmtKind::Repeat, p);
            statements(s->body, {"until"});
            expectKw("until", "until");
            s->cond = expr();
            return s;
        }
        if (acceptKw("for")) {
            auto s = stmt(StmtKind::For, p);
            auto v = std::make_unique<Expr>(ExprKind::Name, pos());
            v->name = expectIdent();
            s->target = std::move(v);
            expectP(":=");
            s->from = expr();
            if (acceptKw("downto")) s->downTo = true;
            else expectKw("to", "to");
            s->to = expr();
            expectKw("do", "do");
            s->body.push_back(single());
            return s;
        }
        if (acceptKw("case")) return caseStatement(p);
        if (acceptKw("try")) {
            auto s = stmt(StmtKind::Try, p);
            auto body = stmt(StmtKind::Block, pos());
            statements(body->body, {"except", "finally"});
            s->body.push_back(std::move(body));
            if (acceptKw("except")) {
                s->handler = stmt(StmtKind::Block, pos());
                statements(s->handler->body, {"end"});
            } else if (acceptKw("finally")) {
                s->finallyBody = stmt(StmtKind::Block, pos());
                statements(s->finallyBody->body, {"end"});
            } else {
                expected("'except'");
            }
            expectKw("end", "end");
            return s;
        }
        if (acceptKw("break")) return stmt(StmtKind::Break, p);
        if (acceptKw("continue")) return stmt(StmtKind::Continue, p);
        if (acceptKw("exit")) {
            auto s = stmt(StmtKind::Exit, p);
            if (acceptP("(")) {
                if (!isP(")")) s->value = expr();
                expectP(")");
            }
            return s;
        }
        if (cur().kind != Tok::Ident || isReserved(cur().lower)) expected("Statement");
        ExprPtr target = designator();
        static const std::pair<const char*, AssignOp> assigns[] = {
            {":=", AssignOp::Set}, {"+=", AssignOp::Add}, {"-=", AssignOp::Sub}, {"*=", AssignOp::Mul}, {"/=", AssignOp::Div}};
        for (auto& [tok, op] : assigns) {
            if (acceptP(tok)) {
                auto s = stmt(StmtKind::Assign, p);
                s->assignOp = op;
                s->target = std::move(target);
                s->value = expr();
                return s;
            }
        }
        if (isP("=")) expected("':='");
        auto s = stmt(StmtKind::Expr, p);
        s->value = std::move(target);
        return s;
    }

    StmtPtr caseStatement(Pos p) {
        auto s = stmt(StmtKind::Case, p);
        s->value = expr();
        expectKw("of", "of");
        while (!isKw("end") && !isKw("else") && !isKw("otherwise")) {
            if (atEnd()) expected("'end'");
            CaseArm arm;
            arm.pos = pos();
            do {
                CaseArm::Label l;
                l.low = expr();
                if (acceptP("..")) l.high = expr();
                arm.labels.push_back(std::move(l));
            } while (acceptP(","));
            expectP(":");
            arm.body = single();
            s->arms.push_back(std::move(arm));
            if (!acceptP(";")) break;
        }
        if (acceptKw("else") || acceptKw("otherwise")) {
            CaseArm arm;
            arm.pos = pos();
            arm.isElse = true;
            arm.body = stmt(StmtKind::Block, pos());
            statements(arm.body->body, {"end"});
            s->arms.push_back(std::move(arm));
        }
        expectKw("end", "end");
        return s;
    }

    // name followed by calls and indexes
    ExprPtr designator() {
        Pos p = pos();
        std::string name = expectIdent();
        ExprPtr e;
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
        while (isP("[")) {
            Pos ip = pos();
            advance();
            auto ix = std::make_unique<Expr>(ExprKind::Index, ip);
            ix->a = std::move(e);
            do ix->args.push_back(expr()); while (acceptP(","));
            expectP("]");
            e = std::move(ix);
        }
        return e;
    }

public:
    ExprPtr expr() {
        Depth d(*this);
        ExprPtr a = simple();
        int chain = 0;
        while (true) {
            Pos p = pos();
            Op op;
            if (isP("=")) op = Op::Eq;
            else if (isP("<>")) op = Op::Ne;
            else if (isP("<")) op = Op::Lt;
            else if (isP(">")) op = Op::Gt;
            else if (isP("<=")) op = Op::Le;
            else if (isP(">=")) op = Op::Ge;
            else if (isKw("in")) op = Op::In;
            else return a;
            advance();
            chainStep(chain);
            a = binary(op, std::move(a), simple(), p);
        }
    }

private:
    ExprPtr simple() {
        ExprPtr a = term();
        int chain = 0;
        while (true) {
            Pos p = pos();
            Op op;
            if (isP("+")) op = Op::Add;
            else if (isP("-")) op = Op::Sub;
            else if (isKw("or")) op = Op::Or;
            else if (isKw("xor")) op = Op::Xor;
            else return a;
            advance();
            chainStep(chain);
            a = binary(op, std::move(a), term(), p);
        }
    }

    ExprPtr term() {
        ExprPtr a = factor();
        int chain = 0;
        while (true) {
            Pos p = pos();
            Op op;
            if (isP("*")) op = Op::Mul;
            else if (isP("/")) op = Op::DivReal;
            else if (isKw("div")) op = Op::DivInt;
            else if (isKw("mod")) op = Op::Mod;
            else if (isKw("and")) op = Op::And;
            else if (isKw("shl")) op = Op::Shl;
            else if (isKw("shr")) op = Op::Shr;
            else return a;
            advance();
            chainStep(chain);
            a = binary(op, std::move(a), factor(), p);
        }
    }

    ExprPtr factor() {
        Depth d(*this);
        Pos p = pos();
        if (acceptKw("not")) return unary(Op::Not, factor(), p);
        if (acceptP("-")) return unary(Op::Neg, factor(), p);
        if (acceptP("+")) return unary(Op::Plus, factor(), p);
        const Token& t = cur();
        if (ExprPtr e = acceptLiteral()) return e;
        if (t.kind == Tok::Ident) {
            if (isReserved(t.lower)) expected("Expression");
            return designator();
        }
        if (acceptP("(")) {
            ExprPtr e = expr();
            expectP(")");
            return indexes(std::move(e));
        }
        if (acceptP("[")) {
            auto e = std::make_unique<Expr>(ExprKind::ArrayCtor, p);
            listUntil(e->args, "]", [&] { return expr(); });
            return indexes(std::move(e));
        }
        expected("Expression");
    }

    ExprPtr indexes(ExprPtr e) {
        while (isP("[")) {
            Pos ip = pos();
            advance();
            auto ix = std::make_unique<Expr>(ExprKind::Index, ip);
            ix->a = std::move(e);
            do ix->args.push_back(expr()); while (acceptP(","));
            expectP("]");
            e = std::move(ix);
        }
        return e;
    }
};

}  // namespace

Program parsePascal(std::string_view src) {
    PascalParser p(src);
    return p.program();
}

std::unique_ptr<Routine> parseDeclaration(std::string_view text) {
    PascalParser p(text);
    auto r = p.header();
    p.endOfDeclaration();
    return r;
}

}  // namespace quillon::script
