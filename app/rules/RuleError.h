// A run-time error of a rule, as it leaves TdmScriptExecutor::Execute: the engine's text
// and the position (line, character, both from 1) of the statement that failed. Callers
// (the channel engine, the dry run) need no header of the script engine to handle it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class RuleRuntimeError : public std::runtime_error {
public:
    RuleRuntimeError(const std::string& text, int32_t line, int32_t character, bool aborted)
        : std::runtime_error(text), line_(line), char_(character), aborted_(aborted) {}

    int32_t Line() const { return line_; }
    int32_t Char() const { return char_; }
    // The run was ended by TdmScriptExecutor::RequestAbort, not by the rule itself.
    bool Aborted() const { return aborted_; }

private:
    int32_t line_;
    int32_t char_;
    bool aborted_;
};
