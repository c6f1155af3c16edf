#include "ScriptExecutor.h"

#include <QCoreApplication>
#include <cstdio>

#include "GlobalUnit.h"
#include "PlainNotice.h"
#include "Script.h"
#include "ScriptLibrary.h"
#include "RuleSyntax.h"
#include "tvGnHeader.h"

using quillon::script::GlobalUnit;
using quillon::script::RuntimeError;
using quillon::script::Script;
using quillon::script::Value;
using namespace std::string_view_literals;

namespace {

std::string Text(const Value& v) { return v.isString() ? std::string(v.rawString()) : v.toString(); }

void NeedArguments(const std::vector<Value>& args, size_t count, const char* name) {
    if (args.size() != count)
        throw RuntimeError(std::string("Wrong number of arguments for ") + name + ": " +
                           std::to_string(args.size()) + " instead of " + std::to_string(count));
}

}  // namespace

TdmScriptExecutor::TdmScriptExecutor()
    : fsScript(std::make_unique<Script>()), library_(std::make_unique<ScriptLibrary>(*this)) {
    fsScript->setSyntax(kPascalSyntax);
    fsScript->setStatementHook([this](int line, int col) { fsScriptRunLine(line, col); });
}

TdmScriptExecutor::~TdmScriptExecutor() = default;

void TdmScriptExecutor::Init(int32_t connectionId, ExecutorChannel* channel) {
    ConnectionID = connectionId;
    Channel = channel;
    fsScript->clearAbort();
    RegisterFunctions();
}

bool TdmScriptExecutor::SetSyntaxType(std::string_view name) { return fsScript->setSyntax(name); }

const std::string& TdmScriptExecutor::SyntaxType() const { return fsScript->syntax(); }

bool TdmScriptExecutor::SetSyntaxFromRuleFile(std::string_view path) {
    const char* syntax = SyntaxForRuleFile(path);
    return syntax != nullptr && fsScript->setSyntax(syntax);
}

void TdmScriptExecutor::RegisterFunctions() {
    // Declaring drops a compiled program; its variables go with it.
    lineContent_ = nullptr;
    registered_ = true;
    std::string error;
    if (!fsScript->declareEnum("TMsgDlgType", "mtCustom, mtInformation, mtWarning, mtError, mtConfirmation",
                               &error) ||
        !fsScript->declareSet("TMsgDlgButtons", "mbNone, mbOk, mbCancel, mbYes, mbNo, mbAbort, mbRetry, mbIgnore",
                              &error)) {
        std::fprintf(stderr, "Rule constant types not declared: %s\n", error.c_str());
        registered_ = false;
    }
    for (const char* declaration : kRuleFunctionDeclarations) {
        auto dispatch = [this](const std::string& name, std::vector<Value>& args) { return CallMethod(name, args); };
        if (!fsScript->declareFunction(declaration, dispatch, "", "", &error)) {
            std::fprintf(stderr, "Rule function not declared: %s: %s\n", declaration, error.c_str());
            registered_ = false;  // try again at the next compile
        }
    }
}

std::string TdmScriptExecutor::CompileErrorMessage(const std::string& text, int32_t line, int32_t character) {
    return text + " at " + "Line " + std::to_string(line) + " Char " + std::to_string(character);
}

