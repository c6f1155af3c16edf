// The node classes of the executable form: expressions (values, variables, indexing,
// calls, operators) and statements. The compiler (Compiler.cpp) builds them.
#pragma once

#include "Operators.h"
#include "Runtime.h"

namespace quillon::script {

// ---- values and variables -------------------------------------------------------------

class LiteralNode : public ExprNode {
public:
    explicit LiteralNode(Value v) : v_(std::move(v)) {}
    Value eval(Ctx&) const override { return v_; }
    const Value* constant() const override { return &v_; }

private:
    Value v_;
};

// A program-level or host variable: fixed storage.
class GlobalNode : public ExprNode {
public:
    GlobalNode(Value* p, TypeInfo t) : p_(p), t_(std::move(t)) {}
    Value eval(Ctx&) const override { return *p_; }
    Value* ref(Ctx&) const override { return p_; }
    void assign(Ctx&, Value v) const override { coerceFast(v, t_); *p_ = std::move(v); }
    bool assignable() const override { return true; }

private:
    Value* p_;
    TypeInfo t_;
};

// A local variable, by-value parameter or result of the running routine.
class LocalNode : public ExprNode {
public:
    LocalNode(uint32_t slot, TypeInfo t, bool readOnly = false) : slot_(slot), t_(std::move(t)), ro_(readOnly) {}
    Value eval(Ctx& c) const override { return c.base[slot_]; }
    Value* ref(Ctx& c) const override { return &c.base[slot_]; }
    void assign(Ctx& c, Value v) const override { coerceFast(v, t_); c.base[slot_] = std::move(v); }
    bool assignable() const override { return !ro_; }

private:
    uint32_t slot_;
    TypeInfo t_;
    bool ro_;
};

// A by-reference parameter: the slot refers to the caller's variable, or holds the value
// itself when the caller passed something without storage of its own (written back).
class RefParamNode : public ExprNode {
public:
    RefParamNode(uint32_t slot, TypeInfo t) : slot_(slot), t_(std::move(t)) {}
    Value* target(Ctx& c) const {
        Value& v = c.base[slot_];
        return v.isRef() ? v.rawRef() : &v;
    }
    Value eval(Ctx& c) const override { return *target(c); }
    Value* ref(Ctx& c) const override { return target(c); }
    void assign(Ctx& c, Value v) const override { coerceFast(v, t_); *target(c) = std::move(v); }
    bool assignable() const override { return true; }

private:
    uint32_t slot_;
    TypeInfo t_;
};

// a[i]: an array element (bounds checked) or a character of a string.
class IndexNode : public ExprNode {
public:
    IndexNode(ExprPtr base, ExprPtr index, int stringBase, std::shared_ptr<const TypeInfo> elem)
        : base_(std::move(base)), index_(std::move(index)), strBase_(stringBase), elem_(std::move(elem)) {}
    Value eval(Ctx& c) const override;
    Value* mutRef(Ctx& c) const override;
    void assign(Ctx& c, Value v) const override;
    bool assignable() const override { return base_->assignable(); }

private:
    ExprPtr base_, index_;
    int strBase_;
    std::shared_ptr<const TypeInfo> elem_;
};

// ---- calls ----------------------------------------------------------------------------

struct ArgNode {
    ExprPtr expr;
    bool byRef = false;
    const TypeInfo* type = nullptr;  // parameter type (null: variadic extra, no conversion)
};

class CallRoutineNode : public ExprNode {
public:
    CallRoutineNode(const RoutineInfo* r, std::vector<ArgNode> args) : r_(r), args_(std::move(args)) {}
    Value eval(Ctx& c) const override;

private:
    const RoutineInfo* r_;
    std::vector<ArgNode> args_;
};

class CallFunctionNode : public ExprNode {
public:
    CallFunctionNode(const FuncDecl* f, std::vector<ArgNode> args) : f_(f), args_(std::move(args)) {}
    Value eval(Ctx& c) const override;

private:
    Value invoke(Ctx& c, std::vector<Value>& a) const;
    const FuncDecl* f_;
    std::vector<ArgNode> args_;
    mutable std::vector<Value> buf_;  // argument array reused from call to call
    mutable bool busy_ = false;
};

// ---- operators ------------------------------------------------------------------------

using BinaryFn = Value (*)(const Value&, const Value&);

template <BinaryFn F>
class BinaryNode : public ExprNode {
public:
    BinaryNode(ExprPtr a, ExprPtr b) : a_(std::move(a)), b_(std::move(b)) {}
    Value eval(Ctx& c) const override {
        Value x = a_->eval(c);
        Value y = b_->eval(c);
        return F(x, y);
    }

private:
    ExprPtr a_, b_;
};

class CompareNode : public ExprNode {
public:
    CompareNode(Cmp op, ExprPtr a, ExprPtr b) : op_(op), a_(std::move(a)), b_(std::move(b)) {}
    Value eval(Ctx& c) const override {
        Value x = a_->eval(c);
        Value y = b_->eval(c);
        if (x.isInt() && y.isInt()) {
            int64_t p = x.rawInt(), q = y.rawInt();
            switch (op_) {
            case Cmp::Eq: return Value(p == q);
            case Cmp::Ne: return Value(p != q);
            case Cmp::Lt: return Value(p < q);
            case Cmp::Gt: return Value(p > q);
            case Cmp::Le: return Value(p <= q);
            case Cmp::Ge: return Value(p >= q);
            }
        }
        return Value(compareOp(op_, x, y));
    }

private:
    Cmp op_;
    ExprPtr a_, b_;
};

// Pascal / Basic and, or: a Boolean left side decides alone when it can.
class AndNode : public ExprNode {
public:
    AndNode(ExprPtr a, ExprPtr b, bool isOr) : a_(std::move(a)), b_(std::move(b)), or_(isOr) {}
    Value eval(Ctx& c) const override {
        Value x = a_->eval(c);
        if (x.isBool() && x.rawBool() == or_) return x;
        Value y = b_->eval(c);
        return or_ ? opOr(x, y) : opAnd(x, y);
    }

private:
    ExprPtr a_, b_;
    bool or_;
};

// C++ && ||: always logical, short-circuit.
class LogicalNode : public ExprNode {
public:
    LogicalNode(ExprPtr a, ExprPtr b, bool isOr) : a_(std::move(a)), b_(std::move(b)), or_(isOr) {}
    Value eval(Ctx& c) const override {
        bool x = a_->eval(c).toBool();
        if (x == or_) return Value(x);
        return Value(b_->eval(c).toBool());
    }

private:
    ExprPtr a_, b_;
    bool or_;
};

using UnaryFn = Value (*)(const Value&);

template <UnaryFn F>
class UnaryNode : public ExprNode {
public:
    explicit UnaryNode(ExprPtr a) : a_(std::move(a)) {}
    Value eval(Ctx& c) const override { return F(a_->eval(c)); }

private:
    ExprPtr a_;
};

class InNode : public ExprNode {
public:
    InNode(ExprPtr a, ExprPtr b) : a_(std::move(a)), b_(std::move(b)) {}
    Value eval(Ctx& c) const override {
        Value x = a_->eval(c);
        Value y = b_->eval(c);
        return Value(inSet(x, y));
    }

private:
    ExprPtr a_, b_;
};

class TernaryNode : public ExprNode {
public:
    TernaryNode(ExprPtr c, ExprPtr a, ExprPtr b) : c_(std::move(c)), a_(std::move(a)), b_(std::move(b)) {}
    Value eval(Ctx& c) const override { return c_->eval(c).toBool() ? a_->eval(c) : b_->eval(c); }

private:
    ExprPtr c_, a_, b_;
};

class ArrayNode : public ExprNode {
public:
    explicit ArrayNode(std::vector<ExprPtr> items) : items_(std::move(items)) {}
    Value eval(Ctx& c) const override {
        std::vector<Value> v;
        v.reserve(items_.size());
        for (auto& e : items_) v.push_back(e->eval(c));
        return Value::arrayOf(std::move(v));
    }

private:
    std::vector<ExprPtr> items_;
};

// ---- statements -----------------------------------------------------------------------

class BlockNode : public StmtNode {
public:
    BlockNode(int line, int col) : StmtNode(line, col, false) {}
    Flow exec(Ctx& c) const override {
        for (auto& s : stmts) {
            Flow f = runStmt(c, s.get());
            if (f != Flow::Normal) return f;
        }
        return Flow::Normal;
    }
    std::vector<StmtPtr> stmts;
};

class ExprStmtNode : public StmtNode {
public:
    ExprStmtNode(int line, int col, ExprPtr e) : StmtNode(line, col), e_(std::move(e)) {}
    Flow exec(Ctx& c) const override {
        e_->eval(c);
        return Flow::Normal;
    }

private:
    ExprPtr e_;
};

class AssignNode : public StmtNode {
public:
    AssignNode(int line, int col, ExprPtr target, ExprPtr value, BinaryFn op = nullptr)
        : StmtNode(line, col), target_(std::move(target)), value_(std::move(value)), op_(op) {}
    Flow exec(Ctx& c) const override {
        if (op_) {
            Value old = target_->eval(c);
            Value v = value_->eval(c);
            target_->assign(c, op_(old, v));
        } else {
            target_->assign(c, value_->eval(c));
        }
        return Flow::Normal;
    }

private:
    ExprPtr target_, value_;
    BinaryFn op_;
};

class IfNode : public StmtNode {
public:
    IfNode(int line, int col, ExprPtr cond, StmtPtr then, StmtPtr otherwise)
        : StmtNode(line, col), cond_(std::move(cond)), then_(std::move(then)), else_(std::move(otherwise)) {}
    Flow exec(Ctx& c) const override {
        if (cond_->eval(c).toBool()) return runStmt(c, then_.get());
        return else_ ? runStmt(c, else_.get()) : Flow::Normal;
    }

private:
    ExprPtr cond_;
    StmtPtr then_, else_;
};

// while / C++ do-while / Pascal repeat / Basic Do-Loop: an optional test before and after
// each pass; `until` tests end the loop when true.
class LoopNode : public StmtNode {
public:
    LoopNode(int line, int col, ExprPtr pre, bool preUntil, ExprPtr post, bool postUntil, StmtPtr body)
        : StmtNode(line, col), pre_(std::move(pre)), post_(std::move(post)), body_(std::move(body)),
          preUntil_(preUntil), postUntil_(postUntil) {}
    Flow exec(Ctx& c) const override {
        while (true) {
            loopPoll(c);
            if (pre_ && pre_->eval(c).toBool() == preUntil_) return Flow::Normal;
            Flow f = runStmt(c, body_.get());
            if (f == Flow::Break) return Flow::Normal;
            if (f == Flow::Exit) return f;
            if (post_) {
                c.cur = this;
                if (post_->eval(c).toBool() == postUntil_) return Flow::Normal;
            }
        }
    }

private:
    ExprPtr pre_, post_;
    StmtPtr body_;
    bool preUntil_, postUntil_;
};

// Counting loop: bounds and step evaluated once.
class ForNode : public StmtNode {
public:
    ForNode(int line, int col, ExprPtr var, ExprPtr from, ExprPtr to, ExprPtr step, bool down, StmtPtr body)
        : StmtNode(line, col), var_(std::move(var)), from_(std::move(from)), to_(std::move(to)),
          step_(std::move(step)), body_(std::move(body)), down_(down) {}
    Flow exec(Ctx& c) const override;

private:
    ExprPtr var_, from_, to_, step_;
    StmtPtr body_;
    bool down_;
};

class CForNode : public StmtNode {
public:
    CForNode(int line, int col, StmtPtr init, ExprPtr cond, StmtPtr step, StmtPtr body)
        : StmtNode(line, col), init_(std::move(init)), cond_(std::move(cond)), step_(std::move(step)),
          body_(std::move(body)) {}
    Flow exec(Ctx& c) const override {
        if (init_) {
            Flow f = runStmt(c, init_.get());
            if (f != Flow::Normal) return f;
        }
        while (true) {
            loopPoll(c);
            c.cur = this;
            if (cond_ && !cond_->eval(c).toBool()) return Flow::Normal;
            Flow f = runStmt(c, body_.get());
            if (f == Flow::Break) return Flow::Normal;
            if (f == Flow::Exit) return f;
            if (step_) runStmt(c, step_.get());
        }
    }

private:
    StmtPtr init_;
    ExprPtr cond_;
    StmtPtr step_, body_;
};

class CaseNode : public StmtNode {
public:
    struct Label {
        ExprPtr low, high;
    };
    struct Arm {
        std::vector<Label> labels;
        bool isElse = false;
        StmtPtr body;
    };
    CaseNode(int line, int col, ExprPtr subject, std::vector<Arm> arms, bool fallThrough)
        : StmtNode(line, col), subject_(std::move(subject)), arms_(std::move(arms)), fall_(fallThrough) {}
    Flow exec(Ctx& c) const override;

private:
    ExprPtr subject_;
    std::vector<Arm> arms_;
    bool fall_;
};

class JumpNode : public StmtNode {
public:
    JumpNode(int line, int col, Flow f) : StmtNode(line, col), f_(f) {}
    Flow exec(Ctx&) const override { return f_; }

private:
    Flow f_;
};

// exit / return [value]
class ExitNode : public StmtNode {
public:
    ExitNode(int line, int col, ExprPtr value, TypeInfo result)
        : StmtNode(line, col), value_(std::move(value)), result_(std::move(result)) {}
    Flow exec(Ctx& c) const override {
        if (value_) {
            Value v = value_->eval(c);
            if (c.base) {
                coerceFast(v, result_);
                c.base[0] = std::move(v);
            }
        }
        return Flow::Exit;
    }

private:
    ExprPtr value_;
    TypeInfo result_;
};

class TryNode : public StmtNode {
public:
    TryNode(int line, int col, StmtPtr body, StmtPtr handler, StmtPtr finally)
        : StmtNode(line, col), body_(std::move(body)), handler_(std::move(handler)), finally_(std::move(finally)) {}
    Flow exec(Ctx& c) const override;

private:
    StmtPtr body_, handler_, finally_;
};

}  // namespace quillon::script
