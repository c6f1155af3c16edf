// Variant values of the rule language: Empty, Null, Boolean, Integer (64-bit), Double,
// DateTime (days since 1899-12-30 as a double), String (8-bit bytes) and Array (bounds
// low..high, elements are values, nestable).
//
// Strings and arrays are reference counted and shared on copy; an array is copied only
// when it is changed while shared (copy on write), so a variable keeps value semantics.
// The counts are not atomic: a value may move between threads (with the usual
// synchronisation of a hand-over) but must not be used by two threads at once.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillon::script {

enum class Type : uint8_t { Empty, Null, Boolean, Integer, Double, DateTime, String, Array, Ref };

class Value;

// Heap part of a String: count, length and the bytes (NUL-terminated for convenience).
struct StrRep {
    uint32_t refs;
    uint32_t pad;
    size_t len;
    char* data() { return reinterpret_cast<char*>(this + 1); }
    static StrRep* make(const char* p, size_t n);
};

// Heap part of an Array.
struct ArrRep {
    uint32_t refs = 1;
    int64_t low = 0;
    std::vector<Value> items;
};

// The largest string or array a rule may build; beyond it the rule gets a run-time error
// instead of exhausting the machine's memory.
inline constexpr size_t kMaxStringBytes = size_t(256) << 20;
inline constexpr size_t kMaxArrayItems = size_t(16) << 20;

class Value {
public:
    Value() noexcept : t_(Type::Empty) { u_.i = 0; }
    Value(bool b) noexcept : t_(Type::Boolean) { u_.i = 0; u_.b = b; }
    Value(int v) noexcept : t_(Type::Integer) { u_.i = v; }
    Value(int64_t v) noexcept : t_(Type::Integer) { u_.i = v; }
    Value(double v) noexcept : t_(Type::Double) { u_.d = v; }
    // Texts of up to kInline bytes live in the value itself, longer ones on the heap.
    Value(std::string_view s) : t_(Type::String) {
        u_.i = 0;
        if (s.size() <= kInline) {
            sso_ = uint8_t(s.size() + 1);
            if (!s.empty()) std::memcpy(inlineChars(), s.data(), s.size());
        } else {
            u_.s = StrRep::make(s.data(), s.size());
        }
    }
    Value(const char* s) : Value(std::string_view(s)) {}
    Value(const std::string& s) : Value(std::string_view(s)) {}

    // The two texts joined, in one allocation.
    static Value concat(std::string_view a, std::string_view b);
    static Value null() { Value v; v.t_ = Type::Null; return v; }
    static Value dateTime(double d) { Value v(d); v.t_ = Type::DateTime; return v; }
    // A fresh array low..low+count-1 of Empty elements.
    static Value array(int64_t low, size_t count);
    static Value arrayOf(std::vector<Value> items, int64_t low = 0);
    // Internal: a reference to a variable (by-reference parameters). Never visible to rules.
    static Value ref(Value* target) { Value v; v.t_ = Type::Ref; v.u_.r = target; return v; }

    Value(const Value& o) noexcept : t_(o.t_), sso_(o.sso_), u_(o.u_) {
        std::memcpy(inl_, o.inl_, sizeof inl_);
        retain();
    }
    Value(Value&& o) noexcept : t_(o.t_), sso_(o.sso_), u_(o.u_) {
        std::memcpy(inl_, o.inl_, sizeof inl_);
        o.t_ = Type::Empty;
        o.sso_ = 0;
        o.u_.i = 0;
    }
    Value& operator=(const Value& o) noexcept {
        if (this != &o) { Value tmp(o); swap(tmp); }
        return *this;
    }
    Value& operator=(Value&& o) noexcept {
        if (this != &o) {
            release();
            t_ = o.t_;
            sso_ = o.sso_;
            std::memcpy(inl_, o.inl_, sizeof inl_);
            u_ = o.u_;
            o.t_ = Type::Empty;
            o.sso_ = 0;
            o.u_.i = 0;
        }
        return *this;
    }
    ~Value() { release(); }
    void swap(Value& o) noexcept {
        std::swap(t_, o.t_);
        std::swap(sso_, o.sso_);
        std::swap(inl_, o.inl_);
        std::swap(u_, o.u_);
    }

