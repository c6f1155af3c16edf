// The rule executor: wraps one script of the engine for running a rule once per line.
// It selects the syntax, declares the rule functions (ScriptLibrary) on the script,
// compiles rule texts with the error position, runs the compiled rule with the line in
// `line_content`, and forwards the rule's log events to the channel that owns it.
//
// Every channel owns one executor and so does the rule editor (which never runs a rule).
// An executor is used by one thread at a time: compiled on the main thread by a channel's
// Start, then run by that channel's worker. RequestAbort() is the one call that is safe
// from any other thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ExecutorChannel.h"
#include "ResultWriter.h"
#include "RuleError.h"

namespace quillon::script {
class Script;
class Value;
}  // namespace quillon::script

class ScriptLibrary;

class TdmScriptExecutor {
public:
    TdmScriptExecutor();
    ~TdmScriptExecutor();
    TdmScriptExecutor(const TdmScriptExecutor&) = delete;
    TdmScriptExecutor& operator=(const TdmScriptExecutor&) = delete;

    // Stores the repository handle (negative: none) and the owning channel (null: none)
    // and declares the rule functions. Also takes back an earlier RequestAbort().
    void Init(int32_t connectionId, ExecutorChannel* channel);

    // "PascalScript" (a new executor), "C++Script" or "BasicScript". Any other name keeps
    // the syntax and returns false.
    bool SetSyntaxType(std::string_view name);
    const std::string& SyntaxType() const;
    // Applies the extension table of RuleSyntax.h; an unknown extension keeps the syntax.
    // True when the extension selected one.
    bool SetSyntaxFromRuleFile(std::string_view path);

    // Compiles `script` afresh in the current syntax (program-level variables start over).
    // On failure `errLine`/`errChar` (both from 1) tell where the first error is and
    // LastError() what it is. With `showMessages` the outcome is also shown to the user.
    bool Compile(const std::string& script, int32_t& errLine, int32_t& errChar, bool showMessages);

    // Runs the rule once with `lineContent` in `line_content`. With `compileFirst` it first
    // compiles `script` as Compile does and returns false (running nothing) when that
    // fails; otherwise `script` is not looked at and the rule compiled last runs again.
    // A run-time error of the rule leaves as RuleRuntimeError.
    bool Execute(const std::string& script, int32_t& errLine, int32_t& errChar, bool showMessages,
                 std::string_view lineContent, bool compileFirst);

    // Queues `text` as a monitor message of the channel and has it shown at once (the
    // channel skips the showing after a stop request). Nothing without a channel.
    void AddEvent(const std::string& text);

    // The dispatcher of the rule functions: `upperName` is the function's name in
    // capitals, `args` its arguments in declaration order (defaults filled in).
    quillon::script::Value CallMethod(const std::string& upperName,
                                      std::vector<quillon::script::Value>& args);

    // Ends the running rule (and every later run until the next Init) with the run-time
    // error "Script aborted", which the rule cannot catch. Safe from any thread; for
    // destroying a channel whose rule does not return.
    void RequestAbort();
    bool AbortRequested() const;

    // Replaces the repository: SaveResult hands its rows to `writer` instead of the
    // data-access library (null: back to the repository). Not owned.
    void SetResultWriter(ResultWriter* writer) { resultWriter_ = writer; }
    ResultWriter* GetResultWriter() const { return resultWriter_; }

    // The engine's text of the last compile error (empty after a successful compile).
    const std::string& LastError() const { return lastError_; }

    // The text shown for a compile error: the engine's text + " at Line L Char C".
    static std::string CompileErrorMessage(const std::string& text, int32_t line, int32_t character);

    int32_t ConnectionID = -1;
    ExecutorChannel* Channel = nullptr;

private:
    void RegisterFunctions();
    // The engine's per-statement hook.
    void fsScriptRunLine(int line, int col);

    std::unique_ptr<quillon::script::Script> fsScript;
    std::unique_ptr<ScriptLibrary> library_;
    // Storage of `line_content` in the compiled program; resolved once per compile.
    quillon::script::Value* lineContent_ = nullptr;
    ResultWriter* resultWriter_ = nullptr;
    std::string lastError_;
    unsigned statementCount_ = 0;
    bool registered_ = false;  // the rule functions are declared on fsScript
};
