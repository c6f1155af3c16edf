#include "RuleTools.h"

#include <QFile>
#include <iostream>
#include <ostream>

#include "JsonLines.h"
#include "ScriptExecutor.h"
#include "TextFileLines.h"

namespace {

// The channel of a dry run: monitor messages become event lines, message boxes lines on
// standard error. It is never asked to stop.
class DryRunChannel : public ExecutorChannel {
public:
    DryRunChannel(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    void QueueMessage(const std::string& text) override { pending_.push_back(text); }
    void FlushMessages() override {
        for (const std::string& text : pending_) out_ << JsonEventLine(text) << '\n';
        pending_.clear();
    }
    void ShowMessageOnMain(const std::string& text) override { err_ << text << std::endl; }
    bool StopRequested() const override { return false; }

private:
    std::ostream& out_;
    std::ostream& err_;
    std::vector<std::string> pending_;
};

// The repository of a dry run: every row becomes a row line.
class RowPrinter : public ResultWriter {
public:
    explicit RowPrinter(std::ostream& out) : out_(out) {}
    bool WriteRow(const std::string& table, const std::vector<std::string>& names,
                  const std::vector<std::string>& values) override {
        out_ << JsonRowLine(table, names, values) << '\n';
        return true;
    }

private:
    std::ostream& out_;
};

// The rule text of `path` as a channel loads it; false after telling `err` why not.
bool LoadRule(const std::string& path, std::string& text, std::ostream& err) {
    std::string content, error;
    if (!ReadWholeFile(path, content, error)) {
        err << "Cannot read the rule file \"" << path << "\": " << error << std::endl;
        return false;
    }
    text = RuleTextFromLines(SplitTextLines(content));
    if (text.empty()) {
        err << "Rule File '" << path << "' is empty!" << std::endl;
        return false;
    }
    return true;
}

void SelectSyntax(TdmScriptExecutor& executor, const std::string& path, std::ostream& err) {
    if (!executor.SetSyntaxFromRuleFile(path))
        err << "Note: the extension of \"" << path << "\" selects no syntax (.arp, .arc, .arb are known, "
            << "letter case included); compiled as " << executor.SyntaxType() << "." << std::endl;
}

std::string LocalPath(const QString& argument) { return QFile::encodeName(argument).toStdString(); }

}  // namespace

int CheckRule(const std::string& ruleFile, std::ostream& out, std::ostream& err) {
    std::string text;
    if (!LoadRule(ruleFile, text, err)) return 1;
    TdmScriptExecutor executor;
    executor.Init(-1, nullptr);
    SelectSyntax(executor, ruleFile, err);
    int32_t line = 0, character = 0;
    if (executor.Compile(text, line, character, false)) {
        out << "Compile completed!" << std::endl;
        return 0;
    }
    out << TdmScriptExecutor::CompileErrorMessage(executor.LastError(), line, character) << std::endl;
    return 1;
}

int DryRun(const std::string& ruleFile, const std::vector<std::string>& inputFiles, std::ostream& out,
           std::ostream& err) {
    std::string text;
    if (!LoadRule(ruleFile, text, err)) return 1;
    DryRunChannel channel(out, err);
    RowPrinter printer(out);
    TdmScriptExecutor executor;
    executor.Init(-1, &channel);
    executor.SetResultWriter(&printer);
    SelectSyntax(executor, ruleFile, err);

    int32_t line = 0, character = 0;
    if (!executor.Compile(text, line, character, false)) {
        out << JsonErrorLine(executor.LastError(), line, character) << std::endl;
        return 1;
    }
    for (const std::string& input : inputFiles) {
        std::string content, error;
        if (!ReadWholeFile(input, content, error)) {
            out.flush();
            err << "Cannot read the input file \"" << input << "\": " << error << std::endl;
            return 1;
        }
        bool compileFirst = true;
        for (const std::string& lineContent : SplitTextLines(content)) {
            if (lineContent.empty()) continue;
            try {
                if (!executor.Execute(text, line, character, false, lineContent, compileFirst)) {
                    out << JsonErrorLine(executor.LastError(), line, character) << std::endl;
                    return 1;
                }
            } catch (const RuleRuntimeError& e) {
                out << JsonErrorLine(e.what(), e.Line(), e.Char()) << std::endl;
                return 1;
            }
            compileFirst = false;
        }
    }
    out.flush();
    return 0;
}

int RunCheckRule(const QStringList& arguments) { return CheckRule(LocalPath(arguments.value(0)), std::cout, std::cerr); }

int RunDryRun(const QStringList& arguments) {
    return DryRun(LocalPath(arguments.value(0)), {LocalPath(arguments.value(1))}, std::cout, std::cerr);
}
