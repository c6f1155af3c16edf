#include "GlobalUnit.h"

#include "Compiler.h"

namespace quillon::script {

const GlobalUnit& GlobalUnit::standard() {
    // Built on first use; C++ guarantees one thread builds it while others wait.
    static const GlobalUnit* unit = [] {
        auto* u = new GlobalUnit;  // lives as long as the process: scripts may outlive statics
        addConversionFunctions(*u);
        addStringFunctions(*u);
        addMathFunctions(*u);
        addDateTimeFunctions(*u);
        addArrayFunctions(*u);
        addOtherFunctions(*u);
        return u;
    }();
    return *unit;
}

const FuncDecl* GlobalUnit::findFunction(const std::string& lowerName) const {
    auto it = funcs_.find(lowerName);
    return it == funcs_.end() ? nullptr : it->second.get();
}

const Value* GlobalUnit::findConstant(const std::string& lowerName) const {
    auto it = consts_.find(lowerName);
    return it == consts_.end() ? nullptr : &it->second;
}

void GlobalUnit::addFunction(const char* declaration, const char* category, NativeFn fn, bool variadic,
                             const char* description) {
    auto f = std::make_unique<FuncDecl>();
    buildFuncDecl(declaration, nullptr, *f);
    f->category = category;
    f->description = description;
    f->native = fn;
    f->variadic = variadic;
    if (variadic)  // each argument is one element: no conversion
        for (ParamInfo& p : f->params) p.type = TypeInfo{};
    order_.push_back(f.get());
    funcs_[lowerCase(f->name)] = std::move(f);
}

void GlobalUnit::addConstant(const char* name, Value v) {
    consts_[lowerCase(name)] = v;
    constList_.emplace_back(name, v);
}

}  // namespace quillon::script
