// The operators of the rule language on variant values. They follow the variant rules
// of rule-language.md: Integer and Double mix to Double, a String meets a number by
// conversion, `+` of two Strings concatenates, Null propagates through arithmetic.
// Faults throw RuntimeError without a position (the statement adds it).
#pragma once

#include "Value.h"

namespace quillon::script {

Value opAddSlow(const Value& a, const Value& b);
Value opSub(const Value& a, const Value& b);
Value opMul(const Value& a, const Value& b);
Value opDivReal(const Value& a, const Value& b);
Value opDivNatural(const Value& a, const Value& b);
Value opDivInt(const Value& a, const Value& b);
Value opMod(const Value& a, const Value& b);
Value opPow(const Value& a, const Value& b);
Value opShl(const Value& a, const Value& b);
Value opShr(const Value& a, const Value& b);
// Logical on two Booleans, bitwise otherwise.
Value opAnd(const Value& a, const Value& b);
Value opOr(const Value& a, const Value& b);
Value opXor(const Value& a, const Value& b);
Value opConcat(const Value& a, const Value& b);
Value opNeg(const Value& a);
Value opNot(const Value& a);     // logical on Boolean, bitwise on Integer
Value opBitNot(const Value& a);  // bitwise complement

inline Value opAdd(const Value& a, const Value& b) {
    if (a.isInt() && b.isInt()) return Value(int64_t(uint64_t(a.rawInt()) + uint64_t(b.rawInt())));
    if (a.isDouble() && b.isDouble()) return Value(a.rawDouble() + b.rawDouble());
    return opAddSlow(a, b);
}

// Comparison: -1, 0, 1, or 2 when the two are unordered (Null against a value, NaN).
int compareValues(const Value& a, const Value& b);
enum class Cmp { Eq, Ne, Lt, Gt, Le, Ge };
bool compareOp(Cmp op, const Value& a, const Value& b);
// True when `item` equals an element of the array `set` (or equals `set` itself when it is
// not an array).
bool inSet(const Value& item, const Value& set);

}  // namespace quillon::script
