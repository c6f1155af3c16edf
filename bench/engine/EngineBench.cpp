// Figures of the rule engine on the demo rule: compile time, and time per line with cheap
// host functions (the engine's own share: calls, array constructors, indexing, copies) and
// with host functions doing the real parsing work, beside the same work in Lua 5.4.
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "Script.h"

using namespace quillon::script;
using Clock = std::chrono::steady_clock;

namespace {

const char* kPascal =
    "var parts: Variant;\n"
    "begin\n"
    "  parts := Split(line_content, ';');\n"
    "  SaveResult('MEASUREMENT', ['MEASURED_AT', 'CHANNEL', 'FREQUENCY_HZ', 'LEVEL_DBM', 'SUPPLY_V'],\n"
    "    [parts[0], parts[1], ParseToFloat(parts[2]), ParseToFloat(parts[3]), ParseToFloat(parts[4])]);\n"
    "end.\n";
const char* kCpp =
    "Variant parts;\n"
    "{\n"
    "  parts = Split(line_content, \";\");\n"
    "  SaveResult(\"MEASUREMENT\", [\"MEASURED_AT\", \"CHANNEL\", \"FREQUENCY_HZ\", \"LEVEL_DBM\", \"SUPPLY_V\"],\n"
    "    [parts[0], parts[1], ParseToFloat(parts[2]), ParseToFloat(parts[3]), ParseToFloat(parts[4])]);\n"
    "}\n";
const char* kBasic =
    "Dim parts\n"
    "parts = Split(line_content, \";\")\n"
    "SaveResult \"MEASUREMENT\", [\"MEASURED_AT\", \"CHANNEL\", \"FREQUENCY_HZ\", \"LEVEL_DBM\", \"SUPPLY_V\"], _\n"
    "  [parts(0), parts(1), ParseToFloat(parts(2)), ParseToFloat(parts(3)), ParseToFloat(parts(4))]\n";

std::string Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return std::string(s);
}

// The unit and prefix parse, written plainly (the same steps as demo.lua).
double ParseToFloat(const std::string& in) {
    std::string s = Trim(in);
    for (const char* unit : {"Hz", "dB", "dbm", "dBc", "s"}) {
        size_t n = std::strlen(unit);
        for (size_t p; (p = s.find(unit)) != std::string::npos;) s.erase(p, n);
    }
    if (!s.empty() && s.back() == 'V') s.pop_back();
    s = Trim(s);
    double mult = 1;
    if (!s.empty()) {
        switch (s.back()) {
        case 'G': mult = 1e9; break;
        case 'M': mult = 1e6; break;
        case 'k': mult = 1e3; break;
        case 'c': mult = 1e-2; break;
        case 'm': mult = 1e-3; break;
        case 'u': mult = 1e-6; break;
        case 'n': mult = 1e-9; break;
        }
        if (mult != 1) s.pop_back();
    }
    double v = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() ? v * mult : 0;
}

long saved = 0;

void Declare(Script& s, bool realWork) {
    s.setParent(&GlobalUnit::standard());
    s.declareFunction("function Split(const str: string; const separator: string = ','): Variant",
                      [](const std::string&, std::vector<Value>& a) {
                          std::string_view text = a[0].rawString(), sep = a[1].rawString();
                          std::vector<Value> parts;
                          parts.reserve(8);
                          size_t start = 0;
                          for (size_t p; !sep.empty() && (p = text.find(sep, start)) != std::string_view::npos;
                               start = p + sep.size())
                              parts.emplace_back(text.substr(start, p - start));
                          parts.emplace_back(text.substr(start));
                          return Value::arrayOf(std::move(parts));
                      });
    s.declareFunction("function ParseToFloat(strInput: string): double", [realWork](const std::string&, std::vector<Value>& a) {
        return realWork ? Value(ParseToFloat(std::string(a[0].rawString()))) : Value(1.0);
    });
    s.declareFunction("function SaveResult(strTable: string; arResultNames: variant; arResultValues: variant): boolean",
                      [realWork](const std::string&, std::vector<Value>& a) {
                          if (a[1].low() != a[2].low() || a[1].high() != a[2].high()) return Value(false);
                          if (realWork) {
                              // the texts the database would get
                              for (const Value& v : a[2].rawArray().items) saved += long(v.toString().size());
                          }
                          ++saved;
                          return Value(true);
                      });
    s.setVariable("line_content", Value(""));
}

std::vector<std::string> MakeLines(size_t n) {
    std::vector<std::string> lines;
    lines.reserve(n);
    char buf[128];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "2026-12-11 10:%02zu:%02zu;CH%02zu;%zu.%zuGHz;-%zudbm;%zu V", i / 60 % 60, i % 60,
                      i % 16, 1 + i % 5, i % 10, 30 + i % 40, 5 + i % 20);
        lines.emplace_back(buf);
    }
    return lines;
}

double PerLineNs(const char* syntax, const char* text, const std::vector<std::string>& lines, bool realWork) {
    Script s;
    s.setSyntax(syntax);
    Declare(s, realWork);
    s.setText(text);
    if (!s.compile()) {
        std::fprintf(stderr, "%s: %s at %s\n", syntax, s.errorText().c_str(), s.errorPos().c_str());
        std::exit(1);
    }
    Value* line = s.findVariable("line_content");
    auto t0 = Clock::now();
    for (const std::string& l : lines) {
        *line = Value(l);
        s.run();
    }
    return std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / double(lines.size());
}

double CompileUs(const char* syntax, const char* text) {
    Script s;
    s.setSyntax(syntax);
    Declare(s, true);
    s.setText(text);
    const int n = 2000;
    auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) s.compile();
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / n;
}

double LuaNs(const std::vector<std::string>& lines) {
    std::string path = "/tmp/quillon-bench-lines.txt";
    {
        std::ofstream f(path);
        for (auto& l : lines) f << l << '\n';
    }
    std::string cmd = std::string("lua5.4 ") + QUILLON_BENCH_DIR + "/demo.lua " + path + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[64] = {0};
    bool ok = std::fgets(buf, sizeof buf, p) != nullptr;
    pclose(p);
    std::remove(path.c_str());
    return ok ? std::atof(buf) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    size_t n = argc > 1 ? size_t(std::atol(argv[1])) : 200000;
    std::vector<std::string> lines = MakeLines(n);
    double lua = LuaNs(lines);
    std::printf("demo rule over %zu lines\n", n);
    if (lua > 0) std::printf("  Lua 5.4, same work:                 %8.1f ns/line\n", lua);
    else std::printf("  Lua 5.4 not available (lua5.4)\n");
    struct {
        const char* name;
        const char* syntax;
        const char* text;
    } rules[] = {{"Pascal", "PascalScript", kPascal}, {"C++", "C++Script", kCpp}, {"Basic", "BasicScript", kBasic}};
    for (auto& r : rules) {
        double engine = PerLineNs(r.syntax, r.text, lines, false);
        double real = PerLineNs(r.syntax, r.text, lines, true);
        std::printf("  %-6s compile %6.1f us | engine share %7.1f ns/line | with real host work %7.1f ns/line%s\n", r.name,
                    CompileUs(r.syntax, r.text), engine, real,
                    lua > 0 ? (" (" + std::to_string(int(std::lround(100 * real / lua))) + "% of Lua)").c_str() : "");
    }
    return saved > 0 ? 0 : 1;
}
