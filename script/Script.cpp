#include "Script.h"

#include <algorithm>
#include <cctype>

#include "Compiler.h"
#include "Nodes.h"
#include "Parser.h"

namespace quillon::script {

namespace {

// Slots of the value stack (frames of routine calls); with the call-depth limit it bounds
// what a runaway recursion may take.
constexpr size_t kStackSlots = 32 * 1024;

std::string trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
    return std::string(s);
}

bool validName(const std::string& n) {
    if (n.empty() || !(std::isalpha(static_cast<unsigned char>(n[0])) || n[0] == '_')) return false;
    for (char c : n)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
    return true;
}

}  // namespace

struct Script::Impl {
    std::string syntaxName = "PascalScript";
    Syntax syntax = Syntax::Pascal;
    std::string text;
    const GlobalUnit* parent = nullptr;
    HostScope host;
    std::unique_ptr<CompiledProgram> program;
    std::string errorText;
    int errorLine = 0, errorCol = 0;
    StatementHook hook;
    std::atomic<bool> abort{false};
    std::unique_ptr<Value[]> stack;
    std::mt19937_64 rng{std::random_device{}()};
    std::function<void(const std::string&)> messageOut;
    bool running = false;

    void prepare(Ctx& c) {
        if (!stack) stack = std::make_unique<Value[]>(kStackSlots);
        c.base = stack.get();
        c.top = stack.get();
        c.end = stack.get() + kStackSlots;
        char here;
        uintptr_t addr = reinterpret_cast<uintptr_t>(&here);
        c.stackLimit = addr > Ctx::kNativeStackBudget ? addr - Ctx::kNativeStackBudget : 0;
        c.hook = hook ? &hook : nullptr;
        c.abort = &abort;
        c.rng = &rng;
        c.messageOut = messageOut ? &messageOut : nullptr;
    }

    bool declareNames(std::string_view typeName, std::string_view names, bool isSet, std::string* error) {
        std::string tn = trim(typeName);
        auto bad = [&](const std::string& why) {
            if (error) *error = why;
            return false;
        };
        if (!validName(tn)) return bad("Invalid type name: '" + tn + "'");
        std::vector<std::string> list;
        size_t start = 0;
        while (start <= names.size()) {
            size_t comma = names.find(',', start);
            if (comma == std::string_view::npos) comma = names.size();
            std::string n = trim(names.substr(start, comma - start));
            if (!validName(n)) return bad("Invalid name in list: '" + n + "'");
            list.push_back(n);
            start = comma + 1;
        }
        if (isSet && list.size() > 63) return bad("Too many names for a set type");
        TypeInfo t;
        t.kind = isSet ? TypeKind::Set : TypeKind::Enum;
        t.name = tn;
        host.types[lowerCase(tn)] = t;
        for (size_t k = 0; k < list.size(); ++k)
        {
            host.constants[lowerCase(list[k])] = Value(isSet ? int64_t(1) << k : int64_t(k));
            host.constantNames[lowerCase(list[k])] = list[k];
        }
        return true;
    }
};

Script::Script() : d_(std::make_unique<Impl>()) {}
Script::~Script() = default;

bool Script::setSyntax(std::string_view name) {
    if (name == "PascalScript") d_->syntax = Syntax::Pascal;
    else if (name == "C++Script") d_->syntax = Syntax::Cpp;
    else if (name == "BasicScript") d_->syntax = Syntax::Basic;
    else return false;
    d_->syntaxName = std::string(name);
    return true;
}

const std::string& Script::syntax() const { return d_->syntaxName; }
void Script::setText(std::string text) { d_->text = std::move(text); }
const std::string& Script::text() const { return d_->text; }

void Script::clear() {
    d_->text.clear();
    d_->program.reset();
    d_->host.functions.clear();
    d_->host.functionOrder.clear();
    d_->host.types.clear();
    d_->host.constants.clear();
    d_->host.constantNames.clear();
    d_->host.variables.clear();
    d_->host.storage.clear();
    d_->errorText.clear();
    d_->errorLine = d_->errorCol = 0;
}

void Script::setParent(const GlobalUnit* unit) { d_->parent = unit; }

bool Script::declareEnum(std::string_view typeName, std::string_view names, std::string* error) {
    return d_->declareNames(typeName, names, false, error);
}

bool Script::declareSet(std::string_view typeName, std::string_view names, std::string* error) {
    return d_->declareNames(typeName, names, true, error);
}

bool Script::declareFunction(std::string_view declaration, HostFunction callback, std::string_view category,
                             std::string_view description, std::string* error) {
    auto f = std::make_unique<FuncDecl>();
    try {
        buildFuncDecl(declaration, &d_->host, *f);
    } catch (const CompileError& e) {
        if (error) *error = e.text + " at " + std::to_string(e.pos.line) + ":" + std::to_string(e.pos.col);
        return false;
    }
    if (!callback) {
        if (error) *error = "No callback for " + f->name;
        return false;
    }
    d_->program.reset();  // a compiled program may point at a function being replaced
    f->host = std::move(callback);
    f->category = std::string(category);
    f->description = std::string(description);
    std::string low = lowerCase(f->name);
    auto& slot = d_->host.functions[low];
    if (slot) {
        auto& order = d_->host.functionOrder;
        order.erase(std::remove(order.begin(), order.end(), slot.get()), order.end());
    }
    d_->host.functionOrder.push_back(f.get());
    slot = std::move(f);
    return true;
}

Value* Script::findVariable(std::string_view name) {
    std::string low = lowerCase(name);
    if (d_->program) {
        auto g = d_->program->globals.find(low);
        if (g != d_->program->globals.end()) return g->second.storage;
    }
    auto v = d_->host.variables.find(low);
    return v != d_->host.variables.end() ? v->second.storage : nullptr;
}

