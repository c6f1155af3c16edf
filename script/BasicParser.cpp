// The Basic front end: line-oriented statements closed by keywords, Sub and Function,
// Dim and Const; top-level statements form the main program, and top-level Dim and Const
// (wherever they stand outside routines) declare program-level names.
#include "ParserBase.h"

namespace quillon::script {

using namespace ast;

namespace {

class BasicParser : public ParserBase {
public:
    explicit BasicParser(std::string_view src) : ParserBase(lexBasic(src)) {}

    Program program() {
        prog_.stringBase = 1;
        prog_.basicNames = true;
        prog_.main = stmt(StmtKind::Block, pos());
        skipNewlines();
        while (!atEnd()) {
            acceptKw("public") || acceptKw("private");
            if (isKw("sub") || isKw("function")) {
                prog_.routines.push_back(routine());
            } else {
                if (StmtPtr s = statement()) prog_.main->body.push_back(std::move(s));
                endOfStatement();
            }
            skipNewlines();
        }
        return std::move(prog_);
    }

private:
    bool atEos() const { return cur().kind == Tok::Newline || atEnd(); }
    bool atLineEnd() const { return (cur().kind == Tok::Newline && cur().text == "\n") || atEnd(); }
    void skipNewlines() {
        while (cur().kind == Tok::Newline) advance();
    }
    void endOfStatement() {
        if (cur().kind == Tok::Newline) advance();
        else if (!atEnd()) expected("End of statement");
    }

    bool isEnd(const char* what) const { return isKw("end") && isKwAt(1, what); }
    void expectEnd(const char* what, const char* shown) {
        if (!isEnd(what)) expected(std::string("'") + shown + "'");
        advance();
        advance();
    }

    // Statements up to a closing keyword (not consumed), one per line or ':'.
    template <class Closer>
    StmtPtr block(Closer closes, const char* closerName) {
        Depth d(*this);
        auto b = stmt(StmtKind::Block, pos());
        while (true) {
            skipNewlines();
            if (closes()) return b;
            if (atEnd() || isKw("end") || isKw("next") || isKw("loop") || isKw("wend"))
                expected(std::string("'") + closerName + "'");
            if (StmtPtr s = statement()) b->body.push_back(std::move(s));
            if (!atEos() && !closes()) expected("End of statement");
        }
    }

    std::unique_ptr<Routine> routine() {
        auto r = std::make_unique<Routine>();
        r->isFunction = isKw("function");
        advance();
        r->pos = pos();
        r->name = expectIdent();
        if (acceptP("(")) {
            if (!isP(")")) {
                do r->params.push_back(param()); while (acceptP(","));
            }
            expectP(")");
        }
        if (r->isFunction && acceptKw("as")) r->result = typeName();
        bool saved = inRoutine_;
        inRoutine_ = true;
        const char* endWord = r->isFunction ? "function" : "sub";
        r->body = block([&] { return isEnd(endWord); }, r->isFunction ? "End Function" : "End Sub");
        expectEnd(endWord, r->isFunction ? "End Function" : "End Sub");
        inRoutine_ = saved;
        return r;
    }

    Param param() {
        Param p;
        bool optional = acceptKw("optional");
        if (acceptKw("byref")) p.byRef = true;
        else acceptKw("byval");
        if (!optional) optional = acceptKw("optional");
        p.pos = pos();
        p.name = expectIdent();
        bool array = false;
        if (acceptP("(")) {
            expectP(")");
            array = true;
        }
        if (acceptKw("as")) p.type = typeName();
        if (array) {
            TypeSpec elem = std::move(p.type);
            p.type = TypeSpec{};
            p.type.isArray = true;
            p.type.elem = std::make_unique<TypeSpec>(std::move(elem));
        }
        if (acceptP("=")) p.def = expr();
        else if (optional) p.def = lit(Value(), p.pos);
        return p;
    }

    TypeSpec typeName() {
        TypeSpec t;
        t.pos = pos();
        acceptKw("new");
        t.name = expectIdent();
        return t;
    }

    static bool isReserved(const std::string& w) {
        static const char* const words[] = {"if", "then", "else", "elseif", "end", "for", "to", "step", "next", "while",
                                            "wend", "do", "loop", "until", "select", "case", "sub", "function", "dim",
                                            "const", "as", "byref", "byval", "optional", "exit", "and", "or", "xor",
                                            "not", "mod", "andalso", "orelse", "try", "catch", "finally", "call",
                                            "return", "each", "continue"};
        for (const char* k : words)
            if (w == k) return true;
        return false;
    }

