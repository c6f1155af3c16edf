#include "Nodes.h"

#include <cmath>

namespace quillon::script {

void throwAbort(const Ctx& c) {
    throw RuntimeError("Script aborted", c.cur ? c.cur->line : 0, c.cur ? c.cur->col : 0, true);
}

void poll(Ctx& c, const StmtNode* s) {
    if (c.abort->load(std::memory_order_relaxed)) throwAbort(c);
    if (c.hook && *c.hook) {
        try {
            (*c.hook)(s->line, s->col);
        } catch (RuntimeError& e) {
            placeError(e, c);
            throw;
        } catch (const std::exception& e) {
            throw RuntimeError(e.what(), s->line, s->col);
        }
        if (c.abort->load(std::memory_order_relaxed)) throwAbort(c);
    }
}

// ---- indexing -------------------------------------------------------------------------

namespace {

std::string boundsText(int64_t i, int64_t lo, int64_t hi) {
    return "Index " + std::to_string(i) + " out of bounds " + std::to_string(lo) + ".." + std::to_string(hi);
}

int64_t indexOf(const Value& idx) {
    if (idx.isInt()) return idx.rawInt();
    if (idx.isArray()) throw RuntimeError("Type mismatch: an array cannot be an index");
    return idx.toInt();
}

[[noreturn]] void notIndexable(const Value& v) {
    const char* what = v.isEmpty() ? "an unassigned value" : v.isNull() ? "Null" : "a value that is neither array nor string";
    throw RuntimeError(std::string("Cannot index ") + what);
}

}  // namespace

Value IndexNode::eval(Ctx& c) const {
    Value idxv = index_->eval(c);
    int64_t i = indexOf(idxv);
    Value tmp;
    const Value* p = base_->ref(c);
    if (!p) {
        tmp = base_->eval(c);
        p = &tmp;
    }
    if (p->isRef()) p = p->rawRef();
    if (p->isArray()) {
        const ArrRep& a = p->rawArray();
        uint64_t k = uint64_t(i - a.low);
        if (k >= a.items.size()) throw RuntimeError(boundsText(i, a.low, p->high()));
        return a.items[k];
    }
    if (p->isString()) {
        std::string_view s = p->rawString();
        uint64_t k = uint64_t(i - strBase_);
        if (k >= s.size()) throw RuntimeError(boundsText(i, strBase_, int64_t(s.size()) - 1 + strBase_));
        return Value(s.substr(k, 1));
    }
    notIndexable(*p);
}

Value* IndexNode::mutRef(Ctx& c) const {
    Value idxv = index_->eval(c);
    int64_t i = indexOf(idxv);
    Value* p = base_->mutRef(c);
    if (!p) throw RuntimeError("Left side cannot be assigned to");
    if (!p->isArray()) {
        if (p->isString()) throw RuntimeError("A character of a string is not an array");
        notIndexable(*p);
    }
    ArrRep& a = p->mutableArray();
    uint64_t k = uint64_t(i - a.low);
    if (k >= a.items.size()) throw RuntimeError(boundsText(i, a.low, a.low + int64_t(a.items.size()) - 1));
    return &a.items[k];
}

void IndexNode::assign(Ctx& c, Value v) const {
    Value idxv = index_->eval(c);
    int64_t i = indexOf(idxv);
    Value* p = base_->mutRef(c);
    if (!p) throw RuntimeError("Left side cannot be assigned to");
    if (p->isArray()) {
        ArrRep& a = p->mutableArray();
        uint64_t k = uint64_t(i - a.low);
        if (k >= a.items.size()) throw RuntimeError(boundsText(i, a.low, a.low + int64_t(a.items.size()) - 1));
        if (elem_) coerceFast(v, *elem_);
        a.items[k] = std::move(v);
        return;
    }
    if (p->isString()) {
        std::string s(p->rawString());
        uint64_t k = uint64_t(i - strBase_);
        if (k >= s.size()) throw RuntimeError(boundsText(i, strBase_, int64_t(s.size()) - 1 + strBase_));
        std::string ch = v.isInt() ? std::string(1, char(v.rawInt())) : v.toString();
        if (ch.size() != 1) throw RuntimeError("Type mismatch: a character is expected");
        s[k] = ch[0];
        *p = Value(s);
        return;
    }
    notIndexable(*p);
}

// ---- calls ----------------------------------------------------------------------------

namespace {

void checkDepth(Ctx& c) {
    char probe;
    if (c.depth >= Ctx::kMaxCallDepth || reinterpret_cast<uintptr_t>(&probe) < c.stackLimit)
        throw RuntimeError("Stack overflow: routine calls nested too deep");
}

}  // namespace

Value CallRoutineNode::eval(Ctx& c) const {
    checkDepth(c);
    const size_t n = r_->frameSize();
    if (size_t(c.end - c.top) < n) throw RuntimeError("Stack overflow: routine calls nested too deep");
    Value* frame = c.top;
    Value* callerBase = c.base;
    const StmtNode* callerCur = c.cur;
    c.top += n;
    ++c.depth;
    // Whatever happens, the frame is emptied and the caller's state comes back.
    struct Restore {
        Ctx& c;
        Value* frame;
        size_t n;
        Value* base;
        const StmtNode* cur;
        ~Restore() {
            for (size_t k = 0; k < n; ++k) frame[k] = Value();
            c.top = frame;
            c.base = base;
            c.cur = cur;
            --c.depth;
        }
    } restore{c, frame, n, callerBase, callerCur};

    bool writeBack = false;
    for (size_t k = 0; k < args_.size(); ++k) {
        const ArgNode& a = args_[k];
        Value& slot = frame[k + 1];
        if (a.byRef) {
            if (Value* p = a.expr->ref(c)) {
                slot = Value::ref(p->isRef() ? p->rawRef() : p);
                continue;
            }
            writeBack = true;
        }
        slot = a.expr->eval(c);
        if (a.type) coerceFast(slot, *a.type);
    }
    for (size_t k = args_.size() + 1; k < n; ++k) frame[k] = r_->init[k];
    frame[0] = r_->init[0];
    c.base = frame;
    try {
        r_->body->exec(c);
    } catch (RuntimeError& e) {
        placeError(e, c);
        throw;
    }
    Value result = std::move(frame[0]);
    c.base = callerBase;
    c.cur = callerCur;
    if (writeBack) {
        for (size_t k = 0; k < args_.size(); ++k) {
            const ArgNode& a = args_[k];
            if (a.byRef && !frame[k + 1].isRef()) a.expr->assign(c, std::move(frame[k + 1]));
        }
    }
    return result;
}

Value CallFunctionNode::invoke(Ctx& c, std::vector<Value>& a) const {
    try {
        if (f_->native) return f_->native(c, a.data(), a.size());
        return f_->host(f_->upper, a);
    } catch (RuntimeError& e) {
        placeError(e, c);
        throw;
    } catch (const std::bad_alloc&) {
        RuntimeError e("Out of memory in " + f_->name);
        placeError(e, c);
        throw e;
    } catch (const std::exception& ex) {
        RuntimeError e(ex.what());
        placeError(e, c);
        throw e;
    } catch (...) {
        RuntimeError e("Unknown error in " + f_->name);
        placeError(e, c);
        throw e;
    }
}

Value CallFunctionNode::eval(Ctx& c) const {
    std::vector<Value> own;
    std::vector<Value>& a = busy_ ? own : buf_;
    struct Busy {
        bool& b;
        bool was;
        std::vector<Value>& a;
        ~Busy() { a.clear(); b = was; }
    } busy{busy_, busy_, a};
    busy_ = true;
    for (const ArgNode& arg : args_) {
        a.push_back(arg.expr->eval(c));
        if (arg.type) coerceFast(a.back(), *arg.type);
    }
    Value r = invoke(c, a);
    for (size_t k = 0; k < args_.size(); ++k)
        if (args_[k].byRef) args_[k].expr->assign(c, std::move(a[k]));
    if (f_->isFunction) coerceFast(r, f_->result);
    else r = Value();
    return r;
}

// ---- statements -----------------------------------------------------------------------

Flow ForNode::exec(Ctx& c) const {
    Value from = from_->eval(c);
    Value to = to_->eval(c);
    Value step = step_ ? step_->eval(c) : Value(int64_t(down_ ? -1 : 1));
    Value fn = from.toNumber(), tn = to.toNumber(), sn = step.toNumber();
    if (fn.isInt() && tn.isInt() && sn.isInt()) {
        int64_t i = fn.rawInt(), last = tn.rawInt(), st = sn.rawInt();
        if (st == 0) throw RuntimeError("For loop step is zero");
        while (st > 0 ? i <= last : i >= last) {
            loopPoll(c);
            var_->assign(c, Value(i));
            Flow f = runStmt(c, body_.get());
            if (f == Flow::Break) break;
            if (f == Flow::Exit) return f;
            // stop before the counter would pass the end (and never overflow)
            if (st > 0 ? last - i < st : i - last < -st) break;
            i += st;
        }
        return Flow::Normal;
    }
    double i = fn.toDouble(), last = tn.toDouble(), st = sn.toDouble();
    if (st == 0 || std::isnan(st)) throw RuntimeError("For loop step is zero");
    for (int64_t k = 0;; ++k) {
        double x = i + double(k) * st;  // no accumulated rounding
        if (st > 0 ? !(x <= last + std::fabs(st) * 1e-9) : !(x >= last - std::fabs(st) * 1e-9)) break;
        loopPoll(c);
        var_->assign(c, Value(x));
        Flow f = runStmt(c, body_.get());
        if (f == Flow::Break) break;
        if (f == Flow::Exit) return f;
    }
    return Flow::Normal;
}

Flow CaseNode::exec(Ctx& c) const {
    Value v = subject_->eval(c);
    size_t start = arms_.size();
    for (size_t k = 0; k < arms_.size() && start == arms_.size(); ++k) {
        for (const Label& l : arms_[k].labels) {
            Value lo = l.low->eval(c);
            bool hit;
            if (l.high) {
                Value hi = l.high->eval(c);
                hit = compareOp(Cmp::Ge, v, lo) && compareOp(Cmp::Le, v, hi);
            } else {
                hit = compareValues(v, lo) == 0;
            }
            if (hit) { start = k; break; }
        }
    }
    if (start == arms_.size()) {
        for (size_t k = 0; k < arms_.size(); ++k)
            if (arms_[k].isElse) { start = k; break; }
    }
    for (size_t k = start; k < arms_.size(); ++k) {
        Flow f = runStmt(c, arms_[k].body.get());
        if (f == Flow::Break && fall_) return Flow::Normal;  // C break leaves the switch
        if (f != Flow::Normal) return f;
        if (!fall_) break;
    }
    return Flow::Normal;
}

Flow TryNode::exec(Ctx& c) const {
    Flow f = Flow::Normal;
    if (finally_) {
        try {
            f = runStmt(c, body_.get());
        } catch (RuntimeError& e) {
            placeError(e, c);
            runStmt(c, finally_.get());
            throw;
        }
        Flow g = runStmt(c, finally_.get());
        return g != Flow::Normal ? g : f;
    }
    try {
        f = runStmt(c, body_.get());
    } catch (RuntimeError& e) {
        if (e.aborted()) throw;
        c.handled.push_back(e.what());
        struct Pop {
            Ctx& c;
            ~Pop() { c.handled.pop_back(); }
        } pop{c};
        return runStmt(c, handler_.get());
    }
    return f;
}

}  // namespace quillon::script
