// Standard mathematical functions.
#include <cmath>

#include "LibSupport.h"
#include "Operators.h"

namespace quillon::script {

using namespace lib;

namespace {

double checked(double r, const char* fn) {
    if (std::isnan(r)) error(std::string("Invalid argument to ") + fn);
    return r;
}

Value Abs(Ctx&, Value* a, size_t) {
    Value n = a[0].toNumber();
    if (n.isNull()) return n;
    if (n.isInt()) return Value(n.rawInt() < 0 ? int64_t(0 - uint64_t(n.rawInt())) : n.rawInt());
    return Value(std::fabs(n.rawDouble()));
}
Value Sqrt(Ctx&, Value* a, size_t) { return Value(checked(std::sqrt(a[0].rawDouble()), "Sqrt")); }
Value Sqr(Ctx&, Value* a, size_t) { return opMul(a[0], a[0]); }
Value Exp(Ctx&, Value* a, size_t) { return Value(std::exp(a[0].rawDouble())); }
Value Ln(Ctx&, Value* a, size_t) {
    if (a[0].rawDouble() <= 0) error("Invalid argument to Ln");
    return Value(std::log(a[0].rawDouble()));
}
Value Sin(Ctx&, Value* a, size_t) { return Value(std::sin(a[0].rawDouble())); }
Value Cos(Ctx&, Value* a, size_t) { return Value(std::cos(a[0].rawDouble())); }
Value Tan(Ctx&, Value* a, size_t) { return Value(std::tan(a[0].rawDouble())); }
Value ArcTan(Ctx&, Value* a, size_t) { return Value(std::atan(a[0].rawDouble())); }
Value Pi(Ctx&, Value*, size_t) { return Value(3.14159265358979323846); }
Value Min(Ctx&, Value* a, size_t) { return compareOp(Cmp::Le, a[0], a[1]) ? a[0] : a[1]; }
Value Max(Ctx&, Value* a, size_t) { return compareOp(Cmp::Ge, a[0], a[1]) ? a[0] : a[1]; }

Value Random(Ctx& c, Value* a, size_t) {
    int64_t range = a[0].rawInt();
    if (range <= 0) return Value(std::uniform_real_distribution<double>(0.0, 1.0)(*c.rng));
    return Value(std::uniform_int_distribution<int64_t>(0, range - 1)(*c.rng));
}
Value Randomize(Ctx& c, Value*, size_t) {
    c.rng->seed(std::random_device{}());
    return {};
}
Value Odd(Ctx&, Value* a, size_t) { return Value((a[0].rawInt() & 1) != 0); }
Value Inc(Ctx&, Value* a, size_t) {
    a[0] = opAdd(a[0].isEmpty() ? Value(int64_t(0)) : a[0], a[1]);
    return {};
}
Value Dec(Ctx&, Value* a, size_t) {
    a[0] = opSub(a[0].isEmpty() ? Value(int64_t(0)) : a[0], a[1]);
    return {};
}

}  // namespace

void addMathFunctions(GlobalUnit& u) {
    const char* c = "Math";
    u.addFunction("function Abs(e: Variant): Variant", c, Abs);
    u.addFunction("function Sqrt(e: Extended): Extended", c, Sqrt);
    u.addFunction("function Sqr(e: Variant): Variant", c, Sqr);
    u.addFunction("function Exp(e: Extended): Extended", c, Exp);
    u.addFunction("function Ln(e: Extended): Extended", c, Ln);
    u.addFunction("function Sin(e: Extended): Extended", c, Sin);
    u.addFunction("function Cos(e: Extended): Extended", c, Cos);
    u.addFunction("function Tan(e: Extended): Extended", c, Tan);
    u.addFunction("function ArcTan(X: Extended): Extended", c, ArcTan);
    u.addFunction("function Pi: Extended", c, Pi);
    u.addFunction("function Min(A, B: Variant): Variant", c, Min);
    u.addFunction("function Max(A, B: Variant): Variant", c, Max);
    u.addFunction("function Random(Range: Integer = 0): Variant", c, Random, false,
                  "without a range a Double in [0, 1), else an Integer in [0, Range)");
    u.addFunction("procedure Randomize", c, Randomize);
    u.addFunction("function Odd(X: Int64): Boolean", c, Odd);
    u.addFunction("procedure Inc(var X: Variant; N: Int64 = 1)", c, Inc);
    u.addFunction("procedure Dec(var X: Variant; N: Int64 = 1)", c, Dec);
}

}  // namespace quillon::script
