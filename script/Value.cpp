#include "Value.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <new>

namespace quillon::script {

void Value::checkLayout() {
    static_assert(offsetof(Value, sso_) == 1 && offsetof(Value, inl_) == 2 && offsetof(Value, u_) == 8,
                  "the inline text needs 14 contiguous bytes after the type");
}

StrRep* StrRep::make(const char* p, size_t n) {
    if (n > kMaxStringBytes) throw RuntimeError("String too long (" + std::to_string(n) + " bytes)");
    auto* r = static_cast<StrRep*>(std::malloc(sizeof(StrRep) + n + 1));
    if (!r) throw std::bad_alloc();
    r->refs = 1;
    r->pad = 0;
    r->len = n;
    if (n) std::memcpy(r->data(), p, n);
    r->data()[n] = 0;
    return r;
}

Value Value::concat(std::string_view a, std::string_view b) {
    if (a.size() + b.size() > kMaxStringBytes)
        throw RuntimeError("String too long (" + std::to_string(a.size() + b.size()) + " bytes)");
    if (a.size() + b.size() <= 14) {
        char buf[14];
        if (!a.empty()) std::memcpy(buf, a.data(), a.size());
        if (!b.empty()) std::memcpy(buf + a.size(), b.data(), b.size());
        return Value(std::string_view(buf, a.size() + b.size()));
    }
    Value v;
    auto* r = static_cast<StrRep*>(std::malloc(sizeof(StrRep) + a.size() + b.size() + 1));
    if (!r) throw std::bad_alloc();
    r->refs = 1;
    r->pad = 0;
    r->len = a.size() + b.size();
    if (!a.empty()) std::memcpy(r->data(), a.data(), a.size());
    if (!b.empty()) std::memcpy(r->data() + a.size(), b.data(), b.size());
    r->data()[r->len] = 0;
    v.u_.s = r;
    v.t_ = Type::String;
    return v;
}

Value Value::array(int64_t low, size_t count) {
    if (count > kMaxArrayItems) throw RuntimeError("Array too large (" + std::to_string(count) + " elements)");
    Value v;
    v.u_.a = new ArrRep;
    v.t_ = Type::Array;
    v.u_.a->low = low;
    v.u_.a->items.resize(count);
    return v;
}

Value Value::arrayOf(std::vector<Value> items, int64_t low) {
    Value v;
    v.u_.a = new ArrRep;
    v.t_ = Type::Array;
    v.u_.a->low = low;
    v.u_.a->items = std::move(items);
    return v;
}

ArrRep& Value::mutableArray() {
    if (u_.a->refs > 1) {
        auto* copy = new ArrRep;
        copy->low = u_.a->low;
        copy->items = u_.a->items;
        --u_.a->refs;
        u_.a = copy;
    }
    return *u_.a;
}

namespace {

std::string quoted(std::string_view s) {
    std::string t = "'";
    t.append(s.substr(0, 200));
    if (s.size() > 200) t += "...";
    return t + "'";
}

[[noreturn]] void notNumber(std::string_view s) {
    throw RuntimeError(quoted(s) + " is not a valid number");
}

}  // namespace

std::string Value::toString() const {
    switch (t_) {
    case Type::Empty:
    case Type::Null: return {};
    case Type::Boolean: return u_.b ? "True" : "False";
    case Type::Integer: return std::to_string(u_.i);
    case Type::Double: return formatDouble(u_.d);
    case Type::DateTime: return formatDateTime(u_.d);
    case Type::String: return std::string(rawString());
    case Type::Array: throw RuntimeError("Type mismatch: an array has no text");
    case Type::Ref: return u_.r->toString();
    }
    return {};
}

Value Value::toNumber() const {
    switch (t_) {
    case Type::Empty: return Value(int64_t(0));
    case Type::Null: return *this;
    case Type::Boolean: return Value(int64_t(u_.b ? 1 : 0));
    case Type::Integer:
    case Type::Double: return *this;
    case Type::DateTime: return Value(u_.d);
    case Type::String: {
        Value v;
        if (!parseNumber(rawString(), v)) notNumber(rawString());
        return v;
    }
    case Type::Array: throw RuntimeError("Type mismatch: an array is not a number");
    case Type::Ref: return u_.r->toNumber();
    }
    return {};
}

static int64_t doubleToInt(double d) {
    if (!(d >= -9.2233720368547758e18 && d < 9.2233720368547758e18))
        throw RuntimeError("Integer overflow: " + formatDouble(d));
    return int64_t(std::nearbyint(d));  // round half to even, like variant conversion
}

int64_t Value::toInt() const {
    switch (t_) {
    case Type::Integer: return u_.i;
    case Type::Null: throw RuntimeError("Null cannot be converted to a number");
    default: {
        Value n = toNumber();
        return n.isInt() ? n.u_.i : doubleToInt(n.u_.d);
    }
    }
}

double Value::toDouble() const {
    switch (t_) {
    case Type::Double:
    case Type::DateTime: return u_.d;
    case Type::Integer: return double(u_.i);
    case Type::Null: throw RuntimeError("Null cannot be converted to a number");
    default: {
        Value n = toNumber();
        return n.isInt() ? double(n.u_.i) : n.u_.d;
    }
    }
}

bool Value::toBool() const {
    switch (t_) {
    case Type::Boolean: return u_.b;
    case Type::Empty: return false;
    case Type::Null: throw RuntimeError("Null cannot be converted to a Boolean");
    case Type::Integer: return u_.i != 0;
    case Type::Double:
    case Type::DateTime: return u_.d != 0;
    case Type::String: {
        std::string_view s = rawString();
        auto eq = [&](const char* w) {
            size_t n = std::strlen(w);
            if (s.size() != n) return false;
            for (size_t i = 0; i < n; ++i)
                if (std::tolower(static_cast<unsigned char>(s[i])) != w[i]) return false;
            return true;
        };
        if (eq("true")) return true;
        if (eq("false")) return false;
        Value v;
        if (parseNumber(s, v)) return v.isInt() ? v.u_.i != 0 : v.u_.d != 0;
        throw RuntimeError(quoted(s) + " is not a valid Boolean value");
    }
    case Type::Array: throw RuntimeError("Type mismatch: an array is not a Boolean");
    case Type::Ref: return u_.r->toBool();
    }
    return false;
}

std::string formatDouble(double d) {
    if (std::isnan(d)) return "NAN";
    if (std::isinf(d)) return d > 0 ? "INF" : "-INF";
    if (d == 0) return "0";
    // Shortest digits that read back as the same number, then laid out in plain decimal
    // unless the magnitude is very small or very large.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    std::string sci(buf, res.ptr);
    bool neg = sci[0] == '-';
    if (neg) sci.erase(0, 1);
    size_t e = sci.find('e');
    int exp = std::atoi(sci.c_str() + e + 1);
    std::string digits;
    for (size_t i = 0; i < e; ++i)
        if (sci[i] != '.') digits += sci[i];
    std::string out;
    if (neg) out.push_back('-');
    if (exp < -5 || exp >= 15) {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.push_back('.');
            out.append(digits, 1, std::string::npos);
        }
        out.push_back('E');
        out.append(std::to_string(exp));
    } else if (exp < 0) {
        out.append("0.");
        out.append(size_t(-exp - 1), '0');
        out.append(digits);
    } else if (size_t(exp) + 1 >= digits.size()) {
        out.append(digits);
        out.append(size_t(exp) + 1 - digits.size(), '0');
    } else {
        out.append(digits, 0, size_t(exp) + 1);
        out.push_back('.');
        out.append(digits, size_t(exp) + 1, std::string::npos);
    }
    return out;
}