bool TdmScriptExecutor::Compile(const std::string& script, int32_t& errLine, int32_t& errChar, bool showMessages) {
    lineContent_ = nullptr;
    // Clearing the script and declaring the rule functions again would give it exactly the
    // declarations it has once they are made, at a third of a compile's time; compiling
    // itself replaces the text, the compiled form and the program's variables.
    if (!registered_) {
        fsScript->clear();
        RegisterFunctions();
    }
    fsScript->setText(script);
    fsScript->setParent(&GlobalUnit::standard());
    // The engine resolves every name at compile time, so `line_content` must exist now; a
    // program that declares its own variable of that name gets the lines in that one.
    fsScript->setVariable("line_content", Value(std::string_view()), "Variant");
    if (fsScript->compile()) {
        lastError_.clear();
        lineContent_ = fsScript->findVariable("line_content");
        if (showMessages) tvGn::ShowMsg("Compile completed!", tvMsgInformation, tvBtnOK, 0);
        return true;
    }
    lastError_ = fsScript->errorText();
    // The position comes as "line:col".
    const std::string position = fsScript->errorPos();
    const size_t colon = position.find(':');
    const std::string linePart = position.substr(0, colon);
    const std::string charPart = colon == std::string::npos ? std::string() : position.substr(colon + 1);
    if (showMessages) tv::ShowPlainNotice(lastError_ + " at " + "Line " + linePart + " Char " + charPart);
    errChar = static_cast<int32_t>(std::atoi(charPart.c_str()));
    errLine = static_cast<int32_t>(std::atoi(linePart.c_str()));
    return false;
}

bool TdmScriptExecutor::Execute(const std::string& script, int32_t& errLine, int32_t& errChar, bool showMessages,
                                std::string_view lineContent, bool compileFirst) {
    if (compileFirst && !Compile(script, errLine, errChar, showMessages)) return false;
    try {
        if (lineContent_ == nullptr) throw RuntimeError("The rule is not compiled", 1, 1);
        *lineContent_ = Value(lineContent);
        fsScript->run();
    } catch (const RuntimeError& e) {
        throw RuleRuntimeError(e.what(), e.line(), e.col(), e.aborted());
    }
    return true;
}

void TdmScriptExecutor::AddEvent(const std::string& text) {
    if (Channel == nullptr) return;
    Channel->QueueMessage(text);
    Channel->FlushMessages();
}

Value TdmScriptExecutor::CallMethod(const std::string& name, std::vector<Value>& args) {
    if (name == "MESSAGEDLG"sv) {
        NeedArguments(args, 3, "MessageDlg");
        return library_->MessageDlg(Text(args[0]), args[1].toInt(), args[2].toInt());
    }
    if (name == "SHOWMESSAGE"sv) {
        NeedArguments(args, 1, "ShowMessage");
        library_->ShowMessage(Text(args[0]));
        return Value();
    }
    if (name == "LOGEVENT"sv) {
        NeedArguments(args, 1, "LogEvent");
        library_->LogEvent(Text(args[0]));
        return Value();
    }
    if (name == "SPLIT"sv) {
        NeedArguments(args, 2, "Split");
        if (args[0].isString() && args[1].isString()) return SplitText(args[0].rawString(), args[1].rawString());
        return SplitText(Text(args[0]), Text(args[1]));
    }
    if (name == "WAIT"sv) {
        NeedArguments(args, 1, "Wait");
        library_->Wait(args[0].toInt());
        return Value();
    }
    if (name == "SAVERESULT"sv) {
        NeedArguments(args, 3, "SaveResult");
        return Value(library_->SaveResult(Text(args[0]), args[1], args[2]));
    }
    if (name == "PARSETOFLOAT"sv) {
        NeedArguments(args, 1, "ParseToFloat");
        if (args[0].isString()) return Value(library_->ParseToFloat(args[0].rawString()));
        return Value(library_->ParseToFloat(Text(args[0])));
    }
    if (name == "LOG10"sv) {
        NeedArguments(args, 1, "Log10");
        return Value(library_->Log10(args[0].toDouble()));
    }
    if (name == "POWER"sv) {
        NeedArguments(args, 2, "Power");
        return Value(library_->Power(args[0].toDouble(), args[1].toDouble()));
    }
    throw RuntimeError("Unknown rule function: " + name);
}

void TdmScriptExecutor::fsScriptRunLine(int, int) {
    // Lets the calling thread's pending events be handled. Every statement would make a
    // rule several times slower, so it happens every 256th statement.
    if ((++statementCount_ & 255u) == 0 && QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
}

void TdmScriptExecutor::RequestAbort() { fsScript->requestAbort(); }

bool TdmScriptExecutor::AbortRequested() const { return fsScript->abortRequested(); }
