// Declared types of variables and parameters, and the conversion of a value to one.
// A typed variable converts what is assigned to it; a variant takes the value as it is.
#pragma once

#include <memory>
#include <string>

#include "Value.h"

namespace quillon::script {

enum class TypeKind : uint8_t { Variant, Integer, Double, Boolean, String, Char, DateTime, Array, Enum, Set };

struct TypeInfo {
    TypeKind kind = TypeKind::Variant;
    std::shared_ptr<const TypeInfo> elem;  // Array: element type (null = variant)
    bool hasBounds = false;                // Array: static bounds low..high
    int64_t low = 0, high = -1;
    std::string name;  // Enum / Set: the declared type's name; otherwise the name written

    bool isVariant() const { return kind == TypeKind::Variant; }
    // The value a variable of this type starts with: the zero of the type, a fresh array of
    // the bounds for a static array, Empty for a variant.
    Value zero() const;
    // Display name for catalogue and messages.
    std::string display() const;
};

// The built-in scalar type of a name ("integer", "string", "tdatetime", C++ "int" ...),
// false when the name is not a built-in type. `name` is in lower case.
bool builtinType(const std::string& lowerName, TypeInfo& out);

// Converts `v` in place to type `t`; throws RuntimeError when it cannot.
void coerce(Value& v, const TypeInfo& t);

inline void coerceFast(Value& v, const TypeInfo& t) {
    if (t.kind == TypeKind::Variant) return;
    if (t.kind == TypeKind::Integer && v.isInt()) return;
    if (t.kind == TypeKind::String && v.isString()) return;
    if (t.kind == TypeKind::Double && v.isDouble()) return;
    coerce(v, t);
}

}  // namespace quillon::script