    // Dim / Const: program-level names outside routines, local statements inside.
    StmtPtr declaration(bool isConst) {
        Pos p = pos();
        auto list = stmt(StmtKind::Block, p);
        list->newScope = false;
        do {
            VarDecl v;
            v.pos = pos();
            v.isConst = isConst;
            v.name = expectIdent();
            if (!isConst && acceptP("(")) {
                // Dim a(5): 0..5;  Dim a(1 To 5);  Dim a(): dynamic
                v.type.isArray = true;
                v.type.pos = v.pos;
                if (!isP(")")) {
                    ExprPtr first = expr();
                    if (acceptKw("to")) {
                        v.type.low = std::move(first);
                        v.type.high = expr();
                    } else {
                        v.type.low = lit(Value(int64_t(0)), v.pos);
                        v.type.high = std::move(first);
                    }
                }
                expectP(")");
                v.type.elem = std::make_unique<TypeSpec>();
                if (acceptKw("as")) *v.type.elem = typeName();
            } else if (acceptKw("as")) {
                v.type = typeName();
            }
            if (acceptP("=")) v.init = expr();
            if (isConst && !v.init) expected("'='");
            if (!inRoutine_) {
                prog_.globals.push_back(std::move(v));
            } else {
                auto s = stmt(StmtKind::Local, v.pos);
                s->decl = std::make_unique<VarDecl>(std::move(v));
                list->body.push_back(std::move(s));
            }
        } while (acceptP(","));
        if (list->body.empty()) return nullptr;
        if (list->body.size() == 1) return std::move(list->body[0]);
        return list;
    }

    StmtPtr statement() {
        Depth d(*this);
        Pos p = pos();
        if (acceptKw("dim")) return declaration(false);
        if (acceptKw("const")) return declaration(true);
        if (acceptKw("if")) return ifStatement(p);
        if (acceptKw("for")) {
            if (isKw("each")) fail("For Each is not supported; use For i = 0 To High(a)", pos());
            auto s = stmt(StmtKind::For, p);
            auto v = std::make_unique<Expr>(ExprKind::Name, pos());
            v->name = expectIdent();
            s->target = std::move(v);
            expectP("=");
            s->from = expr();
            expectKw("to", "To");
            s->to = expr();
            if (acceptKw("step")) s->step = expr();
            s->body.push_back(block([&] { return isKw("next"); }, "Next"));
            advance();
            if (cur().kind == Tok::Ident && !isReserved(cur().lower)) advance();  // Next i
            return s;
        }
        if (acceptKw("while")) {
            auto s = stmt(StmtKind::While, p);
            s->cond = expr();
            s->body.push_back(block([&] { return isKw("wend") || isEnd("while"); }, "Wend"));
            if (acceptKw("wend")) {} else expectEnd("while", "End While");
            return s;
        }
        if (acceptKw("do")) {
            auto s = stmt(StmtKind::DoLoop, p);
            if (isKw("while") || isKw("until")) {
                s->preUntil = isKw("until");
                advance();
                s->cond = expr();
            }
            s->body.push_back(block([&] { return isKw("loop"); }, "Loop"));
            advance();
            if (isKw("while") || isKw("until")) {
                s->postUntil = isKw("until");
                advance();
                s->value = expr();
            }
            return s;
        }
        if (acceptKw("select")) return selectStatement(p);
        if (acceptKw("exit")) {
            if (acceptKw("for") || acceptKw("do") || acceptKw("while")) return stmt(StmtKind::Break, p);
            if (acceptKw("sub") || acceptKw("function")) return stmt(StmtKind::Exit, p);
            expected("'For', 'Do', 'Sub' or 'Function'");
        }
        if (acceptKw("continue")) {
            if (acceptKw("for") || acceptKw("do") || acceptKw("while")) return stmt(StmtKind::Continue, p);
            expected("'For', 'Do' or 'While'");
        }
        if (acceptKw("return")) {
            auto s = stmt(StmtKind::Exit, p);
            if (!atEos() && !isKw("else")) s->value = expr();
            return s;
        }
        if (acceptKw("try")) return tryStatement(p);
        if (acceptKw("call")) {
            auto s = stmt(StmtKind::Expr, p);
            s->value = designator();
            return s;
        }
        acceptKw("set") || acceptKw("let");
        if (cur().kind != Tok::Ident || isReserved(cur().lower)) expected("Statement");
        size_t start = i_;
        ExprPtr target = designator();
        if (target->kind == ExprKind::Call && !atEos() && !isKw("else") && cur().kind == Tok::Punct &&
            cur().text != "=" && cur().text.back() != '=') {
            // p (a + b) * 2: the parentheses belong to the first argument
            i_ = start;
            target = std::make_unique<Expr>(ExprKind::Name, pos());
            target->name = cur().text;
            advance();
        }
        static const std::pair<const char*, AssignOp> assigns[] = {
            {"=", AssignOp::Set}, {"+=", AssignOp::Add}, {"-=", AssignOp::Sub}, {"*=", AssignOp::Mul}, {"/=", AssignOp::Div}};
        for (auto& [tok, op] : assigns) {
            if (acceptP(tok)) {
                auto s = stmt(StmtKind::Assign, p);
                s->assignOp = op;
                s->target = std::move(target);
                s->value = expr();
                return s;
            }
        }
        if (acceptP("&=")) {
            auto s = stmt(StmtKind::Assign, p);
            s->value = binary(Op::Concat, cloneName(*target), expr(), p);
            s->target = std::move(target);
            return s;
        }
        if (!atEos() && !isKw("else") && target->kind == ExprKind::Name) {
            // p a, b: a call without parentheses
            auto call = std::make_unique<Expr>(ExprKind::Call, target->pos);
            call->name = target->name;
            do call->args.push_back(expr()); while (acceptP(","));
            target = std::move(call);
        }
        auto s = stmt(StmtKind::Expr, p);
        s->value = std::move(target);
        return s;
    }

