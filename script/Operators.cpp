#include "Operators.h"

#include <cmath>

namespace quillon::script {

namespace {

[[noreturn]] void arrayMismatch() { throw RuntimeError("Type mismatch: an array cannot take part in this operation"); }
[[noreturn]] void divZero() { throw RuntimeError("Division by zero"); }

bool anyNull(const Value& a, const Value& b) { return a.isNull() || b.isNull(); }
void noArrays(const Value& a, const Value& b) {
    if (a.isArray() || b.isArray()) arrayMismatch();
}

int64_t wrapAdd(int64_t x, int64_t y) { return int64_t(uint64_t(x) + uint64_t(y)); }
int64_t wrapSub(int64_t x, int64_t y) { return int64_t(uint64_t(x) - uint64_t(y)); }
int64_t wrapMul(int64_t x, int64_t y) { return int64_t(uint64_t(x) * uint64_t(y)); }

double asDouble(const Value& n) { return n.isInt() ? double(n.rawInt()) : n.rawDouble(); }

// Both operands as numbers (Integer or Double).
template <class IntF, class DblF>
Value arith(const Value& a, const Value& b, IntF fi, DblF fd) {
    if (anyNull(a, b)) return Value::null();
    noArrays(a, b);
    Value x = a.toNumber(), y = b.toNumber();
    if (x.isInt() && y.isInt()) return fi(x.rawInt(), y.rawInt());
    return fd(asDouble(x), asDouble(y));
}

Value intDiv(int64_t x, int64_t y) {
    if (y == 0) divZero();
    if (y == -1) return Value(wrapSub(0, x));  // INT64_MIN div -1 wraps instead of trapping
    return Value(x / y);
}
Value intMod(int64_t x, int64_t y) {
    if (y == 0) divZero();
    if (y == -1) return Value(int64_t(0));
    return Value(x % y);
}

template <class F>
Value bitwise(const Value& a, const Value& b, F f) {
    if (anyNull(a, b)) return Value::null();
    noArrays(a, b);
    if (a.isBool() && b.isBool()) return Value(bool(f(int64_t(a.rawBool()), int64_t(b.rawBool()))));
    return Value(f(a.toInt(), b.toInt()));
}

}  // namespace

Value opAddSlow(const Value& a, const Value& b) {
    if (a.isString() && b.isString()) {
        std::string_view x = a.rawString(), y = b.rawString();
        if (x.empty()) return b;
        if (y.empty()) return a;
        return Value::concat(x, y);
    }
    if ((a.isString() && b.isEmpty())) return a;
    if ((b.isString() && a.isEmpty())) return b;
    return arith(a, b, [](int64_t x, int64_t y) { return Value(wrapAdd(x, y)); },
                 [](double x, double y) { return Value(x + y); });
}

Value opSub(const Value& a, const Value& b) {
    if (a.isInt() && b.isInt()) return Value(wrapSub(a.rawInt(), b.rawInt()));
    return arith(a, b, [](int64_t x, int64_t y) { return Value(wrapSub(x, y)); },
                 [](double x, double y) { return Value(x - y); });
}

Value opMul(const Value& a, const Value& b) {
    if (a.isInt() && b.isInt()) return Value(wrapMul(a.rawInt(), b.rawInt()));
    return arith(a, b, [](int64_t x, int64_t y) { return Value(wrapMul(x, y)); },
                 [](double x, double y) { return Value(x * y); });
}

Value opDivReal(const Value& a, const Value& b) {
    return arith(a, b,
                 [](int64_t x, int64_t y) {
                     if (y == 0) divZero();
                     return Value(double(x) / double(y));
                 },
                 [](double x, double y) {
                     if (y == 0) divZero();
                     return Value(x / y);
                 });
}

Value opDivNatural(const Value& a, const Value& b) {
    return arith(a, b, intDiv, [](double x, double y) {
        if (y == 0) divZero();
        return Value(x / y);
    });
}

Value opDivInt(const Value& a, const Value& b) {
    if (anyNull(a, b)) return Value::null();
    noArrays(a, b);
    return intDiv(a.toInt(), b.toInt());
}

Value opMod(const Value& a, const Value& b) {
    return arith(a, b, intMod, [](double x, double y) {
        if (y == 0) divZero();
        return Value(std::fmod(x, y));
    });
}

Value opPow(const Value& a, const Value& b) {
    return arith(a, b, [](int64_t x, int64_t y) { return Value(std::pow(double(x), double(y))); },
                 [](double x, double y) { return Value(std::pow(x, y)); });
}

Value opShl(const Value& a, const Value& b) {
    if (anyNull(a, b)) return Value::null();
    noArrays(a, b);
    return Value(int64_t(uint64_t(a.toInt()) << (b.toInt() & 63)));
}

Value opShr(const Value& a, const Value& b) {
    if (anyNull(a, b)) return Value::null();
    noArrays(a, b);
    return Value(int64_t(uint64_t(a.toInt()) >> (b.toInt() & 63)));
}

Value opAnd(const Value& a, const Value& b) { return bitwise(a, b, [](int64_t x, int64_t y) { return x & y; }); }
Value opOr(const Value& a, const Value& b) { return bitwise(a, b, [](int64_t x, int64_t y) { return x | y; }); }
Value opXor(const Value& a, const Value& b) { return bitwise(a, b, [](int64_t x, int64_t y) { return x ^ y; }); }

Value opConcat(const Value& a, const Value& b) {
    noArrays(a, b);
    if (a.isString() && b.isString()) return Value::concat(a.rawString(), b.rawString());
    return Value(a.toString() + b.toString());
}

Value opNeg(const Value& a) {
    if (a.isInt()) return Value(wrapSub(0, a.rawInt()));
    if (a.isNull()) return a;
    if (a.isArray()) arrayMismatch();
    Value n = a.toNumber();
    return n.isInt() ? Value(wrapSub(0, n.rawInt())) : Value(-n.rawDouble());
}

Value opNot(const Value& a) {
    if (a.isBool()) return Value(!a.rawBool());
    if (a.isNull()) return a;
    if (a.isArray()) arrayMismatch();
    if (a.isString()) {
        Value n;
        if (!parseNumber(a.rawString(), n)) return Value(!a.toBool());
    }
    return Value(~a.toInt());
}

Value opBitNot(const Value& a) {
    if (a.isNull()) return a;
    if (a.isArray()) arrayMismatch();
    return Value(~a.toInt());
}

static int sign(double x, double y) {
    if (x < y) return -1;
    if (x > y) return 1;
    if (x == y) return 0;
    return 2;  // NaN
}

static int compareText(std::string_view x, std::string_view y) {
    int c = x.compare(y);  // byte-wise: char_traits<char>::compare uses memcmp semantics
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int compareValues(const Value& a, const Value& b) {
    if (a.isInt() && b.isInt()) return a.rawInt() < b.rawInt() ? -1 : a.rawInt() > b.rawInt() ? 1 : 0;
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull() ? 0 : 2;
    if (a.isString() && b.isString()) return compareText(a.rawString(), b.rawString());
    if (a.isArray() || b.isArray()) {
        if (!(a.isArray() && b.isArray())) return 2;
        if (a.low() != b.low() || a.size() != b.size()) return 2;
        for (size_t i = 0; i < a.size(); ++i)
            if (compareValues(a.rawArray().items[i], b.rawArray().items[i]) != 0) return 2;
        return 0;
    }
    if (a.isEmpty() && b.isEmpty()) return 0;
    // A String against a non-String: as numbers when the text is one, else as texts.
    if (a.isString() || b.isString()) {
        const Value& s = a.isString() ? a : b;
        const Value& o = a.isString() ? b : a;
        int flip = a.isString() ? 1 : -1;
        if (o.isEmpty()) return flip * compareText(s.rawString(), "");
        if (o.isBool()) {
            std::string ot = o.toString();
            return flip * compareText(s.rawString(), ot);
        }
        Value n;
        if (parseNumber(s.rawString(), n)) {
            int c = compareValues(n, o);
            return c == 2 ? 2 : flip * c;
        }
        return flip * compareText(s.rawString(), o.toString());
    }
    Value x = a.toNumber(), y = b.toNumber();
    if (x.isInt() && y.isInt()) return x.rawInt() < y.rawInt() ? -1 : x.rawInt() > y.rawInt() ? 1 : 0;
    return sign(asDouble(x), asDouble(y));
}

bool compareOp(Cmp op, const Value& a, const Value& b) {
    bool arrays = a.isArray() || b.isArray();
    if (arrays && op != Cmp::Eq && op != Cmp::Ne) throw RuntimeError("Type mismatch: arrays can only be compared for equality");
    int c = compareValues(a, b);
    switch (op) {
    case Cmp::Eq: return c == 0;
    case Cmp::Ne: return c != 0;
    case Cmp::Lt: return c == -1;
    case Cmp::Gt: return c == 1;
    case Cmp::Le: return c == -1 || c == 0;
    case Cmp::Ge: return c == 1 || c == 0;
    }
    return false;
}

bool inSet(const Value& item, const Value& set) {
    if (!set.isArray()) {
        // a set held as the OR of its flags
        if (set.isInt() && item.isInt()) return item.rawInt() != 0 && (set.rawInt() & item.rawInt()) == item.rawInt();
        return compareValues(item, set) == 0;
    }
    for (const Value& v : set.rawArray().items)
        if (compareValues(item, v) == 0) return true;
    return false;
}

}  // namespace quillon::script
