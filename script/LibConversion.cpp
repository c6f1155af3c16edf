// Standard functions: conversions between texts, numbers and variants.
#include <cmath>
#include <cstdio>

#include "LibSupport.h"

namespace quillon::script {

using namespace lib;

namespace {

std::string quoted(std::string_view s) { return "'" + std::string(s.substr(0, 200)) + "'"; }

bool toInteger(std::string_view s, int64_t& out) {
    Value v;
    if (!parseNumber(s, v) || !v.isInt()) return false;
    out = v.rawInt();
    return true;
}

bool toFloat(std::string_view s, double& out) {
    Value v;
    if (!parseNumber(s, v)) return false;
    out = v.isInt() ? double(v.rawInt()) : v.rawDouble();
    return true;
}

Value IntToStr(Ctx&, Value* a, size_t) { return Value(std::to_string(a[0].rawInt())); }

Value StrToInt(Ctx&, Value* a, size_t) {
    int64_t v;
    if (!toInteger(view(a[0]), v)) error(quoted(view(a[0])) + " is not a valid integer value");
    return Value(v);
}

Value StrToIntDef(Ctx&, Value* a, size_t) {
    int64_t v;
    return toInteger(view(a[0]), v) ? Value(v) : a[1];
}

Value FloatToStr(Ctx&, Value* a, size_t) { return Value(formatDouble(a[0].rawDouble())); }

Value StrToFloat(Ctx&, Value* a, size_t) {
    double d;
    if (!toFloat(view(a[0]), d)) error(quoted(view(a[0])) + " is not a valid floating point value");
    return Value(d);
}

Value StrToFloatDef(Ctx&, Value* a, size_t) {
    double d;
    return toFloat(view(a[0]), d) ? Value(d) : a[1];
}

Value BoolToStr(Ctx&, Value* a, size_t) { return Value(a[0].rawBool() ? "True" : "False"); }

Value VarToStr(Ctx&, Value* a, size_t) {
    if (a[0].isArray()) error("Type mismatch: an array has no text");
    return Value(a[0].toString());
}

Value IntToHex(Ctx&, Value* a, size_t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(a[0].rawInt()));
    std::string s = buf;
    int64_t digits = std::min<int64_t>(a[1].rawInt(), 64);
    if (int64_t(s.size()) < digits) s.insert(0, size_t(digits) - s.size(), '0');
    return Value(s);
}

Value Chr(Ctx&, Value* a, size_t) {
    int64_t c = a[0].rawInt();
    if (c < 0 || c > 255) error("Character code " + std::to_string(c) + " out of range 0..255");
    return Value(std::string(1, char(c)));
}

Value Ord(Ctx&, Value* a, size_t) {
    const Value& v = a[0];
    if (v.isString()) {
        if (v.rawString().size() != 1) error("Ord needs a single character, got " + quoted(v.rawString()));
        return Value(int64_t(static_cast<unsigned char>(v.rawString()[0])));
    }
    if (v.isBool()) return Value(int64_t(v.rawBool()));
    return Value(v.toInt());
}

double finite(const Value& v, const char* fn) {
    double d = v.rawDouble();
    if (!std::isfinite(d)) error(std::string("Invalid argument to ") + fn);
    return d;
}

Value Round(Ctx&, Value* a, size_t) {
    double d = finite(a[0], "Round");
    if (std::fabs(d) >= 9.2e18) error("Integer overflow in Round");
    return Value(int64_t(std::nearbyint(d)));
}

Value Trunc(Ctx&, Value* a, size_t) {
    double d = finite(a[0], "Trunc");
    if (std::fabs(d) >= 9.2e18) error("Integer overflow in Trunc");
    return Value(int64_t(std::trunc(d)));
}

Value Int(Ctx&, Value* a, size_t) { return Value(std::trunc(a[0].rawDouble())); }
Value Frac(Ctx&, Value* a, size_t) { return Value(a[0].rawDouble() - std::trunc(a[0].rawDouble())); }

Value VarType(Ctx&, Value* a, size_t) {
    switch (a[0].type()) {
    case Type::Empty: return Value(int64_t(0));
    case Type::Null: return Value(int64_t(1));
    case Type::Boolean: return Value(int64_t(11));
    case Type::Integer: return Value(int64_t(20));
    case Type::Double: return Value(int64_t(5));
    case Type::DateTime: return Value(int64_t(7));
    case Type::String: return Value(int64_t(256));
    case Type::Array: return Value(int64_t(0x2000 | 12));
    case Type::Ref: break;
    }
    return Value(int64_t(0));
}

Value VarIsNull(Ctx&, Value* a, size_t) { return Value(a[0].isNull()); }
Value VarIsEmpty(Ctx&, Value* a, size_t) { return Value(a[0].isEmpty()); }
Value VarIsArray(Ctx&, Value* a, size_t) { return Value(a[0].isArray()); }

}  // namespace

void addConversionFunctions(GlobalUnit& u) {
    const char* c = "Conversion";
    u.addFunction("function IntToStr(i: Int64): string", c, IntToStr);
    u.addFunction("function StrToInt(const s: string): Int64", c, StrToInt);
    u.addFunction("function StrToIntDef(const s: string; Default: Int64): Int64", c, StrToIntDef);
    u.addFunction("function FloatToStr(e: Extended): string", c, FloatToStr);
    u.addFunction("function StrToFloat(const s: string): Extended", c, StrToFloat);
    u.addFunction("function StrToFloatDef(const s: string; Default: Extended): Extended", c, StrToFloatDef);
    u.addFunction("function BoolToStr(b: Boolean): string", c, BoolToStr);
    u.addFunction("function VarToStr(v: Variant): string", c, VarToStr);
    u.addFunction("function IntToHex(Value: Int64; Digits: Integer): string", c, IntToHex);
    u.addFunction("function Chr(i: Integer): Char", c, Chr);
    u.addFunction("function Ord(c: Variant): Integer", c, Ord);
    u.addFunction("function Round(e: Extended): Int64", c, Round, false, "rounds half to even");
    u.addFunction("function Trunc(e: Extended): Int64", c, Trunc);
    u.addFunction("function Int(e: Extended): Extended", c, Int);
    u.addFunction("function Frac(e: Extended): Extended", c, Frac);
    u.addFunction("function VarType(v: Variant): Integer", c, VarType);
    u.addFunction("function VarIsNull(v: Variant): Boolean", c, VarIsNull);
    u.addFunction("function VarIsEmpty(v: Variant): Boolean", c, VarIsEmpty);
    u.addFunction("function VarIsArray(v: Variant): Boolean", c, VarIsArray);
    static const std::pair<const char*, int64_t> vars[] = {
        {"varEmpty", 0},    {"varNull", 1},     {"varSmallint", 2}, {"varInteger", 3},  {"varSingle", 4},
        {"varDouble", 5},   {"varCurrency", 6}, {"varDate", 7},     {"varOleStr", 8},   {"varBoolean", 11},
        {"varVariant", 12}, {"varByte", 17},    {"varInt64", 20},   {"varString", 256}, {"varArray", 0x2000},
    };
    for (auto& [name, v] : vars) u.addConstant(name, Value(v));
}

}  // namespace quillon::script
