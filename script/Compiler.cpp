#include "Compiler.h"

#include <unordered_set>

#include "Nodes.h"
#include "Parser.h"

namespace quillon::script {

using ast::AssignOp;
using ast::CaseArm;
using ast::Expr;
using ast::ExprKind;
using ast::Op;
using ast::Param;
using ast::Pos;
using ast::Program;
using ast::Routine;
using ast::Stmt;
using ast::StmtKind;
using ast::TypeSpec;
using ast::VarDecl;

std::string lowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return r;
}

std::string upperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return r;
}

namespace {

[[noreturn]] void fail(const std::string& text, Pos p) { throw CompileError{text, p}; }

// A string value with its own storage, so that a value read from the shared global unit
// never has its count touched by two threads.
Value privateCopy(const Value& v) {
    if (v.isString()) return Value(std::string(v.rawString()));
    return v;
}

bool builtinConstant(const std::string& n, Value& out) {
    if (n == "true") { out = Value(true); return true; }
    if (n == "false") { out = Value(false); return true; }
    if (n == "null" || n == "nil" || n == "nothing") { out = Value::null(); return true; }
    if (n == "unassigned" || n == "empty") { out = Value(); return true; }
    return false;
}

TypeInfo resolveNamedType(const std::string& name, const HostScope* host, Pos p) {
    TypeInfo t;
    std::string low = lowerCase(name);
    if (builtinType(low, t)) return t;
    if (host) {
        auto it = host->types.find(low);
        if (it != host->types.end()) return it->second;
    }
    fail("Unknown type: '" + name + "'", p);
}

class Compiler {
public:
    Compiler(const Program& prog, Syntax syntax, const HostScope& host, const GlobalUnit* parent,
             const CompileEvaluator& eval)
        : prog_(prog), syntax_(syntax), host_(host), parent_(parent), eval_(eval) {}

    std::unique_ptr<CompiledProgram> run() {
        out_ = std::make_unique<CompiledProgram>();
        // Routine signatures first, so that calls may come before the body they call.
        for (auto& r : prog_.routines) declareRoutine(*r);
        struct Init {
            const VarDecl* decl;
            Value* storage;
            TypeInfo type;
        };
        std::vector<Init> inits;
        for (const VarDecl& v : prog_.globals) {
            std::string low = lowerCase(v.name);
            if (globalNames_.count(low) || routines_.count(low)) fail("Identifier redeclared: '" + v.name + "'", v.pos);
            if (v.isConst) {
                TypeInfo t = v.type.name.empty() && !v.type.isArray ? TypeInfo{} : resolveType(v.type);
                Value val = constantValue(*v.init, "Constant expression expected");
                try {
                    coerce(val, t);
                } catch (const RuntimeError&) {
                    fail("Type mismatch", v.init->pos);
                }
                consts_[low] = val;
                globalNames_.insert(low);
                continue;
            }
            TypeInfo t = resolveType(v.type);
            out_->storage.push_back(t.zero());
            Value* p = &out_->storage.back();
            out_->globals[low] = CompiledProgram::Global{v.name, t, p};
            globalNames_.insert(low);
            if (v.init) inits.push_back({&v, p, t});
        }
        for (auto& r : prog_.routines) compileRoutine(*r);
        compileMain();
        // Program-level variables get their initial values now, at compile time, and keep
        // them from run to run.
        for (const Init& in : inits) {
            ExprPtr e = expr(*in.decl->init);
            Value v;
            try {
                v = e->constant() ? *e->constant() : eval_(*e);
                coerce(v, in.type);
            } catch (const RuntimeError& err) {
                fail(err.what(), in.decl->init->pos);
            }
            *in.storage = std::move(v);
        }
        return std::move(out_);
    }

    TypeInfo resolveType(const TypeSpec& ts) {
        if (!ts.isArray) {
            if (ts.name.empty()) return TypeInfo{};
            return resolveNamedType(ts.name, &host_, ts.pos);
        }
        TypeInfo t;
        t.kind = TypeKind::Array;
        if (ts.elem) {
            TypeInfo e = resolveType(*ts.elem);
            if (!e.isVariant()) t.elem = std::make_shared<TypeInfo>(std::move(e));
        }
        if (ts.low && ts.high) {
            Value lo = constantValue(*ts.low, "Constant expression expected");
            Value hi = constantValue(*ts.high, "Constant expression expected");
            if (!lo.isInt() || !hi.isInt()) fail("Integer constant expected", ts.low->pos);
            t.hasBounds = true;
            t.low = lo.rawInt();
            t.high = hi.rawInt();
            if (t.high < t.low - 1 || uint64_t(t.high - t.low) >= kMaxArrayItems) fail("Array too large", ts.pos);
        }
        return t;
    }

private:
    // ---- symbols ----------------------------------------------------------------------

