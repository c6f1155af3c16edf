// Standard functions on variant arrays.
#include "LibSupport.h"

namespace quillon::script {

using namespace lib;

namespace {

const Value& arrayArg(const Value& v, const char* fn) {
    if (!v.isArray()) error(std::string(fn) + " needs an array");
    return v;
}

Value VarArrayCreate(Ctx&, Value* a, size_t) {
    const Value& b = arrayArg(a[0], "VarArrayCreate");
    if (b.size() < 2 || b.size() % 2) error("VarArrayCreate needs bounds [low, high]");
    // [lo1, hi1, lo2, hi2 ...]: an array of arrays for more dimensions
    std::function<Value(size_t)> make = [&](size_t dim) -> Value {
        int64_t lo = b.rawArray().items[dim * 2].toInt(), hi = b.rawArray().items[dim * 2 + 1].toInt();
        if (hi < lo - 1 || uint64_t(hi - lo) >= kMaxArrayItems) error("Array too large");
        Value arr = Value::array(lo, size_t(hi - lo + 1));
        if (dim * 2 + 2 < b.size())
            for (Value& item : arr.mutableArray().items) item = make(dim + 1);
        return arr;
    };
    return make(0);
}

Value VarArrayOf(Ctx&, Value* a, size_t n) {
    // VarArrayOf([a, b]) and VarArrayOf(a, b) both give [a, b]
    if (n == 1 && a[0].isArray()) {
        Value copy = a[0];
        copy.mutableArray().low = 0;
        return copy;
    }
    return Value::arrayOf(std::vector<Value>(a, a + n));
}

const Value& dimension(const Value& v, int64_t dim, const char* fn) {
    const Value* p = &arrayArg(v, fn);
    for (int64_t d = 1; d < dim; ++d) {
        if (p->size() == 0 || !p->rawArray().items[0].isArray()) error(std::string(fn) + ": dimension out of range");
        p = &p->rawArray().items[0];
    }
    if (dim < 1) error(std::string(fn) + ": dimension out of range");
    return *p;
}

Value VarArrayLowBound(Ctx&, Value* a, size_t) { return Value(dimension(a[0], a[1].rawInt(), "VarArrayLowBound").low()); }
Value VarArrayHighBound(Ctx&, Value* a, size_t) { return Value(dimension(a[0], a[1].rawInt(), "VarArrayHighBound").high()); }

Value SetLength(Ctx&, Value* a, size_t) {
    int64_t n = a[1].rawInt();
    if (n < 0) n = 0;
    if (a[0].isString()) {
        if (uint64_t(n) > kMaxStringBytes) error("String too long");
        std::string s(a[0].rawString());
        s.resize(size_t(n), ' ');
        a[0] = Value(s);
        return {};
    }
    if (uint64_t(n) > kMaxArrayItems) error("Array too large (" + std::to_string(n) + " elements)");
    if (!a[0].isArray()) {
        if (!a[0].isEmpty()) error("SetLength needs an array or a string");
        a[0] = Value::array(0, size_t(n));
        return {};
    }
    ArrRep& r = a[0].mutableArray();
    Value zero = r.items.empty() ? Value() : r.items[0];
    // new elements start with the zero of the elements' kind
    switch (zero.type()) {
    case Type::Integer: zero = Value(int64_t(0)); break;
    case Type::Double: zero = Value(0.0); break;
    case Type::String: zero = Value(std::string_view()); break;
    case Type::Boolean: zero = Value(false); break;
    default: zero = Value(); break;
    }
    r.items.resize(size_t(n), zero);
    return {};
}

Value High(Ctx&, Value* a, size_t) {
    if (a[0].isString()) return Value(int64_t(a[0].rawString().size()));
    return Value(arrayArg(a[0], "High").high());
}

Value Low(Ctx&, Value* a, size_t) {
    if (a[0].isString()) return Value(int64_t(1));
    return Value(arrayArg(a[0], "Low").low());
}

}  // namespace

void addArrayFunctions(GlobalUnit& u) {
    const char* c = "Arrays";
    u.addFunction("function VarArrayCreate(const Bounds: array of Integer; VarType: Integer): Variant", c, VarArrayCreate);
    u.addFunction("function VarArrayOf(const Values: array of Variant): Variant", c, VarArrayOf, true);
    u.addFunction("function VarArrayLowBound(const A: Variant; Dim: Integer): Integer", c, VarArrayLowBound);
    u.addFunction("function VarArrayHighBound(const A: Variant; Dim: Integer): Integer", c, VarArrayHighBound);
    u.addFunction("procedure SetLength(var A: Variant; NewLength: Integer)", c, SetLength);
    u.addFunction("function High(const X: Variant): Integer", c, High);
    u.addFunction("function Low(const X: Variant): Integer", c, Low);
}

}  // namespace quillon::script
