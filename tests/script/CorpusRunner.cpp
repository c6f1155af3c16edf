#include "CorpusRunner.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "Script.h"

namespace corpus {

using quillon::script::GlobalUnit;
using quillon::script::RuntimeError;
using quillon::script::Script;
using quillon::script::Value;

std::string SyntaxOf(const std::string& path) {
    auto ends = [&](const char* e) { return path.size() > 4 && path.compare(path.size() - 4, 4, e) == 0; };
    if (ends(".arp")) return "PascalScript";
    if (ends(".arc")) return "C++Script";
    if (ends(".arb")) return "BasicScript";
    return {};
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream f(path, std::ios::binary);
    std::string line;
    while (std::getline(f, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

namespace {

// The test host: the functions every corpus program may call.
void DeclareHost(Script& s, std::vector<std::string>& out) {
    s.setParent(&GlobalUnit::standard());
    s.declareEnum("TMsgDlgType", "mtCustom, mtInformation, mtWarning, mtError, mtConfirmation");
    s.declareSet("TMsgDlgButtons", "mbNone, mbOk, mbCancel, mbYes, mbNo, mbAbort, mbRetry, mbIgnore");
    s.declareFunction("procedure LogEvent(const str: string)", [&out](const std::string&, std::vector<Value>& a) {
        out.push_back(a[0].toString());
        return Value();
    });
    s.declareFunction("function Split(const str: string; const separator: string = ','): Variant",
                      [](const std::string&, std::vector<Value>& a) {
                          std::string text = a[0].toString(), sep = a[1].toString();
                          std::vector<Value> parts;
                          size_t start = 0;
                          if (!sep.empty()) {
                              for (size_t p; (p = text.find(sep, start)) != std::string::npos; start = p + sep.size())
                                  parts.emplace_back(text.substr(start, p - start));
                          }
                          parts.emplace_back(text.substr(start));
                          return Value::arrayOf(std::move(parts));
                      });
    s.declareFunction("function ButtonsValue(Buttons: TMsgDlgButtons): Integer",
                      [](const std::string&, std::vector<Value>& a) { return a[0]; });
    s.declareFunction("function HostName(x: Variant; y: Integer = 7): string",
                      [](const std::string& name, std::vector<Value>& a) {
                          return Value(name + "/" + std::to_string(a.size()) + "/" + a[1].toString());
                      });
    s.declareFunction("procedure HostFail(const msg: string)", [](const std::string&, std::vector<Value>& a) -> Value {
        throw std::runtime_error(a[0].toString());
    });
    s.declareFunction("procedure ShowMessage(const str: string)", [&out](const std::string& name, std::vector<Value>& a) {
        out.push_back(name + ": " + a[0].toString());
        return Value();
    });
    s.setVariable("line_content", Value(""));
    s.setMessageOutput([&out](const std::string& text) { out.push_back("MESSAGE: " + text); });
}

}  // namespace

std::vector<std::string> Run(const std::string& programPath, const std::string& inputPath) {
    std::vector<std::string> inputs;
    if (!inputPath.empty()) {
        for (const std::string& line : ReadLines(inputPath))
            if (!line.empty()) inputs.push_back(line);
    }
    return RunText(SyntaxOf(programPath), ReadFile(programPath), inputs);
}

void DeclareTestHost(Script& s, std::vector<std::string>& out) { DeclareHost(s, out); }

std::vector<std::string> RunText(const std::string& syntax, const std::string& text, const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    Script s;
    s.setSyntax(syntax);
    DeclareHost(s, out);
    s.setText(text);
    auto compile = [&] {
        if (s.compile()) return true;
        out.push_back("compile error: " + s.errorText() + " at " + s.errorPos());
        return false;
    };
    if (!compile()) return out;
    std::vector<std::string> inputs = lines;
    if (inputs.empty()) inputs.push_back("");
    for (const std::string& line : inputs) {
        if (line == "#compile") {
            if (!compile()) return out;
            continue;
        }
        *s.findVariable("line_content") = Value(line);
        try {
            s.run();
        } catch (const RuntimeError& e) {
            out.push_back("error: " + std::string(e.what()) + " at " + e.position());
            return out;
        }
    }
    return out;
}

}  // namespace corpus