    struct LocalSym {
        uint32_t slot = 0;
        TypeInfo type;
        bool byRef = false;
        bool isConst = false;
        Value constValue;
        bool readOnly = false;
    };

    struct Frame {
        RoutineInfo* info = nullptr;
        const Routine* routine = nullptr;  // null for the main program
        std::vector<std::unordered_map<std::string, LocalSym>> scopes;
        int loops = 0;
        int switches = 0;
    };

    enum class SymKind { None, Local, Global, Const, Routine, Func, Type };
    struct Sym {
        SymKind kind = SymKind::None;
        const LocalSym* local = nullptr;
        Value* storage = nullptr;
        TypeInfo type;
        Value constValue;
        const RoutineInfo* routine = nullptr;
        const FuncDecl* func = nullptr;
    };

    Sym lookup(const std::string& name) {
        Sym s;
        std::string low = lowerCase(name);
        if (frame_) {
            for (auto it = frame_->scopes.rbegin(); it != frame_->scopes.rend(); ++it) {
                auto f = it->find(low);
                if (f != it->end()) {
                    if (f->second.isConst) {
                        s.kind = SymKind::Const;
                        s.constValue = f->second.constValue;
                    } else {
                        s.kind = SymKind::Local;
                        s.local = &f->second;
                        s.type = f->second.type;
                    }
                    return s;
                }
            }
        }
        if (auto c = consts_.find(low); c != consts_.end()) {
            s.kind = SymKind::Const;
            s.constValue = c->second;
            return s;
        }
        if (auto g = out_->globals.find(low); g != out_->globals.end()) {
            s.kind = SymKind::Global;
            s.storage = g->second.storage;
            s.type = g->second.type;
            return s;
        }
        if (auto r = routines_.find(low); r != routines_.end()) {
            s.kind = SymKind::Routine;
            s.routine = r->second;
            return s;
        }
        if (auto f = host_.functions.find(low); f != host_.functions.end()) {
            s.kind = SymKind::Func;
            s.func = f->second.get();
            return s;
        }
        if (auto v = host_.variables.find(low); v != host_.variables.end()) {
            s.kind = SymKind::Global;
            s.storage = v->second.storage;
            s.type = v->second.type;
            return s;
        }
        if (auto c = host_.constants.find(low); c != host_.constants.end()) {
            s.kind = SymKind::Const;
            s.constValue = c->second;
            return s;
        }
        if (host_.types.count(low)) {
            s.kind = SymKind::Type;
            return s;
        }
        if (parent_) {
            if (const FuncDecl* f = parent_->findFunction(low)) {
                s.kind = SymKind::Func;
                s.func = f;
                return s;
            }
            if (const Value* c = parent_->findConstant(low)) {
                s.kind = SymKind::Const;
                s.constValue = privateCopy(*c);
                return s;
            }
        }
        if (builtinConstant(low, s.constValue)) {
            s.kind = SymKind::Const;
            return s;
        }
        TypeInfo t;
        if (builtinType(low, t)) s.kind = SymKind::Type;
        return s;
    }

    LocalSym& declareLocal(const std::string& name, TypeInfo type, Pos p, bool outermost = false) {
        auto& scope = outermost ? frame_->scopes.front() : frame_->scopes.back();
        std::string low = lowerCase(name);
        if (scope.count(low)) fail("Identifier redeclared: '" + name + "'", p);
        LocalSym sym;
        sym.slot = uint32_t(frame_->info->init.size());
        frame_->info->init.push_back(type.zero());
        sym.type = std::move(type);
        return scope[low] = std::move(sym);
    }

    // ---- routines ---------------------------------------------------------------------

    void declareRoutine(const Routine& r) {
        std::string low = lowerCase(r.name);
        if (routines_.count(low)) fail("Identifier redeclared: '" + r.name + "'", r.pos);
        auto info = std::make_unique<RoutineInfo>();
        info->name = r.name;
        info->isFunction = r.isFunction;
        if (r.isFunction) info->result = resolveType(r.result);
        for (const Param& p : r.params) {
            ParamInfo pi;
            pi.name = p.name;
            pi.byRef = p.byRef;
            pi.type = resolveType(p.type);
            if (p.def) {
                pi.hasDefault = true;
                pi.def = constantValue(*p.def, "Default value must be a constant");
                try {
                    coerce(pi.def, pi.type);
                } catch (const RuntimeError&) {
                    fail("Type mismatch", p.def->pos);
                }
            }
            info->params.push_back(std::move(pi));
        }
        routines_[low] = info.get();
        out_->routines.push_back(std::move(info));
    }