    Type type() const { return t_; }
    bool isEmpty() const { return t_ == Type::Empty; }
    bool isNull() const { return t_ == Type::Null; }
    bool isBool() const { return t_ == Type::Boolean; }
    bool isInt() const { return t_ == Type::Integer; }
    bool isDouble() const { return t_ == Type::Double; }
    bool isDateTime() const { return t_ == Type::DateTime; }
    bool isString() const { return t_ == Type::String; }
    bool isArray() const { return t_ == Type::Array; }
    bool isRef() const { return t_ == Type::Ref; }
    bool isNumber() const { return t_ == Type::Integer || t_ == Type::Double || t_ == Type::DateTime; }

    // Raw accessors; the caller has checked the type.
    bool rawBool() const { return u_.b; }
    int64_t rawInt() const { return u_.i; }
    double rawDouble() const { return u_.d; }
    std::string_view rawString() const {
        return sso_ ? std::string_view(inlineChars(), sso_ - 1u) : std::string_view(u_.s->data(), u_.s->len);
    }
    const ArrRep& rawArray() const { return *u_.a; }
    Value* rawRef() const { return u_.r; }
    // The array, made unshared first so that it may be changed.
    ArrRep& mutableArray();

    // Array helpers (the value is an array).
    int64_t low() const { return u_.a->low; }
    int64_t high() const { return u_.a->low + int64_t(u_.a->items.size()) - 1; }
    size_t size() const { return u_.a->items.size(); }

    // Conversions of the language; throw RuntimeError (without position) when impossible.
    std::string toString() const;   // the value's text (see rule-language.md)
    int64_t toInt() const;
    double toDouble() const;
    bool toBool() const;
    // Number for arithmetic: Integer or Double (DateTime as Double, String parsed, Empty 0).
    Value toNumber() const;

private:
    static constexpr size_t kInline = 14;
    static void checkLayout();
    // The inline text: the 14 bytes after the type and length, through the union.
    char* inlineChars() { return reinterpret_cast<char*>(this) + 2; }
    const char* inlineChars() const { return reinterpret_cast<const char*>(this) + 2; }
    void retain() noexcept {
        if (t_ == Type::String) { if (!sso_) ++u_.s->refs; }
        else if (t_ == Type::Array) ++u_.a->refs;
    }
    void release() noexcept {
        if (t_ == Type::String) { if (!sso_ && --u_.s->refs == 0) std::free(u_.s); }
        else if (t_ == Type::Array) { if (--u_.a->refs == 0) delete u_.a; }
    }
    Type t_;
    uint8_t sso_ = 0;  // inline text: its length + 1; 0 otherwise
    char inl_[6] = {};
    union U { bool b; int64_t i; double d; StrRep* s; ArrRep* a; Value* r; } u_;
};

// A run-time error of a rule: the text and, once known, the position of the statement
// that failed ("line:col", both from 1; line 0 while unknown). `aborted` marks the end of
// a run asked for by the host: a rule cannot catch it.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(const std::string& text, int line = 0, int col = 0, bool aborted = false)
        : std::runtime_error(text), line_(line), col_(col), aborted_(aborted) {}
    int line() const { return line_; }
    int col() const { return col_; }
    bool hasPosition() const { return line_ > 0; }
    bool aborted() const { return aborted_; }
    std::string position() const { return std::to_string(line_) + ":" + std::to_string(col_); }
    void setPosition(int line, int col) { line_ = line; col_ = col; }

private:
    int line_, col_;
    bool aborted_;
};

static_assert(sizeof(Value) == 16, "a value is two words");

// Texts of numbers and dates.
std::string formatDouble(double d);
std::string formatDateTime(double dt);
// Parses a number in the C locale: optional blanks and sign, decimal digits with "." and
// exponent, or hexadecimal ($FF, 0xFF). False when the whole text is not a number.
bool parseNumber(std::string_view text, Value& out);

// Calendar helpers on the day count of DateTime values.
double encodeDate(int64_t y, int64_t m, int64_t d, bool& ok);
void decodeDate(double dt, int64_t& y, int64_t& m, int64_t& d);
void decodeTime(double dt, int64_t& h, int64_t& n, int64_t& s, int64_t& ms);
// Reads "yyyy-mm-dd[ hh:nn[:ss[.zzz]]]" (also "T" between); false when it is not one.
bool parseDateTime(std::string_view text, double& out);

}  // namespace quillon::script