void Script::setVariable(std::string_view name, Value value, std::string_view typeName) {
    std::string low = lowerCase(name);
    if (d_->program) {
        auto g = d_->program->globals.find(low);
        if (g != d_->program->globals.end()) {
            coerce(value, g->second.type);
            *g->second.storage = std::move(value);
            return;
        }
    }
    auto v = d_->host.variables.find(low);
    if (v != d_->host.variables.end()) {
        coerce(value, v->second.type);
        *v->second.storage = std::move(value);
        return;
    }
    TypeInfo t;
    std::string tl = lowerCase(trim(typeName));
    if (!builtinType(tl, t)) {
        auto ht = d_->host.types.find(tl);
        if (ht != d_->host.types.end()) t = ht->second;
    }
    coerce(value, t);
    d_->host.storage.push_back(std::move(value));
    d_->host.variables[low] = HostScope::Var{std::string(name), t, &d_->host.storage.back()};
}

bool Script::compile() {
    d_->program.reset();
    d_->errorText.clear();
    d_->errorLine = d_->errorCol = 0;
    try {
        ast::Program prog;
        switch (d_->syntax) {
        case Syntax::Pascal: prog = parsePascal(d_->text); break;
        case Syntax::Cpp: {
            std::vector<std::string> types;
            for (auto& [name, t] : d_->host.types) types.push_back(name);
            prog = parseCpp(d_->text, types);
            break;
        }
        case Syntax::Basic: prog = parseBasic(d_->text); break;
        }
        CompileEvaluator eval = [this](const ExprNode& e) {
            Ctx c;
            d_->prepare(c);
            c.hook = nullptr;
            return e.eval(c);
        };
        d_->program = compileProgram(prog, d_->syntax, d_->host, d_->parent, eval);
        return true;
    } catch (const CompileError& e) {
        d_->errorText = e.text;
        d_->errorLine = std::max(1, e.pos.line);
        d_->errorCol = std::max(1, e.pos.col);
    } catch (const std::bad_alloc&) {
        d_->errorText = "Out of memory";
        d_->errorLine = d_->errorCol = 1;
    }
    d_->program.reset();
    return false;
}

bool Script::compiled() const { return d_->program != nullptr; }
const std::string& Script::errorText() const { return d_->errorText; }
int Script::errorLine() const { return d_->errorLine; }
int Script::errorCol() const { return d_->errorCol; }
std::string Script::errorPos() const { return std::to_string(d_->errorLine) + ":" + std::to_string(d_->errorCol); }

void Script::run() {
    if (!d_->program) throw RuntimeError("The script is not compiled", 1, 1);
    if (d_->running) throw RuntimeError("The script is already running", 1, 1);
    Ctx c;
    d_->prepare(c);
    RoutineInfo& main = d_->program->main;
    const size_t n = main.frameSize();
    for (size_t k = 0; k < n; ++k) c.base[k] = main.init[k];
    c.top = c.base + n;
    d_->running = true;
    struct Done {
        Impl& d;
        Value* frame;
        size_t n;
        ~Done() {
            for (size_t k = 0; k < n; ++k) frame[k] = Value();
            d.running = false;
        }
    } done{*d_, c.base, n};
    try {
        if (d_->abort.load(std::memory_order_relaxed)) throw RuntimeError("Script aborted", 1, 1, true);
        main.body->exec(c);
    } catch (RuntimeError& e) {
        placeError(e, c);
        if (!e.hasPosition()) e.setPosition(1, 1);
        throw;
    } catch (const std::bad_alloc&) {
        throw RuntimeError("Out of memory", c.cur ? c.cur->line : 1, c.cur ? c.cur->col : 1);
    } catch (const std::exception& ex) {
        throw RuntimeError(ex.what(), c.cur ? c.cur->line : 1, c.cur ? c.cur->col : 1);
    }
}

void Script::setStatementHook(StatementHook hook) { d_->hook = std::move(hook); }
void Script::requestAbort() { d_->abort.store(true); }
void Script::clearAbort() { d_->abort.store(false); }
bool Script::abortRequested() const { return d_->abort.load(); }
void Script::setMessageOutput(std::function<void(const std::string&)> out) { d_->messageOut = std::move(out); }

std::vector<CatalogueEntry> unitCatalogue(const GlobalUnit& unit) {
    std::vector<CatalogueEntry> out;
    for (const FuncDecl* f : unit.functions())
        out.push_back({"function", f->name, f->category, f->declaration, f->description});
    for (auto& [name, v] : unit.constants())
        out.push_back({"constant", name, "Constants", name + " = " + v.toString(), {}});
    return out;
}

std::vector<CatalogueEntry> Script::catalogue() const {
    std::vector<CatalogueEntry> out;
    for (const FuncDecl* f : d_->host.functionOrder)
        out.push_back({"function", f->name, f->category, f->declaration, f->description});
    for (auto& [low, t] : d_->host.types) out.push_back({"type", t.name, {}, t.name, {}});
    for (auto& [low, v] : d_->host.constants) {
        const std::string& name = d_->host.constantNames[low];
        out.push_back({"constant", name, {}, name + " = " + v.toString(), {}});
    }
    for (auto& [low, v] : d_->host.variables)
        out.push_back({"variable", v.name, {}, v.name + ": " + v.type.display(), {}});
    if (d_->parent) {
        auto std = unitCatalogue(*d_->parent);
        for (auto& e : std) {
            // hidden by a host function of the same name
            if (e.kind == "function" && d_->host.functions.count(lowerCase(e.name))) continue;
            out.push_back(std::move(e));
        }
    }
    return out;
}

}  // namespace quillon::script