    void compileRoutine(const Routine& r) {
        RoutineInfo* info = routines_[lowerCase(r.name)];
        Frame f;
        f.info = info;
        f.routine = &r;
        f.scopes.emplace_back();
        Frame* saved = frame_;
        frame_ = &f;
        info->init.push_back(info->isFunction ? info->result.zero() : Value());  // slot 0: result
        for (size_t k = 0; k < r.params.size(); ++k) {
            LocalSym& s = declareLocal(r.params[k].name, info->params[k].type, r.params[k].pos);
            s.byRef = r.params[k].byRef;
        }
        if (info->isFunction && syntax_ == Syntax::Pascal && !f.scopes.back().count("result")) {
            LocalSym res;
            res.slot = 0;
            res.type = info->result;
            f.scopes.back()["result"] = res;
        }
        for (const VarDecl& v : r.locals) localDecl(v, true);
        info->body = stmt(*r.body);
        frame_ = saved;
    }

    void compileMain() {
        Frame f;
        f.info = &out_->main;
        f.scopes.emplace_back();
        out_->main.name = "main";
        out_->main.init.push_back(Value());
        frame_ = &f;
        out_->main.body = stmt(*prog_.main);
        frame_ = nullptr;
    }

    // A declaration inside a routine or block. `upFront` declarations (Pascal var sections)
    // start with their zero (or constant initial value) at every call; the others are
    // statements that set the value where they stand.
    StmtPtr localDecl(const VarDecl& v, bool upFront) {
        if (v.isConst) {
            LocalSym& s = declareLocal(v.name, TypeInfo{}, v.pos);
            s.isConst = true;
            s.constValue = constantValue(*v.init, "Constant expression expected");
            if (!v.type.name.empty() || v.type.isArray) {
                try {
                    coerce(s.constValue, resolveType(v.type));
                } catch (const RuntimeError&) {
                    fail("Type mismatch", v.init->pos);
                }
            }
            return nullptr;
        }
        TypeInfo t = resolveType(v.type);
        ExprPtr init;
        if (v.init) init = typedValue(*v.init, t);  // compiled before the name exists
        LocalSym& s = declareLocal(v.name, t, v.pos, syntax_ == Syntax::Basic);
        uint32_t slot = s.slot;
        if (upFront) {
            if (init) {
                if (!init->constant()) fail("Constant expression expected", v.init->pos);
                frame_->info->init[slot] = *init->constant();
            }
            return nullptr;
        }
        if (!init) init = std::make_unique<LiteralNode>(t.zero());
        return std::make_unique<AssignNode>(v.pos.line, v.pos.col, std::make_unique<LocalNode>(slot, t), std::move(init));
    }

    // ---- constants --------------------------------------------------------------------

    Value constantValue(const Expr& e, const char* what) {
        ExprPtr n = expr(e);
        if (n->constant()) return *n->constant();
        if (!eval_) fail(what, e.pos);
        Value v;
        try {
            v = eval_(*n);
        } catch (const RuntimeError& err) {
            fail(err.what(), e.pos);
        }
        return v;
    }

    // An expression that goes into a place of type t: a constant is converted now, so that
    // an impossible conversion is a compile error.
    ExprPtr typedValue(const Expr& e, const TypeInfo& t) {
        ExprPtr n = expr(e);
        if (const Value* c = n->constant(); c && !t.isVariant()) {
            Value v = *c;
            try {
                coerce(v, t);
            } catch (const RuntimeError&) {
                fail("Type mismatch", e.pos);
            }
            return std::make_unique<LiteralNode>(std::move(v));
        }
        return n;
    }

    // ---- expressions ------------------------------------------------------------------

    ExprPtr literal(Value v) { return std::make_unique<LiteralNode>(std::move(v)); }

    // Replaces a node whose operands are all constants by its value.
    ExprPtr fold(ExprPtr n, Pos p) {
        Ctx dummy;
        std::atomic<bool> never{false};
        dummy.abort = &never;
        try {
            return literal(n->eval(dummy));
        } catch (const RuntimeError& e) {
            fail(e.what(), p);
        }
    }

