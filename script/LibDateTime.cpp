// Standard date and time functions; dates are DateTime values (days since 1899-12-30).
#include <chrono>
#include <cmath>
#include <ctime>

#include "LibSupport.h"

namespace quillon::script {

using namespace lib;

namespace {

double nowLocal() {
    auto now = std::chrono::system_clock::now();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    std::time_t secs = std::time_t(ms / 1000);
    std::tm tm{};
    localtime_r(&secs, &tm);
    bool ok;
    double day = encodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, ok);
    return day + (tm.tm_hour * 3600000.0 + tm.tm_min * 60000.0 + tm.tm_sec * 1000.0 + double(ms % 1000)) / 86400000.0;
}

Value Now(Ctx&, Value*, size_t) { return Value::dateTime(nowLocal()); }
Value DateFn(Ctx&, Value*, size_t) { return Value::dateTime(std::floor(nowLocal())); }
Value TimeFn(Ctx&, Value*, size_t) {
    double n = nowLocal();
    return Value::dateTime(n - std::floor(n));
}

Value EncodeDate(Ctx&, Value* a, size_t) {
    bool ok;
    double d = encodeDate(a[0].rawInt(), a[1].rawInt(), a[2].rawInt(), ok);
    if (!ok) error("Invalid date: " + std::to_string(a[0].rawInt()) + "-" + std::to_string(a[1].rawInt()) + "-" +
                   std::to_string(a[2].rawInt()));
    return Value::dateTime(d);
}

Value EncodeTime(Ctx&, Value* a, size_t) {
    int64_t h = a[0].rawInt(), n = a[1].rawInt(), s = a[2].rawInt(), ms = a[3].rawInt();
    if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59 || ms < 0 || ms > 999)
        error("Invalid time: " + std::to_string(h) + ":" + std::to_string(n) + ":" + std::to_string(s) + "." + std::to_string(ms));
    return Value::dateTime((h * 3600000.0 + n * 60000.0 + s * 1000.0 + double(ms)) / 86400000.0);
}

Value DecodeDate(Ctx&, Value* a, size_t) {
    int64_t y, m, d;
    decodeDate(a[0].rawDouble(), y, m, d);
    a[1] = Value(y);
    a[2] = Value(m);
    a[3] = Value(d);
    return {};
}

Value DecodeTime(Ctx&, Value* a, size_t) {
    int64_t h, n, s, ms;
    decodeTime(a[0].rawDouble(), h, n, s, ms);
    a[1] = Value(h);
    a[2] = Value(n);
    a[3] = Value(s);
    a[4] = Value(ms);
    return {};
}

std::string pad(int64_t v, int width) {
    std::string s = std::to_string(v);
    if (int(s.size()) < width) s.insert(0, size_t(width) - s.size(), '0');
    return s;
}

// yyyy yy mm m dd d hh h nn n ss s zzz z, quoted text '...' "..." as it stands.
std::string formatDT(std::string_view f, double dt) {
    int64_t y, m, d, h, n, s, ms;
    decodeDate(dt, y, m, d);
    decodeTime(dt, h, n, s, ms);
    std::string out;
    size_t i = 0;
    auto run = [&](char c) {
        size_t k = i;
        while (k < f.size() && lowerChar(f[k]) == c) ++k;
        return k - i;
    };
    while (i < f.size()) {
        char c = lowerChar(f[i]);
        if (f[i] == '\'' || f[i] == '"') {
            char q = f[i++];
            while (i < f.size() && f[i] != q) out += f[i++];
            if (i < f.size()) ++i;
            continue;
        }
        size_t len = run(c);
        switch (c) {
        case 'y': out += len >= 3 ? pad(y, 4) : pad(y % 100, 2); break;
        case 'm': out += pad(m, len >= 2 ? 2 : 1); break;
        case 'd': out += pad(d, len >= 2 ? 2 : 1); break;
        case 'h': out += pad(h, len >= 2 ? 2 : 1); break;
        case 'n': out += pad(n, len >= 2 ? 2 : 1); break;
        case 's': out += pad(s, len >= 2 ? 2 : 1); break;
        case 'z': out += pad(ms, len >= 3 ? 3 : 1); break;
        default: out += f[i]; len = 1; break;
        }
        i += len;
        if (out.size() > kMaxStringBytes) error("String too long");
    }
    return out;
}

