// Standard functions on strings (positions count from 1 in every syntax).
#include <cmath>
#include <cstdio>

#include "LibSupport.h"

namespace quillon::script {

using namespace lib;

namespace {

// The part of s from the 1-based position `start`, at most `count` bytes.
std::string_view sub(std::string_view s, int64_t start, int64_t count) {
    if (start < 1) start = 1;  // a start before the first character counts as the first
    if (count <= 0 || uint64_t(start) > s.size()) return {};
    return s.substr(size_t(start - 1), size_t(std::min<int64_t>(count, int64_t(s.size()) - start + 1)));
}

bool isTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

Value Length(Ctx&, Value* a, size_t) {
    const Value& v = a[0];
    if (v.isArray()) return Value(int64_t(v.size()));
    if (v.isString()) return Value(int64_t(v.rawString().size()));
    if (v.isEmpty() || v.isNull()) return Value(int64_t(0));
    return Value(int64_t(v.toString().size()));
}

Value Copy(Ctx&, Value* a, size_t) { return Value(sub(view(a[0]), a[1].rawInt(), a[2].rawInt())); }

int64_t findText(std::string_view needle, std::string_view hay, int64_t from) {
    if (needle.empty() || from < 1 || uint64_t(from) > hay.size()) return 0;
    size_t p = hay.find(needle, size_t(from - 1));
    return p == std::string_view::npos ? 0 : int64_t(p) + 1;
}

Value Pos(Ctx&, Value* a, size_t) { return Value(findText(view(a[0]), view(a[1]), 1)); }
Value PosEx(Ctx&, Value* a, size_t) { return Value(findText(view(a[0]), view(a[1]), a[2].rawInt())); }

Value Delete(Ctx&, Value* a, size_t) {
    std::string s = text(a[0]);
    int64_t start = a[1].rawInt(), count = a[2].rawInt();
    if (start >= 1 && uint64_t(start) <= s.size() && count > 0)
        s.erase(size_t(start - 1), size_t(std::min<int64_t>(count, int64_t(s.size()) - start + 1)));
    a[0] = Value(s);
    return {};
}

Value Insert(Ctx&, Value* a, size_t) {
    std::string s = text(a[1]);
    int64_t at = std::clamp<int64_t>(a[2].rawInt(), 1, int64_t(s.size()) + 1);
    if (s.size() + view(a[0]).size() > kMaxStringBytes) error("String too long");
    s.insert(size_t(at - 1), view(a[0]));
    a[1] = Value(s);
    return {};
}

Value UpperCase(Ctx&, Value* a, size_t) { return Value(upperCase(view(a[0]))); }
Value LowerCase(Ctx&, Value* a, size_t) { return Value(lowerCase(view(a[0]))); }

Value Trim(Ctx&, Value* a, size_t) {
    std::string_view s = view(a[0]);
    while (!s.empty() && isTrimmed(s.front())) s.remove_prefix(1);
    while (!s.empty() && isTrimmed(s.back())) s.remove_suffix(1);
    return Value(s);
}
Value TrimLeft(Ctx&, Value* a, size_t) {
    std::string_view s = view(a[0]);
    while (!s.empty() && isTrimmed(s.front())) s.remove_prefix(1);
    return Value(s);
}
Value TrimRight(Ctx&, Value* a, size_t) {
    std::string_view s = view(a[0]);
    while (!s.empty() && isTrimmed(s.back())) s.remove_suffix(1);
    return Value(s);
}

Value StringReplace(Ctx&, Value* a, size_t) {
    std::string_view s = view(a[0]), from = view(a[1]), to = view(a[2]);
    if (from.empty()) return a[0];
    std::string out;
    size_t i = 0;
    while (true) {
        size_t p = s.find(from, i);
        if (p == std::string_view::npos) break;
        out.append(s.substr(i, p - i)).append(to);
        if (out.size() > kMaxStringBytes) error("String too long");
        i = p + from.size();
    }
    out.append(s.substr(i));
    return Value(out);
}

Value StringOfChar(Ctx&, Value* a, size_t) {
    std::string_view c = view(a[0]);
    int64_t n = a[1].rawInt();
    if (n <= 0 || c.empty()) return Value(std::string_view());
    if (uint64_t(n) > kMaxStringBytes) error("String too long (" + std::to_string(n) + " bytes)");
    return Value(std::string(size_t(n), c[0]));
}

Value QuotedStr(Ctx&, Value* a, size_t) {
    std::string out = "'";
    for (char c : view(a[0])) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return Value(out + "'");
}

int compareNoCase(std::string_view x, std::string_view y) {
    size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i) {
        int d = int(static_cast<unsigned char>(lowerChar(x[i]))) - int(static_cast<unsigned char>(lowerChar(y[i])));
        if (d) return d;
    }
    return int(x.size()) - int(y.size());
}

Value CompareText(Ctx&, Value* a, size_t) { return Value(int64_t(compareNoCase(view(a[0]), view(a[1])))); }
Value SameText(Ctx&, Value* a, size_t) { return Value(sameTextEq(view(a[0]), view(a[1]))); }

Value LeftStr(Ctx&, Value* a, size_t) { return Value(sub(view(a[0]), 1, a[1].rawInt())); }
Value RightStr(Ctx&, Value* a, size_t) {
    std::string_view s = view(a[0]);
    int64_t n = std::clamp<int64_t>(a[1].rawInt(), 0, int64_t(s.size()));
    return Value(s.substr(s.size() - size_t(n)));
}
Value MidStr(Ctx&, Value* a, size_t) { return Value(sub(view(a[0]), a[1].rawInt(), a[2].rawInt())); }

Value StartsText(Ctx&, Value* a, size_t) {
    std::string_view p = view(a[0]), s = view(a[1]);
    return Value(s.size() >= p.size() && sameTextEq(s.substr(0, p.size()), p));
}
Value EndsText(Ctx&, Value* a, size_t) {
    std::string_view p = view(a[0]), s = view(a[1]);
    return Value(s.size() >= p.size() && sameTextEq(s.substr(s.size() - p.size()), p));
}
Value ContainsText(Ctx&, Value* a, size_t) {
    std::string s = lowerCase(view(a[0])), p = lowerCase(view(a[1]));
    return Value(s.find(p) != std::string::npos);
}

// Format: %[index:][-][width][.precision]type with d u s f e g n x m and %%.
Value Format(Ctx&, Value* a, size_t) {
    std::string_view f = view(a[0]);
    std::vector<Value> args;
    if (a[1].isArray()) args = a[1].rawArray().items;
    else if (!a[1].isEmpty()) args.push_back(a[1]);
    std::string out;
    size_t next = 0;
    auto bad = [&]() -> void { error("Format '" + std::string(f.substr(0, 200)) + "' invalid or incompatible with argument"); };
    for (size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%') { out += f[i]; continue; }
        if (++i >= f.size()) bad();
        if (f[i] == '%') { out += '%'; continue; }
        auto number = [&](int64_t& v) {
            bool any = false;
            v = 0;
            while (i < f.size() && f[i] >= '0' && f[i] <= '9') { v = std::min<int64_t>(v * 10 + (f[i++] - '0'), 100000); any = true; }
            return any;
        };
        int64_t n = 0;
        size_t save = i;
        if (number(n) && i < f.size() && f[i] == ':') { next = size_t(n); ++i; } else i = save;
        bool left = false;
        if (i < f.size() && f[i] == '-') { left = true; ++i; }
        int64_t width = 0, prec = -1;
        if (i < f.size() && f[i] == '*') { if (next >= args.size()) bad(); width = args[next++].toInt(); ++i; }
        else number(width);
        if (i < f.size() && f[i] == '.') {
            ++i;
            if (i < f.size() && f[i] == '*') { if (next >= args.size()) bad(); prec = args[next++].toInt(); ++i; }
            else number(prec);
        }
        if (i >= f.size()) bad();
        char type = lowerChar(f[i]);
        if (next >= args.size()) bad();
        const Value& v = args[next++];
        std::string piece;
        char buf[512];
        prec = std::min<int64_t>(prec, 300);
        switch (type) {
        case 'd':
        case 'u': {
            if (v.isString() || v.isDouble()) {
                Value nv;
                if (!v.isString() || !parseNumber(v.rawString(), nv) || !nv.isInt()) bad();
            }
            int64_t x = v.toInt();
            piece = std::to_string(x < 0 ? 0 - uint64_t(x) : uint64_t(x));
            if (prec > 0 && int64_t(piece.size()) < prec) piece.insert(0, size_t(prec) - piece.size(), '0');
            if (x < 0) piece.insert(0, "-");
            break;
        }
        case 'f':
        case 'e':
        case 'g':
        case 'n':
        case 'm': {
            if (v.isString()) { Value nv; if (!parseNumber(v.rawString(), nv)) bad(); }
            double d = v.toDouble();
            int p = int(prec < 0 ? (type == 'g' ? 15 : type == 'e' ? 6 : 2) : prec);
            if (type == 'e') std::snprintf(buf, sizeof buf, "%.*E", p, d);
            else if (type == 'g') { piece = prec < 0 ? formatDouble(d) : (std::snprintf(buf, sizeof buf, "%.*G", p, d), std::string(buf)); break; }
            else std::snprintf(buf, sizeof buf, "%.*f", p, std::fabs(d) < 1e300 ? d : 0.0);
            piece = buf;
            if (type == 'n' || type == 'm') {
                size_t dot = piece.find('.');
                size_t end = dot == std::string::npos ? piece.size() : dot;
                size_t start = piece[0] == '-' ? 1 : 0;
                for (size_t k = end; k > start + 3; k -= 3) piece.insert(k - 3, ",");
            }
            break;
        }
        case 's': piece = v.isArray() ? (bad(), std::string()) : v.toString(); if (prec >= 0 && int64_t(piece.size()) > prec) piece.resize(size_t(prec)); break;
        case 'x': {
            std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(v.toInt()));
            piece = buf;
            if (prec > 0 && int64_t(piece.size()) < prec) piece.insert(0, size_t(prec) - piece.size(), '0');
            break;
        }
        default: bad();
        }
        if (int64_t(piece.size()) < width) {
            if (left) piece.append(size_t(width) - piece.size(), ' ');
            else piece.insert(0, size_t(width) - piece.size(), ' ');
        }
        out += piece;
        if (out.size() > kMaxStringBytes) error("String too long");
    }
    return Value(out);
}

}  // namespace

