// The public face of the rule script engine: one script object compiles and runs one
// program in the Pascal, C++ or Basic syntax.
//
// Typical host sequence (the rule executor):
//   Script s;
//   s.setSyntax("PascalScript");
//   s.setParent(&GlobalUnit::standard());
//   s.declareEnum("TMsgDlgType", "mtCustom, mtInformation");
//   s.declareFunction("function Split(const str: string; const separator: string = ','): Variant", callback);
//   s.setVariable("line_content", Value(""));   // a variable the program uses must exist when it compiles
//   s.setText(text);
//   if (!s.compile()) report(s.errorText(), s.errorPos());
//   Value* line = s.findVariable("line_content");  // resolve once, then per line:
//   *line = Value(lineText); s.run();              // throws RuntimeError with text and position
//
// A script is used by one thread at a time; requestAbort() may be called from any thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "GlobalUnit.h"
#include "Runtime.h"
#include "Value.h"

namespace quillon::script {

struct CatalogueEntry {
    std::string kind;  // "function", "variable", "constant", "type"
    std::string name;
    std::string category;     // standard functions: "Conversion", "Strings", "Math", ...
    std::string declaration;  // Pascal form for functions, "name: Type" for variables
    std::string description;
};

// The standard functions and constants of a global unit, for the rule editor's tree.
std::vector<CatalogueEntry> unitCatalogue(const GlobalUnit& unit);

class Script {
public:
    Script();
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // "PascalScript", "C++Script" or "BasicScript"; any other name leaves the syntax as it
    // is and returns false. A new script is "PascalScript".
    bool setSyntax(std::string_view name);
    const std::string& syntax() const;

    void setText(std::string text);
    const std::string& text() const;

    // Forgets the text, the compiled form and everything declared on the script (types,
    // constants, functions, variables). The syntax, parent, hook and abort flag stay.
    void clear();

    // The scope above the script's own declarations (normally GlobalUnit::standard());
    // null for none. The unit must outlive the script.
    void setParent(const GlobalUnit* unit);

    // An enumeration type: the names become constants 0, 1, 2 ... A set type: constants 1,
    // 2, 4 ...; where a value of the set type is expected, an array of its names becomes
    // the OR of their values. `names` is a comma-separated list. False (and `error`) for a
    // malformed list.
    bool declareEnum(std::string_view typeName, std::string_view names, std::string* error = nullptr);
    bool declareSet(std::string_view typeName, std::string_view names, std::string* error = nullptr);

    // A host function from its Pascal-form declaration. The callback gets the name in
    // capitals and the arguments in declaration order (defaults filled in, each converted to
    // its parameter's type; a `var` parameter's element is written back after the call).
    // It may throw RuntimeError or any std::exception: the run fails at the calling
    // statement. Declared functions hide standard functions of the same name.
    bool declareFunction(std::string_view declaration, HostFunction callback, std::string_view category = {},
                         std::string_view description = {}, std::string* error = nullptr);

    // Sets the variable `name` of the program (a program-level variable of the compiled
    // program) or of the script; adds a script variable of the given type when neither has
    // it. Variables the program uses must exist before compile().
    void setVariable(std::string_view name, Value value, std::string_view typeName = "Variant");
    // Storage of a variable, to be set cheaply before each run; null when there is none.
    // Valid until the next compile() (program-level variables) or clear().
    Value* findVariable(std::string_view name);

    // Compiles the text. On failure errorText() and errorLine()/errorCol() (1-based) tell
    // the first error. Program-level variables get their initial values now.
    bool compile();
    bool compiled() const;
    const std::string& errorText() const;
    int errorLine() const;
    int errorCol() const;
    std::string errorPos() const;  // "line:col"

    // Runs the compiled program from its beginning. A run-time error leaves as RuntimeError
    // with its text and the position of the statement that failed.
    void run();

    // Called before every statement the program runs (empty function: none).
    void setStatementHook(StatementHook hook);
    // Ends the running (and every later) run with the run-time error "Script aborted",
    // which the program cannot catch, until clearAbort(). Safe from any thread.
    void requestAbort();
    void clearAbort();
    bool abortRequested() const;

    // Where the standard ShowMessage writes when the host has not declared its own
    // (default: standard output).
    void setMessageOutput(std::function<void(const std::string&)> out);

    // Standard functions (from the parent), host functions, types, constants and variables.
    std::vector<CatalogueEntry> catalogue() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace quillon::script