Value FormatDateTime(Ctx&, Value* a, size_t) { return Value(formatDT(view(a[0]), a[1].rawDouble())); }
Value DateToStr(Ctx&, Value* a, size_t) { return Value(formatDT("yyyy-mm-dd", a[0].rawDouble())); }
Value TimeToStr(Ctx&, Value* a, size_t) { return Value(formatDT("hh:nn:ss", a[0].rawDouble())); }
Value DateTimeToStr(Ctx&, Value* a, size_t) { return Value(formatDateTime(a[0].rawDouble())); }

Value StrToDateTime(Ctx&, Value* a, size_t) {
    double d;
    if (!parseDateTime(view(a[0]), d)) error("'" + std::string(view(a[0]).substr(0, 200)) + "' is not a valid date and time");
    return Value::dateTime(d);
}

Value StrToDate(Ctx&, Value* a, size_t) {
    double d;
    if (!parseDateTime(view(a[0]), d) || view(a[0]).find(':') != std::string_view::npos)
        error("'" + std::string(view(a[0]).substr(0, 200)) + "' is not a valid date");
    return Value::dateTime(d);
}

Value DayOfWeek(Ctx&, Value* a, size_t) {
    int64_t day = int64_t(std::floor(a[0].rawDouble()));
    // 1899-12-30 was a Saturday; Sunday is 1.
    int64_t w = ((day + 6) % 7 + 7) % 7;  // 0 = Sunday
    return Value(w + 1);
}

Value IncDay(Ctx&, Value* a, size_t) { return Value::dateTime(a[0].rawDouble() + double(a[1].rawInt())); }

Value IncMonth(Ctx&, Value* a, size_t) {
    double dt = a[0].rawDouble();
    int64_t y, m, d;
    decodeDate(dt, y, m, d);
    int64_t total = y * 12 + (m - 1) + a[1].rawInt();
    int64_t ny = total / 12, nm = total % 12 + 1;
    static const int md[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (ny % 4 == 0 && ny % 100 != 0) || ny % 400 == 0;
    int64_t last = md[nm - 1] + (nm == 2 && leap ? 1 : 0);
    bool ok;
    double base = encodeDate(ny, nm, std::min(d, last), ok);
    if (!ok) error("Invalid date in IncMonth");
    double frac = std::fabs(dt - std::trunc(dt));
    return Value::dateTime(base + frac);
}

}  // namespace

void addDateTimeFunctions(GlobalUnit& u) {
    const char* c = "Date and time";
    u.addFunction("function Now: TDateTime", c, Now);
    u.addFunction("function Date: TDateTime", c, DateFn);
    u.addFunction("function Time: TDateTime", c, TimeFn);
    u.addFunction("function EncodeDate(Year, Month, Day: Word): TDateTime", c, EncodeDate);
    u.addFunction("function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", c, EncodeTime);
    u.addFunction("procedure DecodeDate(const DateTime: TDateTime; var Year, Month, Day: Word)", c, DecodeDate);
    u.addFunction("procedure DecodeTime(const DateTime: TDateTime; var Hour, Min, Sec, MSec: Word)", c, DecodeTime);
    u.addFunction("function FormatDateTime(const Fmt: string; DateTime: TDateTime): string", c, FormatDateTime);
    u.addFunction("function DateToStr(const DateTime: TDateTime): string", c, DateToStr);
    u.addFunction("function TimeToStr(const DateTime: TDateTime): string", c, TimeToStr);
    u.addFunction("function DateTimeToStr(const DateTime: TDateTime): string", c, DateTimeToStr);
    u.addFunction("function StrToDate(const S: string): TDateTime", c, StrToDate);
    u.addFunction("function StrToDateTime(const S: string): TDateTime", c, StrToDateTime);
    u.addFunction("function DayOfWeek(const DateTime: TDateTime): Integer", c, DayOfWeek, false, "Sunday is 1");
    u.addFunction("function IncDay(const DateTime: TDateTime; NumberOfDays: Integer = 1): TDateTime", c, IncDay);
    u.addFunction("function IncMonth(const DateTime: TDateTime; NumberOfMonths: Integer = 1): TDateTime", c, IncMonth);
}

}  // namespace quillon::script