void addStringFunctions(GlobalUnit& u) {
    const char* c = "Strings";
    u.addFunction("function Length(s: Variant): Integer", c, Length);
    u.addFunction("function Copy(s: string; Index, Count: Integer): string", c, Copy);
    u.addFunction("function Pos(substr: string; s: string): Integer", c, Pos);
    u.addFunction("function PosEx(const SubStr, S: string; Offset: Integer = 1): Integer", c, PosEx);
    u.addFunction("procedure Delete(var s: string; Index, Count: Integer)", c, Delete);
    u.addFunction("procedure Insert(s: string; var s2: string; Index: Integer)", c, Insert);
    u.addFunction("function UpperCase(s: string): string", c, UpperCase);
    u.addFunction("function LowerCase(s: string): string", c, LowerCase);
    u.addFunction("function Trim(s: string): string", c, Trim);
    u.addFunction("function TrimLeft(s: string): string", c, TrimLeft);
    u.addFunction("function TrimRight(s: string): string", c, TrimRight);
    u.addFunction("function StringReplace(const S, OldPattern, NewPattern: string): string", c, StringReplace, false,
                  "replaces every occurrence, case-sensitive");
    u.addFunction("function StringOfChar(c: Char; Count: Integer): string", c, StringOfChar);
    u.addFunction("function QuotedStr(const S: string): string", c, QuotedStr);
    u.addFunction("function CompareText(const S1, S2: string): Integer", c, CompareText);
    u.addFunction("function SameText(const S1, S2: string): Boolean", c, SameText);
    u.addFunction("function Format(const Fmt: string; Args: Variant): string", c, Format);
    u.addFunction("function LeftStr(const AText: string; ACount: Integer): string", c, LeftStr);
    u.addFunction("function RightStr(const AText: string; ACount: Integer): string", c, RightStr);
    u.addFunction("function MidStr(const AText: string; AStart, ACount: Integer): string", c, MidStr);
    u.addFunction("function StartsText(const ASubText, AText: string): Boolean", c, StartsText);
    u.addFunction("function EndsText(const ASubText, AText: string): Boolean", c, EndsText);
    u.addFunction("function ContainsText(const AText, ASubText: string): Boolean", c, ContainsText);
}

}  // namespace quillon::script
