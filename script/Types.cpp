#include "Types.h"

#include <cmath>

namespace quillon::script {

Value TypeInfo::zero() const {
    switch (kind) {
    case TypeKind::Variant: return {};
    case TypeKind::Integer:
    case TypeKind::Enum:
    case TypeKind::Set: return Value(int64_t(0));
    case TypeKind::Double: return Value(0.0);
    case TypeKind::Boolean: return Value(false);
    case TypeKind::String:
    case TypeKind::Char: return Value(std::string_view());
    case TypeKind::DateTime: return Value::dateTime(0);
    case TypeKind::Array: {
        if (!hasBounds) return Value::array(0, 0);
        size_t n = high >= low ? size_t(high - low + 1) : 0;
        Value a = Value::array(low, n);
        if (elem && !elem->isVariant()) {
            Value z = elem->zero();
            for (Value& item : a.mutableArray().items) item = z;
        }
        return a;
    }
    }
    return {};
}

std::string TypeInfo::display() const {
    switch (kind) {
    case TypeKind::Variant: return "Variant";
    case TypeKind::Integer: return "Integer";
    case TypeKind::Double: return "Double";
    case TypeKind::Boolean: return "Boolean";
    case TypeKind::String: return "String";
    case TypeKind::Char: return "Char";
    case TypeKind::DateTime: return "TDateTime";
    case TypeKind::Array:
        if (hasBounds)
            return "array[" + std::to_string(low) + ".." + std::to_string(high) + "] of " + (elem ? elem->display() : "Variant");
        return "array of " + (elem ? elem->display() : std::string("Variant"));
    case TypeKind::Enum:
    case TypeKind::Set: return name;
    }
    return "Variant";
}

bool builtinType(const std::string& n, TypeInfo& out) {
    static const struct {
        const char* name;
        TypeKind kind;
    } table[] = {
        {"integer", TypeKind::Integer}, {"int64", TypeKind::Integer},     {"byte", TypeKind::Integer},
        {"word", TypeKind::Integer},    {"cardinal", TypeKind::Integer},  {"longint", TypeKind::Integer},
        {"smallint", TypeKind::Integer},{"shortint", TypeKind::Integer},  {"longword", TypeKind::Integer},
        {"int", TypeKind::Integer},     {"long", TypeKind::Integer},      {"short", TypeKind::Integer},
        {"double", TypeKind::Double},   {"extended", TypeKind::Double},   {"real", TypeKind::Double},
        {"single", TypeKind::Double},   {"currency", TypeKind::Double},   {"float", TypeKind::Double},
        {"boolean", TypeKind::Boolean}, {"bool", TypeKind::Boolean},      {"string", TypeKind::String},
        {"ansistring", TypeKind::String}, {"widestring", TypeKind::String}, {"shortstring", TypeKind::String},
        {"char", TypeKind::Char},       {"variant", TypeKind::Variant},   {"olevariant", TypeKind::Variant},
        {"tdatetime", TypeKind::DateTime}, {"tdate", TypeKind::DateTime}, {"ttime", TypeKind::DateTime},
        {"date", TypeKind::DateTime},   {"object", TypeKind::Variant},
    };
    for (auto& e : table) {
        if (n == e.name) {
            out = TypeInfo{};
            out.kind = e.kind;
            out.name = e.name;
            return true;
        }
    }
    return false;
}

void coerce(Value& v, const TypeInfo& t) {
    if (v.isRef()) v = *v.rawRef();
    switch (t.kind) {
    case TypeKind::Variant: return;
    case TypeKind::Integer:
    case TypeKind::Enum:
        if (!v.isInt()) v = Value(v.toInt());
        return;
    case TypeKind::Set:
        if (v.isArray()) {
            int64_t bits = 0;
            for (const Value& item : v.rawArray().items) bits |= item.toInt();
            v = Value(bits);
        } else if (!v.isInt()) {
            v = Value(v.toInt());
        }
        return;
    case TypeKind::Double:
        if (!v.isDouble()) v = Value(v.toDouble());
        return;
    case TypeKind::Boolean:
        if (!v.isBool()) v = Value(v.toBool());
        return;
    case TypeKind::String:
    case TypeKind::Char:
        if (!v.isString()) v = Value(v.toString());
        return;
    case TypeKind::DateTime:
        if (v.isDateTime()) return;
        if (v.isString()) {
            double d;
            if (parseDateTime(v.rawString(), d)) { v = Value::dateTime(d); return; }
        }
        v = Value::dateTime(v.toDouble());
        return;
    case TypeKind::Array:
        if (v.isArray()) {
            if (t.elem && !t.elem->isVariant()) {
                bool needs = false;
                for (const Value& item : v.rawArray().items) {
                    Value probe = item;
                    coerceFast(probe, *t.elem);
                    if (probe.type() != item.type()) { needs = true; break; }
                }
                if (needs)
                    for (Value& item : v.mutableArray().items) coerce(item, *t.elem);
            }
            return;
        }
        if (v.isEmpty()) { v = Value::array(0, 0); return; }
        throw RuntimeError("Type mismatch: an array is expected");
    }
}

}  // namespace quillon::script