    // x &= y needs x twice; only simple names are supported there
    ExprPtr cloneName(const Expr& e) {
        if (e.kind != ExprKind::Name) fail("'&=' needs a variable name", e.pos);
        auto c = std::make_unique<Expr>(ExprKind::Name, e.pos);
        c->name = e.name;
        return c;
    }

    StmtPtr ifStatement(Pos p) {
        auto s = stmt(StmtKind::If, p);
        s->cond = expr();
        expectKw("then", "Then");
        if (cur().kind != Tok::Newline && !atEnd()) {
            // one-line form: If c Then s1 : s2 Else s3
            s->body.push_back(lineStatements(true));
            if (acceptKw("else")) s->elseBody = lineStatements(false);
            if (isEnd("if")) { advance(); advance(); }
            return s;
        }
        s->body.push_back(block([&] { return isKw("elseif") || isKw("else") || isEnd("if"); }, "End If"));
        if (isKw("elseif")) {
            Pos ep = pos();
            advance();
            s->elseBody = ifStatement(ep);  // consumes the End If
            return s;
        }
        if (acceptKw("else")) s->elseBody = block([&] { return isEnd("if"); }, "End If");
        expectEnd("if", "End If");
        return s;
    }

    StmtPtr lineStatements(bool stopAtElse) {
        auto b = stmt(StmtKind::Block, pos());
        while (true) {
            if (StmtPtr st = statement()) b->body.push_back(std::move(st));
            if (stopAtElse && isKw("else")) break;
            if (atLineEnd() || isEnd("if")) break;
            if (cur().kind == Tok::Newline) { advance(); if (stopAtElse && isKw("else")) break; continue; }
            expected("End of statement");
        }
        return b;
    }

    StmtPtr selectStatement(Pos p) {
        expectKw("case", "Case");
        auto s = stmt(StmtKind::Case, p);
        s->value = expr();
        skipNewlines();
        while (!isEnd("select")) {
            if (atEnd()) expected("'End Select'");
            CaseArm arm;
            arm.pos = pos();
            expectKw("case", "Case");
            if (acceptKw("else")) {
                arm.isElse = true;
            } else {
                do {
                    CaseArm::Label l;
                    l.low = expr();
                    if (acceptKw("to")) l.high = expr();
                    arm.labels.push_back(std::move(l));
                } while (acceptP(","));
            }
            arm.body = block([&] { return isKw("case") || isEnd("select"); }, "End Select");
            s->arms.push_back(std::move(arm));
        }
        advance();
        advance();
        return s;
    }

