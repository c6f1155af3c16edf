// The global unit: the engine's standard functions and constants, the parent scope of
// every script. It is built once per process on first use (thread-safe) and only read
// afterwards, so any number of scripts on any threads may share it.
#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Runtime.h"

namespace quillon::script {

class GlobalUnit {
public:
    // The shared unit with the standard library.
    static const GlobalUnit& standard();

    const FuncDecl* findFunction(const std::string& lowerName) const;
    const Value* findConstant(const std::string& lowerName) const;
    const std::vector<const FuncDecl*>& functions() const { return order_; }
    const std::vector<std::pair<std::string, Value>>& constants() const { return constList_; }

    // Building (only while the unit is made).
    void addFunction(const char* declaration, const char* category, NativeFn fn, bool variadic = false,
                     const char* description = "");
    void addConstant(const char* name, Value v);

    GlobalUnit() = default;
    GlobalUnit(const GlobalUnit&) = delete;
    GlobalUnit& operator=(const GlobalUnit&) = delete;

private:
    std::unordered_map<std::string, std::unique_ptr<FuncDecl>> funcs_;
    std::vector<const FuncDecl*> order_;
    std::unordered_map<std::string, Value> consts_;
    std::vector<std::pair<std::string, Value>> constList_;
};

// The parts of the standard library, one per category (Lib*.cpp).
void addConversionFunctions(GlobalUnit& u);
void addStringFunctions(GlobalUnit& u);
void addMathFunctions(GlobalUnit& u);
void addDateTimeFunctions(GlobalUnit& u);
void addArrayFunctions(GlobalUnit& u);
void addOtherFunctions(GlobalUnit& u);

}  // namespace quillon::script