    ExprPtr expr(const Expr& e, TypeInfo* staticType = nullptr) {
        switch (e.kind) {
        case ExprKind::Literal: return literal(e.value);
        case ExprKind::Name: return nameExpr(e, staticType);
        case ExprKind::Call: return callExpr(e, staticType);
        case ExprKind::Index: {
            TypeInfo bt;
            ExprPtr base = expr(*e.a, &bt);
            return indexChain(std::move(base), bt, e.args, staticType);
        }
        case ExprKind::Unary: return unaryExpr(e);
        case ExprKind::Binary: return binaryExpr(e);
        case ExprKind::ArrayCtor: {
            std::vector<ExprPtr> items;
            bool allConst = true;
            for (auto& a : e.args) {
                items.push_back(expr(*a));
                if (!items.back()->constant()) allConst = false;
            }
            if (allConst) {
                std::vector<Value> vals;
                for (auto& n : items) vals.push_back(*n->constant());
                return literal(Value::arrayOf(std::move(vals)));
            }
            return std::make_unique<ArrayNode>(std::move(items));
        }
        case ExprKind::Ternary: {
            ExprPtr c = expr(*e.a);
            ExprPtr x = expr(*e.b);
            ExprPtr y = expr(*e.c);
            if (c->constant()) {
                bool b;
                try {
                    b = c->constant()->toBool();
                } catch (const RuntimeError& err) {
                    fail(err.what(), e.pos);
                }
                return b ? std::move(x) : std::move(y);
            }
            return std::make_unique<TernaryNode>(std::move(c), std::move(x), std::move(y));
        }
        }
        fail("Expression expected", e.pos);
    }

    ExprPtr variableNode(const Sym& s) {
        if (s.kind == SymKind::Global) return std::make_unique<GlobalNode>(s.storage, s.type);
        if (s.local->byRef) return std::make_unique<RefParamNode>(s.local->slot, s.type);
        return std::make_unique<LocalNode>(s.local->slot, s.type);
    }

    ExprPtr nameExpr(const Expr& e, TypeInfo* st) {
        Sym s = lookup(e.name);
        switch (s.kind) {
        case SymKind::Local:
        case SymKind::Global:
            if (st) *st = s.type;
            return variableNode(s);
        case SymKind::Const: return literal(s.constValue);
        case SymKind::Routine:
        case SymKind::Func: return makeCall(s, e.name, {}, e.pos);
        case SymKind::Type: fail("Type name '" + e.name + "' is not a value", e.pos);
        case SymKind::None: break;
        }
        fail("Undeclared identifier: '" + e.name + "'", e.pos);
    }

    ExprPtr callExpr(const Expr& e, TypeInfo* st) {
        Sym s = lookup(e.name);
        if (s.kind == SymKind::Routine || s.kind == SymKind::Func) return makeCall(s, e.name, e.args, e.pos);
        if ((s.kind == SymKind::Local || s.kind == SymKind::Global) && prog_.basicNames)
            return indexChain(variableNode(s), s.type, e.args, st);
        if (s.kind == SymKind::None) fail("Undeclared identifier: '" + e.name + "'", e.pos);
        fail("'" + e.name + "' is not a routine", e.pos);
    }

    ExprPtr indexChain(ExprPtr base, TypeInfo bt, const std::vector<ast::ExprPtr>& idx, TypeInfo* st) {
        for (auto& i : idx) {
            std::shared_ptr<const TypeInfo> elem;
            if (bt.kind == TypeKind::Array) elem = bt.elem;
            base = std::make_unique<IndexNode>(std::move(base), expr(*i), prog_.stringBase, elem);
            bt = elem ? *elem : TypeInfo{};
        }
        if (st) *st = bt;
        return base;
    }