    StmtPtr tryStatement(Pos p) {
        auto s = stmt(StmtKind::Try, p);
        auto closes = [&] { return isKw("catch") || isKw("finally") || isEnd("try"); };
        s->body.push_back(block(closes, "End Try"));
        bool any = false;
        if (acceptKw("catch")) {
            any = true;
            if (cur().kind == Tok::Ident && !isReserved(cur().lower)) {
                advance();  // the caught object is not named in this language
                if (acceptKw("as")) expectIdent();
            }
            s->handler = block(closes, "End Try");
        }
        if (acceptKw("finally")) {
            auto fin = block([&] { return isEnd("try"); }, "End Try");
            if (any) {
                auto outer = stmt(StmtKind::Try, p);
                outer->body.push_back(std::move(s));
                outer->finallyBody = std::move(fin);
                s = std::move(outer);
            } else {
                s->finallyBody = std::move(fin);
            }
            any = true;
        }
        if (!any) expected("'Catch'");
        expectEnd("try", "End Try");
        return s;
    }

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
        return indexes(std::move(e));
    }

    ExprPtr indexes(ExprPtr e) {
        while (isP("[") || isP("(")) {
            bool square = isP("[");
            Pos ip = pos();
            advance();
            auto ix = std::make_unique<Expr>(ExprKind::Index, ip);
            ix->a = std::move(e);
            do ix->args.push_back(expr()); while (acceptP(","));
            expectP(square ? "]" : ")");
            e = std::move(ix);
        }
        return e;
    }

public:
    ExprPtr expr() {
        Depth d(*this);
        return xorExpr();
    }

private:
    template <class Next>
    ExprPtr leftAssoc(Next next, std::initializer_list<std::pair<const char*, Op>> ops) {
        ExprPtr a = next();
        int chain = 0;
        while (true) {
            bool matched = false;
            for (auto& [word, op] : ops) {
                bool hit = (word[0] >= 'a' && word[0] <= 'z') ? isKw(word) : isP(word);
                if (hit) {
                    Pos p = pos();
                    advance();
                    chainStep(chain);
                    a = binary(op, std::move(a), next(), p);
                    matched = true;
                    break;
                }
            }
            if (!matched) return a;
        }
    }

    ExprPtr xorExpr() { return leftAssoc([&] { return orExpr(); }, {{"xor", Op::Xor}}); }
    ExprPtr orExpr() { return leftAssoc([&] { return andExpr(); }, {{"or", Op::Or}, {"orelse", Op::OrElse}}); }
    ExprPtr andExpr() { return leftAssoc([&] { return notExpr(); }, {{"and", Op::And}, {"andalso", Op::AndThen}}); }
    ExprPtr notExpr() {
        Depth d(*this);
        Pos p = pos();
        if (acceptKw("not")) return unary(Op::Not, notExpr(), p);
        return compare();
    }
    ExprPtr compare() {
        return leftAssoc([&] { return concat(); }, {{"=", Op::Eq}, {"<>", Op::Ne}, {"<=", Op::Le}, {">=", Op::Ge},
                                                     {"<", Op::Lt}, {">", Op::Gt}});
    }
    ExprPtr concat() { return leftAssoc([&] { return additive(); }, {{"&", Op::Concat}}); }
    ExprPtr additive() { return leftAssoc([&] { return modulo(); }, {{"+", Op::Add}, {"-", Op::Sub}}); }
    ExprPtr modulo() { return leftAssoc([&] { return intDiv(); }, {{"mod", Op::Mod}}); }
    ExprPtr intDiv() { return leftAssoc([&] { return multiplicative(); }, {{"\\", Op::DivInt}}); }
    ExprPtr multiplicative() { return leftAssoc([&] { return negation(); }, {{"*", Op::Mul}, {"/", Op::DivReal}}); }
    ExprPtr negation() {
        Depth d(*this);
        Pos p = pos();
        if (acceptP("-")) return unary(Op::Neg, negation(), p);
        if (acceptP("+")) return unary(Op::Plus, negation(), p);
        return power();
    }
    ExprPtr power() {
        ExprPtr a = primary();
        int chain = 0;
        while (isP("^")) {
            Pos p = pos();
            advance();
            chainStep(chain);
            ExprPtr b;
            Pos np = pos();
            if (acceptP("-")) b = unary(Op::Neg, primary(), np);
            else b = primary();
            a = binary(Op::Pow, std::move(a), std::move(b), p);
        }
        return a;
    }

    ExprPtr primary() {
        Depth d(*this);
        Pos p = pos();
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

    Program prog_;
    bool inRoutine_ = false;
};

}  // namespace

Program parseBasic(std::string_view src) {
    BasicParser p(src);
    return p.program();
}

}  // namespace quillon::script