// Days from 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
static int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

static void civilFromDays(int64_t z, int64_t& y, int64_t& m, int64_t& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = yoe + era * 400;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y += m <= 2;
}

static constexpr int64_t kUnixDay = 25569;  // 1970-01-01 as a day count since 1899-12-30

double encodeDate(int64_t y, int64_t m, int64_t d, bool& ok) {
    static const int mdays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    ok = y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1;
    if (!ok) return 0;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    int md = mdays[m - 1] + (m == 2 && leap ? 1 : 0);
    ok = d <= md;
    if (!ok) return 0;
    return double(daysFromCivil(y, m, d) + kUnixDay);
}

// Splits a DateTime into whole days and milliseconds of the day; for values before the
// epoch the fraction still counts forward from midnight.
static void split(double dt, int64_t& day, int64_t& ms) {
    if (!std::isfinite(dt) || std::fabs(dt) > 3e6) { day = 0; ms = 0; return; }
    double whole = std::trunc(dt);
    day = int64_t(whole);
    ms = std::llround(std::fabs(dt - whole) * 86400000.0);
    if (ms >= 86400000) { ms -= 86400000; day += dt < 0 ? -1 : 1; }
}

void decodeDate(double dt, int64_t& y, int64_t& m, int64_t& d) {
    int64_t day, ms;
    split(dt, day, ms);
    civilFromDays(day - kUnixDay, y, m, d);
}