    ExprPtr makeCall(const Sym& s, const std::string& name, const std::vector<ast::ExprPtr>& args, Pos p) {
        const std::vector<ParamInfo>& params = s.kind == SymKind::Routine ? s.routine->params : s.func->params;
        bool variadic = s.kind == SymKind::Func && s.func->variadic;
        size_t required = 0;
        for (size_t k = 0; k < params.size(); ++k)
            if (!params[k].hasDefault) required = k + 1;
        if (args.size() > params.size() && !variadic) fail("Too many actual parameters for '" + name + "'", p);
        if (args.size() < required) fail("Not enough actual parameters for '" + name + "'", p);
        std::vector<ArgNode> out;
        for (size_t k = 0; k < std::max(args.size(), params.size()); ++k) {
            ArgNode a;
            if (k < params.size()) {
                const ParamInfo& pi = params[k];
                a.byRef = pi.byRef;
                a.type = pi.type.isVariant() ? nullptr : &pi.type;
                if (k < args.size()) {
                    if (pi.byRef) {
                        a.expr = lvalue(*args[k], "Variable required");
                    } else {
                        a.expr = typedValue(*args[k], pi.type);
                    }
                } else {
                    a.expr = literal(privateCopy(pi.def));
                }
            } else {
                a.expr = expr(*args[k]);
            }
            out.push_back(std::move(a));
        }
        if (s.kind == SymKind::Routine) return std::make_unique<CallRoutineNode>(s.routine, std::move(out));
        return std::make_unique<CallFunctionNode>(s.func, std::move(out));
    }

    ExprPtr unaryExpr(const Expr& e) {
        ExprPtr a = expr(*e.a);
        bool c = a->constant() != nullptr;
        ExprPtr n;
        switch (e.op) {
        case Op::Neg: n = std::make_unique<UnaryNode<opNeg>>(std::move(a)); break;
        case Op::Plus: n = std::make_unique<UnaryNode<opPlus>>(std::move(a)); break;
        case Op::Not: n = std::make_unique<UnaryNode<opNot>>(std::move(a)); break;
        case Op::LogNot: n = std::make_unique<UnaryNode<opLogNot>>(std::move(a)); break;
        case Op::BitNot: n = std::make_unique<UnaryNode<opBitNot>>(std::move(a)); break;
        default: fail("Operator expected", e.pos);
        }
        return c ? fold(std::move(n), e.pos) : std::move(n);
    }

    static Value opPlus(const Value& v) { return v.toNumber(); }
    static Value opLogNot(const Value& v) { return Value(!v.toBool()); }

    ExprPtr binaryExpr(const Expr& e) {
        ExprPtr a = expr(*e.a);
        ExprPtr b = expr(*e.b);
        bool c = a->constant() && b->constant();
        ExprPtr n;
        auto bin = [&]<BinaryFn F>() { return std::make_unique<BinaryNode<F>>(std::move(a), std::move(b)); };
        auto cmp = [&](Cmp op) { return std::make_unique<CompareNode>(op, std::move(a), std::move(b)); };
        switch (e.op) {
        case Op::Add: n = bin.operator()<opAdd>(); break;
        case Op::Sub: n = bin.operator()<opSub>(); break;
        case Op::Mul: n = bin.operator()<opMul>(); break;
        case Op::DivReal: n = bin.operator()<opDivReal>(); break;
        case Op::DivNatural: n = bin.operator()<opDivNatural>(); break;
        case Op::DivInt: n = bin.operator()<opDivInt>(); break;
        case Op::Mod: n = bin.operator()<opMod>(); break;
        case Op::Pow: n = bin.operator()<opPow>(); break;
        case Op::Shl: n = bin.operator()<opShl>(); break;
        case Op::Shr: n = bin.operator()<opShr>(); break;
        case Op::BitAnd: n = bin.operator()<opAnd>(); break;
        case Op::BitOr: n = bin.operator()<opOr>(); break;
        case Op::BitXor:
        case Op::Xor: n = bin.operator()<opXor>(); break;
        case Op::Concat: n = bin.operator()<opConcat>(); break;
        case Op::And: n = std::make_unique<AndNode>(std::move(a), std::move(b), false); break;
        case Op::Or: n = std::make_unique<AndNode>(std::move(a), std::move(b), true); break;
        case Op::AndThen: n = std::make_unique<LogicalNode>(std::move(a), std::move(b), false); break;
        case Op::OrElse: n = std::make_unique<LogicalNode>(std::move(a), std::move(b), true); break;
        case Op::Eq: n = cmp(Cmp::Eq); break;
        case Op::Ne: n = cmp(Cmp::Ne); break;
        case Op::Lt: n = cmp(Cmp::Lt); break;
        case Op::Gt: n = cmp(Cmp::Gt); break;
        case Op::Le: n = cmp(Cmp::Le); break;
        case Op::Ge: n = cmp(Cmp::Ge); break;
        case Op::In: n = std::make_unique<InNode>(std::move(a), std::move(b)); break;
        default: fail("Operator expected", e.pos);
        }
        return c ? fold(std::move(n), e.pos) : std::move(n);
    }

