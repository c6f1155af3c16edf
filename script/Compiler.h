// The binder: from the shared syntax tree to the executable form, resolving every name.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Ast.h"
#include "GlobalUnit.h"
#include "Runtime.h"
#include "Token.h"

namespace quillon::script {

enum class Syntax { Pascal, Cpp, Basic };

// What a script itself declares (host types, constants, functions and variables). The
// script's own declarations hide the global unit's.
struct HostScope {
    struct Var {
        std::string name;
        TypeInfo type;
        Value* storage;
    };
    std::unordered_map<std::string, std::unique_ptr<FuncDecl>> functions;  // by lower-case name
    std::vector<const FuncDecl*> functionOrder;
    std::unordered_map<std::string, TypeInfo> types;
    std::unordered_map<std::string, Value> constants;
    std::unordered_map<std::string, std::string> constantNames;  // as declared, for the catalogue
    std::unordered_map<std::string, Var> variables;
    std::deque<Value> storage;  // stable addresses for the variables
};

struct CompiledProgram {
    struct Global {
        std::string name;
        TypeInfo type;
        Value* storage;
    };
    std::deque<Value> storage;
    std::unordered_map<std::string, Global> globals;  // program-level variables by lower-case name
    std::vector<std::unique_ptr<RoutineInfo>> routines;
    RoutineInfo main;
};

// Evaluates an expression at compile time (constants, initial values of program-level
// variables); supplied by the script, which owns the run context.
using CompileEvaluator = std::function<Value(const ExprNode&)>;

std::unique_ptr<CompiledProgram> compileProgram(const ast::Program& prog, Syntax syntax, const HostScope& host,
                                                const GlobalUnit* parent, const CompileEvaluator& eval);

// Builds a function descriptor from its Pascal-form declaration; the host's types and
// constants may appear in it. Throws CompileError for a malformed declaration.
void buildFuncDecl(std::string_view declaration, const HostScope* host, FuncDecl& out);

std::string lowerCase(std::string_view s);
std::string upperCase(std::string_view s);

}  // namespace quillon::script
