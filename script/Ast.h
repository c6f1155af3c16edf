// The syntax tree shared by the three front ends (Pascal, C++, Basic).
//
// Each parser turns its syntax into this one tree; the compiler (Compiler.cpp) resolves
// the names and builds the executable form from it. The tree holds no syntax-specific
// node: where the syntaxes differ in meaning, the parser picks the neutral operator that
// says what is meant (for example `/` becomes DivReal in Pascal and Basic but DivNatural in
// C++, Basic `&` becomes Concat), and Program::stringBase records how strings index.
//
// Names are kept as written; the compiler compares them case-insensitively. Positions are
// 1-based line and column of the first character of the construct.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Value.h"

namespace quillon::script::ast {

struct Pos {
    int line = 0;
    int col = 0;
};

struct Expr;
struct Stmt;
using ExprPtr = std::unique_ptr<Expr>;
using StmtPtr = std::unique_ptr<Stmt>;

// A declared type: a name ("" = untyped, i.e. variant) or an array of an element type,
// with bounds for a static array (`array[lo..hi] of T`, C++ `int a[5]`, Basic `Dim a(5)`).
struct TypeSpec {
    std::string name;                // type name as written; empty for variant / array
    bool isArray = false;
    ExprPtr low, high;               // both set for an array with bounds
    std::unique_ptr<TypeSpec> elem;  // element type of an array
    Pos pos;
};

enum class Op {
    // binary
    Add, Sub, Mul,
    DivReal,     // always Double (Pascal, Basic `/`)
    DivNatural,  // Integer when both sides are Integer (C++ `/`)
    DivInt,      // integer division (Pascal div, Basic `\`)
    Mod, Pow,
    And, Or, Xor,     // logical on Booleans (short-circuit on a Boolean left side), bitwise on Integers
    AndThen, OrElse,  // always logical and short-circuit (C++ && ||)
    BitAnd, BitOr, BitXor,  // bitwise on Integers, logical on Booleans, both sides evaluated (C++ & | ^)
    Shl, Shr,
    Concat,  // texts joined (Basic &)
    Eq, Ne, Lt, Gt, Le, Ge,
    In,  // membership in an array
    // unary
    Neg, Plus,
    Not,     // logical on a Boolean, bitwise on an Integer (Pascal, Basic)
    LogNot,  // always logical (C++ !)
    BitNot,  // bitwise complement (C++ ~)
};

enum class ExprKind {
    Literal,    // value
    Name,       // name
    Call,       // name(args); parens tells whether parentheses were written. In Basic the
                // compiler turns a Call on a variable into indexing.
    Index,      // a[args...] (more than one index means nested indexing a[i][j])
    Unary,      // op a
    Binary,     // a op b
    ArrayCtor,  // [args...]
    Ternary,    // a ? b : c (C++)
};

struct Expr {
    ExprKind kind;
    Pos pos;
    Op op = Op::Add;
    Value value;        // Literal
    std::string name;   // Name, Call
    ExprPtr a, b, c;    // operands; a is the indexed value for Index
    std::vector<ExprPtr> args;
    bool parens = false;  // Call: written with parentheses

    Expr(ExprKind k, Pos p) : kind(k), pos(p) {}
};

// One declared variable or constant; `init` may be null.
struct VarDecl {
    std::string name;
    TypeSpec type;
    ExprPtr init;
    Pos pos;
    bool isConst = false;
};

enum class StmtKind {
    Block,     // body
    Expr,      // expression evaluated for its effect (a call)
    Assign,    // target op= value (op Add etc. for C++ compound assignment; Assign plain)
    Incr,      // target++ / target-- (step +1 / -1 in `step`)
    Local,     // declaration of a local variable where it stands (C++, Basic); `decl`
    If,        // cond, then body[0], else elseBody (may be null)
    Case,      // subject, arms; fallThrough = C semantics (run on until break)
    While,     // cond, body
    Repeat,    // body until cond (runs at least once)
    DoLoop,    // Basic Do/Loop: preCond/postCond with untilCond flags
    For,       // var target from a to b [step], downTo
    CFor,      // init, cond, step (statements), body
    Break, Continue,
    Exit,      // leave the routine (or the run); value: C++ `return e`
    Try,       // body; handler (except/catch) or finallyBody
};

enum class AssignOp { Set, Add, Sub, Mul, Div, Mod };

// One arm of a case / switch / select: labels (values or ranges lo..hi); no labels = else.
struct CaseArm {
    struct Label {
        ExprPtr low, high;  // high null for a single value
    };
    std::vector<Label> labels;
    bool isElse = false;
    StmtPtr body;
    Pos pos;
};

struct Stmt {
    StmtKind kind;
    Pos pos;
    ExprPtr target, value, cond, from, to, step;
    AssignOp assignOp = AssignOp::Set;
    std::vector<StmtPtr> body;       // Block; bodies of loops and of If's then-branch (one statement)
    StmtPtr elseBody, handler, finallyBody;
    std::vector<StmtPtr> init, stepStmts;  // CFor
    std::vector<CaseArm> arms;
    std::unique_ptr<VarDecl> decl;  // Local
    bool downTo = false;
    bool fallThrough = false;
    bool preUntil = false, postUntil = false;  // DoLoop: cond is pre-condition, value post-condition
    bool newScope = true;  // Block: opens a scope for declarations (false: a mere list, as
                           // for `int a = 1, b = 2;`)

    Stmt(StmtKind k, Pos p) : kind(k), pos(p) {}
};

struct Param {
    std::string name;
    TypeSpec type;
    bool byRef = false;
    ExprPtr def;  // default value (a constant expression)
    Pos pos;
};

struct Routine {
    std::string name;
    Pos pos;
    std::vector<Param> params;
    bool isFunction = false;
    TypeSpec result;
    std::vector<VarDecl> locals;  // declared up front (Pascal var/const sections)
    StmtPtr body;                 // a Block
};

struct Program {
    std::vector<VarDecl> globals;  // program-level variables and constants, in order
    std::vector<std::unique_ptr<Routine>> routines;
    StmtPtr main;        // the main block (never null after a successful parse)
    int stringBase = 1;  // index of a string's first character: 1 Pascal/Basic, 0 C++
    bool basicNames = false;    // Basic: `name(args)` on a variable indexes it
    bool resultByName = true;   // a function's name on the left of an assignment sets its result
};

}  // namespace quillon::script::ast