    // The target of an assignment or a by-reference argument.
    ExprPtr lvalue(const Expr& e, const char* error) {
        if (e.kind == ExprKind::Name || (e.kind == ExprKind::Call && e.args.empty() && !e.parens)) {
            // A function's own name on the left sets its result (Pascal, Basic).
            if (frame_ && frame_->routine && frame_->info->isFunction && prog_.resultByName &&
                lowerCase(e.name) == lowerCase(frame_->routine->name))
                return std::make_unique<LocalNode>(0, frame_->info->result);
            Sym s = lookup(e.name);
            if (s.kind == SymKind::Local || s.kind == SymKind::Global) {
                if (s.kind == SymKind::Local && s.local->readOnly) fail("Left side cannot be assigned to", e.pos);
                return variableNode(s);
            }
            if (s.kind == SymKind::None) fail("Undeclared identifier: '" + e.name + "'", e.pos);
            fail(error, e.pos);
        }
        if (e.kind == ExprKind::Index || (e.kind == ExprKind::Call && prog_.basicNames)) {
            ExprPtr n = expr(e);
            if (!n->assignable()) fail(error, e.pos);
            return n;
        }
        fail(error, e.pos);
    }

    // ---- statements -------------------------------------------------------------------

    StmtPtr body(const std::vector<ast::StmtPtr>& list, Pos p) {
        if (list.size() == 1) return stmt(*list[0]);
        auto b = std::make_unique<BlockNode>(p.line, p.col);
        for (auto& s : list)
            if (StmtPtr n = stmt(*s)) b->stmts.push_back(std::move(n));
        return b;
    }

    StmtPtr emptyBlock(Pos p) { return std::make_unique<BlockNode>(p.line, p.col); }