void decodeTime(double dt, int64_t& h, int64_t& n, int64_t& s, int64_t& ms) {
    int64_t day, t;
    split(dt, day, t);
    h = t / 3600000;
    n = t / 60000 % 60;
    s = t / 1000 % 60;
    ms = t % 1000;
}

std::string formatDateTime(double dt) {
    int64_t y, m, d, h, n, s, ms;
    decodeDate(dt, y, m, d);
    decodeTime(dt, h, n, s, ms);
    char buf[64];
    if (ms)
        std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld.%03lld", (long long)y,
                      (long long)m, (long long)d, (long long)h, (long long)n, (long long)s, (long long)ms);
    else
        std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", (long long)y,
                      (long long)m, (long long)d, (long long)h, (long long)n, (long long)s);
    return buf;
}

static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool parseNumber(std::string_view t, Value& out) {
    while (!t.empty() && isBlank(t.front())) t.remove_prefix(1);
    while (!t.empty() && isBlank(t.back())) t.remove_suffix(1);
    if (t.empty()) return false;
    bool neg = false;
    std::string_view body = t;
    if (body[0] == '+' || body[0] == '-') { neg = body[0] == '-'; body.remove_prefix(1); }
    if (body.empty()) return false;
    // Hexadecimal: $FF, 0xFF.
    std::string_view hex;
    if (body[0] == '$') hex = body.substr(1);
    else if (body.size() > 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X')) hex = body.substr(2);
    if (!hex.empty() || body[0] == '$') {
        if (hex.empty() || hex.size() > 16) return false;
        uint64_t u = 0;
        auto r = std::from_chars(hex.data(), hex.data() + hex.size(), u, 16);
        if (r.ec != std::errc() || r.ptr != hex.data() + hex.size()) return false;
        int64_t v = int64_t(u);
        out = Value(neg ? int64_t(0 - u) : v);
        return true;
    }
    bool integral = true;
    for (char c : body) {
        if (c >= '0' && c <= '9') continue;
        if (c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-') { integral = false; continue; }
        return false;
    }
    if (body[0] == '.' && body.size() == 1) return false;
    if (integral) {
        uint64_t u = 0;
        auto r = std::from_chars(body.data(), body.data() + body.size(), u, 10);
        if (r.ec == std::errc() && r.ptr == body.data() + body.size() &&
            u <= (neg ? uint64_t(1) << 63 : uint64_t(INT64_MAX))) {
            out = Value(neg ? int64_t(0 - u) : int64_t(u));
            return true;
        }
    }
    double d = 0;
    auto r = std::from_chars(body.data(), body.data() + body.size(), d, std::chars_format::general);
    if (r.ptr != body.data() + body.size()) return false;
    if (r.ec != std::errc() && r.ec != std::errc::result_out_of_range) return false;
    out = Value(neg ? -d : d);
    return true;
}

bool parseDateTime(std::string_view t, double& out) {
    while (!t.empty() && isBlank(t.front())) t.remove_prefix(1);
    while (!t.empty() && isBlank(t.back())) t.remove_suffix(1);
    size_t i = 0;
    auto num = [&](int maxDigits, int64_t& v) {
        size_t start = i;
        v = 0;
        while (i < t.size() && i - start < size_t(maxDigits) && t[i] >= '0' && t[i] <= '9') v = v * 10 + (t[i++] - '0');
        return i > start;
    };
    auto lit = [&](char c) {
        if (i < t.size() && t[i] == c) { ++i; return true; }
        return false;
    };
    int64_t y, m, d, h = 0, n = 0, s = 0, ms = 0;
    if (!(num(4, y) && lit('-') && num(2, m) && lit('-') && num(2, d))) return false;
    bool ok;
    double date = encodeDate(y, m, d, ok);
    if (!ok) return false;
    if (i < t.size()) {
        if (!(lit(' ') || lit('T'))) return false;
        while (lit(' ')) {}
        if (!(num(2, h) && lit(':') && num(2, n))) return false;
        if (lit(':')) {
            if (!num(2, s)) return false;
            if (lit('.')) {
                size_t start = i;
                if (!num(3, ms)) return false;
                for (size_t k = i - start; k < 3; ++k) ms *= 10;
            }
        }
        if (i != t.size() || h > 23 || n > 59 || s > 59) return false;
    }
    double time = (h * 3600000.0 + n * 60000.0 + s * 1000.0 + ms) / 86400000.0;
    out = date >= 0 ? date + time : date - time;
    return true;
}

}  // namespace quillon::script
