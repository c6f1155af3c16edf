// The executable form of a compiled program: the run context, the descriptors of
// functions (standard, host-declared, the program's own routines) and the node bases.
//
// Every name has been resolved by the compiler: a variable is a pointer to its storage
// (program-level and host variables) or a slot of the running routine's frame; a call
// points straight at its routine. Nothing is looked up by name while a program runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Types.h"
#include "Value.h"

namespace quillon::script {

struct Ctx;
class StmtNode;

using NativeFn = Value (*)(Ctx&, Value* args, size_t count);
using HostFunction = std::function<Value(const std::string& upperName, std::vector<Value>& args)>;
using StatementHook = std::function<void(int line, int col)>;

struct ParamInfo {
    std::string name;
    bool byRef = false;
    TypeInfo type;
    bool hasDefault = false;
    Value def;
};

// A function the program can call that is not written in it: a standard function
// (native) or one the host declared (host callback).
struct FuncDecl {
    std::string name;         // as declared
    std::string upper;        // in capitals, handed to the host callback
    std::string declaration;  // the Pascal-form declaration text
    std::string category;
    std::string description;
    std::vector<ParamInfo> params;
    bool isFunction = false;
    bool variadic = false;  // further arguments beyond the declared ones are passed on
    TypeInfo result;
    NativeFn native = nullptr;
    HostFunction host;
};

// A routine of the program. Its frame: slot 0 the result, then the parameters, then the
// locals; `init` holds the value each slot starts with at a call.
struct RoutineInfo {
    std::string name;
    std::vector<ParamInfo> params;
    bool isFunction = false;
    TypeInfo result;
    std::vector<Value> init;
    std::unique_ptr<StmtNode> body;
    size_t frameSize() const { return init.size(); }
};

enum class Flow : uint8_t { Normal, Break, Continue, Exit };

struct Ctx {
    // Deepest nesting of routine calls; with the native stack budget below it turns runaway
    // recursion into a run-time error instead of a crash.
    static constexpr int kMaxCallDepth = 1000;
    static constexpr size_t kNativeStackBudget = 512 * 1024;

    Value* base = nullptr;  // frame of the running routine
    Value* top = nullptr;   // first free slot of the value stack
    Value* end = nullptr;
    const StmtNode* cur = nullptr;  // statement being run; names run-time errors
    int depth = 0;
    uintptr_t stackLimit = 0;  // lowest native stack address calls may reach
    const StatementHook* hook = nullptr;
    const std::atomic<bool>* abort = nullptr;
    std::vector<std::string> handled;  // texts of the errors being handled, innermost last
    std::mt19937_64* rng = nullptr;
    const std::function<void(const std::string&)>* messageOut = nullptr;

    bool pollNeeded() const { return hook != nullptr || abort->load(std::memory_order_relaxed); }
};

class StmtNode {
public:
    StmtNode(int line, int col, bool hooked = true) : line(line), col(col), hooked(hooked) {}
    virtual ~StmtNode() = default;
    virtual Flow exec(Ctx& c) const = 0;
    int line, col;
    bool hooked;  // the hook sees it (blocks are not statements of their own)
};

class ExprNode {
public:
    virtual ~ExprNode() = default;
    virtual Value eval(Ctx& c) const = 0;
    // Storage of a variable, for reading without a copy and for by-reference passing.
    virtual Value* ref(Ctx&) const { return nullptr; }
    // Storage that is about to be changed (arrays along the way are made unshared).
    virtual Value* mutRef(Ctx& c) const { return ref(c); }
    virtual void assign(Ctx&, Value) const { throw RuntimeError("Left side cannot be assigned to"); }
    virtual bool assignable() const { return false; }
    virtual const Value* constant() const { return nullptr; }  // literal value, if any
};

using ExprPtr = std::unique_ptr<ExprNode>;
using StmtPtr = std::unique_ptr<StmtNode>;

[[noreturn]] void throwAbort(const Ctx& c);
void poll(Ctx& c, const StmtNode* s);

// Runs one statement: records it as current (for error positions) and gives the hook and
// the abort flag their turn.
inline Flow runStmt(Ctx& c, const StmtNode* s) {
    if (s->hooked) {
        c.cur = s;
        if (c.pollNeeded()) poll(c, s);
    }
    return s->exec(c);
}

// Once per loop iteration, so that even an empty loop body can be aborted.
inline void loopPoll(Ctx& c) {
    if (c.abort->load(std::memory_order_relaxed)) throwAbort(c);
}

// Gives an error leaving a routine or a callback the position of the current statement
// when it has none yet.
inline void placeError(RuntimeError& e, const Ctx& c) {
    if (!e.hasPosition() && c.cur) e.setPosition(c.cur->line, c.cur->col);
}

}  // namespace quillon::script