    StmtPtr stmt(const Stmt& s) {
        const int line = s.pos.line, col = s.pos.col;
        switch (s.kind) {
        case StmtKind::Block: {
            auto b = std::make_unique<BlockNode>(line, col);
            if (s.newScope) frame_->scopes.emplace_back();
            for (auto& x : s.body)
                if (StmtPtr n = stmt(*x)) b->stmts.push_back(std::move(n));
            if (s.newScope) frame_->scopes.pop_back();
            return b;
        }
        case StmtKind::Expr: {
            const Expr& e = *s.value;
            bool callable = false;
            if (e.kind == ExprKind::Call || e.kind == ExprKind::Name) {
                Sym sym = lookup(e.name);
                callable = sym.kind == SymKind::Routine || sym.kind == SymKind::Func;
                if (sym.kind == SymKind::None) fail("Undeclared identifier: '" + e.name + "'", e.pos);
            }
            if (!callable) fail("Statement expected", e.pos);
            return std::make_unique<ExprStmtNode>(line, col, expr(e));
        }
        case StmtKind::Assign: {
            ExprPtr target = lvalue(*s.target, "Left side cannot be assigned to");
            TypeInfo tt;
            staticTypeOf(*s.target, tt);
            if (s.assignOp == AssignOp::Set)
                return std::make_unique<AssignNode>(line, col, std::move(target), typedValue(*s.value, tt));
            BinaryFn op = opAdd;
            switch (s.assignOp) {
            case AssignOp::Add: op = opAdd; break;
            case AssignOp::Sub: op = opSub; break;
            case AssignOp::Mul: op = opMul; break;
            case AssignOp::Div: op = syntax_ == Syntax::Cpp ? opDivNatural : opDivReal; break;
            case AssignOp::Mod: op = opMod; break;
            case AssignOp::Set: break;
            }
            return std::make_unique<AssignNode>(line, col, std::move(target), expr(*s.value), op);
        }
        case StmtKind::Incr: {
            ExprPtr target = lvalue(*s.target, "Left side cannot be assigned to");
            return std::make_unique<AssignNode>(line, col, std::move(target), expr(*s.step), opAdd);
        }
        case StmtKind::Local: return localDecl(*s.decl, false);
        case StmtKind::If: {
            ExprPtr c = expr(*s.cond);
            StmtPtr t = s.body.empty() ? emptyBlock(s.pos) : scoped(*s.body[0]);
            StmtPtr f = s.elseBody ? scoped(*s.elseBody) : nullptr;
            if (!t) t = emptyBlock(s.pos);
            return std::make_unique<IfNode>(line, col, std::move(c), std::move(t), std::move(f));
        }
        case StmtKind::While: {
            ExprPtr c = expr(*s.cond);
            StmtPtr b = loopBody(s);
            return std::make_unique<LoopNode>(line, col, std::move(c), false, nullptr, false, std::move(b));
        }
        case StmtKind::Repeat: {
            StmtPtr b = loopBody(s);
            ExprPtr c = expr(*s.cond);
            return std::make_unique<LoopNode>(line, col, nullptr, false, std::move(c), true, std::move(b));
        }
        case StmtKind::DoLoop: {
            ExprPtr pre = s.cond ? expr(*s.cond) : nullptr;
            StmtPtr b = loopBody(s);
            ExprPtr post = s.value ? expr(*s.value) : nullptr;
            return std::make_unique<LoopNode>(line, col, std::move(pre), s.preUntil, std::move(post), s.postUntil,
                                              std::move(b));
        }
        case StmtKind::For: {
            ExprPtr v = lvalue(*s.target, "For loop control variable must be a variable");
            ExprPtr from = expr(*s.from);
            ExprPtr to = expr(*s.to);
            ExprPtr step = s.step ? expr(*s.step) : nullptr;
            StmtPtr b = loopBody(s);
            return std::make_unique<ForNode>(line, col, std::move(v), std::move(from), std::move(to), std::move(step),
                                             s.downTo, std::move(b));
        }
        case StmtKind::CFor: {
            frame_->scopes.emplace_back();
            StmtPtr init = s.init.empty() ? nullptr : body(s.init, s.pos);
            ExprPtr c = s.cond ? expr(*s.cond) : nullptr;
            StmtPtr step = s.stepStmts.empty() ? nullptr : body(s.stepStmts, s.pos);
            StmtPtr b = loopBody(s);
            frame_->scopes.pop_back();
            return std::make_unique<CForNode>(line, col, std::move(init), std::move(c), std::move(step), std::move(b));
        }
        case StmtKind::Case: {
            ExprPtr subject = expr(*s.value);
            std::vector<CaseNode::Arm> arms;
            if (s.fallThrough) ++frame_->switches;
            for (const CaseArm& a : s.arms) {
                CaseNode::Arm arm;
                arm.isElse = a.isElse;
                for (const CaseArm::Label& l : a.labels) {
                    CaseNode::Label lab;
                    lab.low = expr(*l.low);
                    if (l.high) lab.high = expr(*l.high);
                    arm.labels.push_back(std::move(lab));
                }
                arm.body = a.body ? scoped(*a.body) : nullptr;
                if (!arm.body) arm.body = emptyBlock(a.pos);
                arms.push_back(std::move(arm));
            }
            if (s.fallThrough) --frame_->switches;
            return std::make_unique<CaseNode>(line, col, std::move(subject), std::move(arms), s.fallThrough);
        }
        case StmtKind::Break:
            if (frame_->loops == 0 && frame_->switches == 0) fail("'Break' outside a loop", s.pos);
            return std::make_unique<JumpNode>(line, col, Flow::Break);
        case StmtKind::Continue:
            if (frame_->loops == 0) fail("'Continue' outside a loop", s.pos);
            return std::make_unique<JumpNode>(line, col, Flow::Continue);
        case StmtKind::Exit: {
            ExprPtr v;
            TypeInfo rt;
            if (s.value) {
                if (frame_->routine && frame_->info->isFunction) {
                    rt = frame_->info->result;
                    v = typedValue(*s.value, rt);
                } else {
                    v = expr(*s.value);  // a value returned by a procedure or the main program is dropped
                }
            }
            return std::make_unique<ExitNode>(line, col, std::move(v), rt);
        }
        case StmtKind::Try: {
            StmtPtr b = s.body.empty() ? emptyBlock(s.pos) : scoped(*s.body[0]);
            if (!b) b = emptyBlock(s.pos);
            StmtPtr h = s.handler ? scoped(*s.handler) : nullptr;
            StmtPtr f = s.finallyBody ? scoped(*s.finallyBody) : nullptr;
            if (s.handler && !h) h = emptyBlock(s.pos);
            if (s.finallyBody && !f) f = emptyBlock(s.pos);
            if (!h && !f) h = emptyBlock(s.pos);
            return std::make_unique<TryNode>(line, col, std::move(b), std::move(h), std::move(f));
        }
        }
        fail("Statement expected", s.pos);
    }

    // A statement in a branch of its own: declarations in it do not leak out.
    StmtPtr scoped(const Stmt& s) {
        frame_->scopes.emplace_back();
        StmtPtr n = stmt(s);
        frame_->scopes.pop_back();
        return n;
    }

