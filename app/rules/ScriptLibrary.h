// The functions the rule executor declares for rules: MessageDlg, ShowMessage, LogEvent,
// Split, Wait, SaveResult, ParseToFloat, Log10 and Power. TdmScriptExecutor::CallMethod
// dispatches to them; they run on the thread that runs the rule (a channel's worker) and
// use the executor's ConnectionID, Channel and result writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Value.h"

class TdmScriptExecutor;

// The declarations the executor gives the engine, in the order it declares them.
extern const char* const kRuleFunctionDeclarations[9];

// ParseToFloat without its message: true with the number in `out`, false when the text
// (after the units, the decimal prefix and the exponent are taken off) is not a number.
// The decimal separator is "." whatever the process locale: rules and repositories here
// always use the C locale.
bool ParseMeasurement(std::string_view input, double& out);

// Split: the parts of `text` between the occurrences of `separator` (exact comparison,
// left to right, not overlapping), as an array indexed from 0. An empty separator or
// text without the separator gives one element, the whole text.
quillon::script::Value SplitText(std::string_view text, std::string_view separator);

class ScriptLibrary {
public:
    explicit ScriptLibrary(TdmScriptExecutor& executor) : executor_(executor) {}

    quillon::script::Value MessageDlg(const std::string& msg, int64_t dlgType, int64_t buttons);
    void ShowMessage(const std::string& text);
    void LogEvent(const std::string& text);
    void Wait(int64_t milliseconds);
    bool SaveResult(const std::string& table, const quillon::script::Value& names,
                    const quillon::script::Value& values);
    double ParseToFloat(std::string_view input);
    double Log10(double x);
    double Power(double base, double exponent);

private:
    // The texts of the elements of an array, element low+j at index j; reuses the
    // buffers' storage from call to call.
    static void ElementTexts(const quillon::script::Value& array, std::vector<std::string>& out);
    void Report(const std::string& text);  // monitor message and error box

    TdmScriptExecutor& executor_;
    std::vector<std::string> names_;
    std::vector<std::string> values_;
};