    StmtPtr loopBody(const Stmt& s) {
        ++frame_->loops;
        int savedSwitches = frame_->switches;
        frame_->switches = 0;  // a break inside a loop inside a switch leaves the loop
        StmtPtr b = s.body.empty() ? emptyBlock(s.pos) : body(s.body, s.pos);
        frame_->switches = savedSwitches;
        --frame_->loops;
        if (!b) b = emptyBlock(s.pos);
        // a lone statement as a loop body must still be a statement of its own
        return b;
    }

    void staticTypeOf(const Expr& target, TypeInfo& t) {
        t = TypeInfo{};
        if (target.kind == ExprKind::Name || target.kind == ExprKind::Call) {
            if (frame_ && frame_->routine && frame_->info->isFunction && prog_.resultByName &&
                lowerCase(target.name) == lowerCase(frame_->routine->name)) {
                t = frame_->info->result;
                return;
            }
            Sym s = lookup(target.name);
            if (s.kind == SymKind::Local || s.kind == SymKind::Global) {
                if (target.kind == ExprKind::Call && !target.args.empty()) {
                    TypeInfo cur = s.type;
                    for (size_t k = 0; k < target.args.size(); ++k) cur = cur.elem ? *cur.elem : TypeInfo{};
                    t = cur;
                } else {
                    t = s.type;
                }
            }
        } else if (target.kind == ExprKind::Index) {
            TypeInfo base;
            staticTypeOf(*target.a, base);
            for (size_t k = 0; k < target.args.size(); ++k) {
                if (base.kind == TypeKind::Array && base.elem) base = *base.elem;
                else if (base.kind != TypeKind::String) base = TypeInfo{};  // a character stays a string
            }
            t = base;
        }
    }

    const Program& prog_;
    Syntax syntax_;
    const HostScope& host_;
    const GlobalUnit* parent_;
    const CompileEvaluator& eval_;
    std::unique_ptr<CompiledProgram> out_;
    std::unordered_map<std::string, RoutineInfo*> routines_;
    std::unordered_map<std::string, Value> consts_;
    std::unordered_set<std::string> globalNames_;
    Frame* frame_ = nullptr;
};

}  // namespace

std::unique_ptr<CompiledProgram> compileProgram(const Program& prog, Syntax syntax, const HostScope& host,
                                                const GlobalUnit* parent, const CompileEvaluator& eval) {
    Compiler c(prog, syntax, host, parent, eval);
    return c.run();
}

void buildFuncDecl(std::string_view declaration, const HostScope* host, FuncDecl& out) {
    std::unique_ptr<Routine> r = parseDeclaration(declaration);
    out.name = r->name;
    out.upper = upperCase(r->name);
    out.declaration = std::string(declaration);
    out.isFunction = r->isFunction;
    auto typeOf = [&](const TypeSpec& ts) {
        TypeInfo t;
        if (ts.isArray) {
            t.kind = TypeKind::Array;  // open arrays: any array
            return t;
        }
        if (ts.name.empty()) return t;
        return resolveNamedType(ts.name, host, ts.pos);
    };
    if (r->isFunction) out.result = typeOf(r->result);
    out.params.clear();
    for (const Param& p : r->params) {
        ParamInfo pi;
        pi.name = p.name;
        pi.byRef = p.byRef;
        pi.type = typeOf(p.type);
        if (p.def) {
            // defaults are literals, possibly signed, or constants the host declared
            const Expr* e = p.def.get();
            bool neg = false;
            if (e->kind == ExprKind::Unary && (e->op == Op::Neg || e->op == Op::Plus)) {
                neg = e->op == Op::Neg;
                e = e->a.get();
            }
            Value v;
            if (e->kind == ExprKind::Literal) {
                v = e->value;
            } else if (e->kind == ExprKind::Name) {
                std::string low = lowerCase(e->name);
                if (host && host->constants.count(low)) v = host->constants.at(low);
                else if (!builtinConstant(low, v)) fail("Default value must be a constant", e->pos);
            } else {
                fail("Default value must be a constant", e->pos);
            }
            if (neg) v = opNeg(v);
            try {
                coerce(v, pi.type);
            } catch (const RuntimeError&) {
                fail("Type mismatch", e->pos);
            }
            pi.hasDefault = true;
            pi.def = v;
        }
        out.params.push_back(std::move(pi));
    }
}

}  // namespace quillon::script
