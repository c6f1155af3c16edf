#include "ScriptLibrary.h"

#include <locale.h>

#include <QCoreApplication>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "ScriptExecutor.h"
#include "PlainNotice.h"
#include "tvDaHeader.h"
#include "tvGnHeader.h"

using quillon::script::RuntimeError;
using quillon::script::Value;

const char* const kRuleFunctionDeclarations[9] = {
    "function MessageDlg(const Msg: string; DlgType: TMsgDlgType; Buttons: TMsgDlgButtons): Word",
    "procedure ShowMessage(const str: string)",
    "procedure LogEvent(const str: string)",
    "function Split(const str: string; const separator: string = ','): Variant",
    "procedure Wait(miliseconds: integer)",
    "function SaveResult(strTable: string; arResultNames: variant; arResultValues: variant): boolean",
    "function ParseToFloat(strInput: string): double",
    "function Log10(const X: extended): extended",
    "function Power(const base, exponent: extended): extended",
};

namespace {

// Blanks and control characters, as trimming a measurement text takes them off.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Takes the units off: every match of (Hz)|(dB)|(dbm)|(dBc)|(s)|(V)?$ from left to right,
// not overlapping, the first alternative that matches at a position winning. So "dB" is
// taken before "dBm" or "dBc" could match ("dBc" never does) and "V" only at the very end.
void RemoveUnits(std::string_view s, std::string& out) {
    out.clear();
    size_t i = 0;
    while (i < s.size()) {
        const std::string_view rest = s.substr(i);
        if (rest.starts_with("Hz") || rest.starts_with("dB")) {
            i += 2;
        } else if (rest.starts_with("dbm")) {
            i += 3;
        } else if (rest[0] == 's' || (rest[0] == 'V' && rest.size() == 1)) {
            i += 1;
        } else {
            out += rest[0];
            ++i;
        }
    }
}

// The power of ten of a decimal prefix letter (letter case matters), 0 when it is none.
int PrefixExponent(char c) {
    switch (c) {
        case 'G': return 9;
        case 'M': return 6;
        case 'k': return 3;
        case 'c': return -2;
        case 'm': return -3;
        case 'u': return -6;
        case 'n': return -9;
        default: return 0;
    }
}

// Decimal digits as an integer of StrToInt's range (an optional sign first).
bool ParseInt32(std::string_view s, int64_t& out) {
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    int64_t value = 0;
    for (char c : s) {
        if (!IsDigit(c)) return false;
        value = value * 10 + (c - '0');
        if (value > int64_t(2147483648)) return false;
    }
    if (negative) value = -value;
    if (value > 2147483647 || value < -2147483648LL) return false;
    out = value;
    return true;
}

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return c;
}

// A decimal number (blanks around allowed, "." as separator, an exponent allowed) times
// 10^extraExponent, rounded once. Folding the prefix and the exponent into the text that
// is converted gives the double nearest to the decimal value (2.4e9, 0.005, -0.05 exactly
// as written) instead of the error of a second multiplication.
bool ParseScaledDecimal(std::string_view s, int64_t extraExponent, double& out) {
    s = Trim(s);
    thread_local std::string text;
    text.clear();
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') text += '-';
        ++i;
    }
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) text += s[i++], ++digits;
    int64_t exponent = extraExponent;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) text += s[i++], ++digits, --exponent;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
        if (i == s.size() || !IsDigit(s[i])) return false;
        int64_t own = 0;
        while (i < s.size() && IsDigit(s[i])) {
            if (own < 1000000000) own = own * 10 + (s[i] - '0');  // beyond: inf or 0 anyway
            ++i;
        }
        exponent += negative ? -own : own;
    }
    if (i != s.size()) return false;

    // Up to 15 digits and a power of ten up to 22 are exact doubles, so one multiplication
    // or division rounds once and gives the same double as the conversion of the text.
    static const double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                     1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const bool negative = !text.empty() && text[0] == '-';
    if (digits <= 15 && exponent >= -22 && exponent <= 22) {
        int64_t mantissa = 0;
        for (size_t k = negative ? 1 : 0; k < text.size(); ++k) mantissa = mantissa * 10 + (text[k] - '0');
        double value = double(mantissa);
        value = exponent >= 0 ? value * kPowers[exponent] : value / kPowers[-exponent];
        out = negative ? -value : value;
        return true;
    }
    text += 'e';
    text += std::to_string(exponent);
    const double value = strtod_l(text.c_str(), nullptr, CLocale());
    if (!std::isfinite(value)) return false;  // too large for a double
    out = value;
    return true;
}

}  // namespace

bool ParseMeasurement(std::string_view input, double& out) {
    thread_local std::string buffer;
    RemoveUnits(Trim(input), buffer);
    std::string_view s = Trim(buffer);

    int64_t exponent = 0;
    if (!s.empty()) {
        exponent = PrefixExponent(s.back());
        if (exponent != 0) s.remove_suffix(1);
    }

    // An exponent at the end: [eE][+-]?\d+ running to the end of the text.
    size_t start = s.size();
    while (start > 0 && IsDigit(s[start - 1])) --start;
    if (start < s.size() && start > 0) {
        size_t e = start - 1;
        if ((s[e] == '+' || s[e] == '-') && e > 0) --e;
        if (s[e] == 'e' || s[e] == 'E') {
            int64_t power = 0;
            if (!ParseInt32(s.substr(e + 1), power)) return false;
            exponent += power;
            s = s.substr(0, e);
        }
    }
    return ParseScaledDecimal(s, exponent, out);
}

Value SplitText(std::string_view text, std::string_view separator) {
    size_t count = 0;
    if (!text.empty() && !separator.empty()) {
        for (size_t pos = text.find(separator); pos != std::string_view::npos;
             pos = text.find(separator, pos + separator.size()))
            ++count;
    }
    if (count + 1 > quillon::script::kMaxArrayItems)
        throw RuntimeError("Split: too many parts (" + std::to_string(count + 1) + ")");
    Value result = Value::array(0, count + 1);
    std::vector<Value>& items = result.mutableArray().items;
    size_t start = 0;
    for (size_t k = 0; k < count; ++k) {
        const size_t pos = text.find(separator, start);
        items[k] = Value(text.substr(start, pos - start));
        start = pos + separator.size();
    }
    items[count] = Value(text.substr(start));
    return result;
}

Value ScriptLibrary::MessageDlg(const std::string&, int64_t, int64_t) {
    // Declared so that rules written for it compile; it shows nothing and answers 0.
    return Value(int64_t(0));
}

void ScriptLibrary::ShowMessage(const std::string& text) {
    if (ExecutorChannel* channel = executor_.Channel)
        channel->ShowMessageOnMain(text);
    else
        tv::ShowPlainNotice(text);
}

void ScriptLibrary::LogEvent(const std::string& text) { executor_.AddEvent(text); }

void ScriptLibrary::Wait(int64_t milliseconds) {
    using Clock = std::chrono::steady_clock;
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
    // In slices, so that an abort or a stop request does not wait out a long pause.
    const Clock::time_point start = Clock::now();
    for (;;) {
        if (executor_.AbortRequested()) throw RuntimeError("Script aborted", 0, 0, true);
        if (executor_.Channel != nullptr && executor_.Channel->StopRequested()) return;
        const int64_t elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (elapsed >= milliseconds) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<int64_t>(milliseconds - elapsed, 10)));
    }
}

void ScriptLibrary::ElementTexts(const Value& array, std::vector<std::string>& out) {
    const std::vector<Value>& items = array.rawArray().items;
    out.resize(items.size());
    for (size_t j = 0; j < items.size(); ++j) {
        const Value& item = items[j];
        if (item.isString())
            out[j].assign(item.rawString());
        else
            out[j] = item.toString();
    }
}

void ScriptLibrary::Report(const std::string& text) {
    executor_.AddEvent(text);
    tvGn::ShowMsg(text, tvMsgError, tvBtnOK, 0);
}

bool ScriptLibrary::SaveResult(const std::string& table, const Value& names, const Value& values) {
    if (!names.isArray()) throw RuntimeError("SaveResult: the field names must be an array");
    if (!values.isArray()) throw RuntimeError("SaveResult: the field values must be an array");
    if (executor_.ConnectionID < 0 && executor_.GetResultWriter() == nullptr &&
        names.low() == values.low() && names.high() == values.high()) {
        // Nothing is written, so the texts are not needed; only the error that making them
        // would raise (an element that is an array has no text) is kept.
        for (const Value* array : {&names, &values})
            for (const Value& item : array->rawArray().items)
                if (item.isArray()) throw RuntimeError("Type mismatch: an array has no text");
        return true;
    }
    ElementTexts(names, names_);
    ElementTexts(values, values_);
    if (names.low() != values.low() || names.high() != values.high()) {
        Report("The counts of field names [" + tvGn::SerializeArrayStr(names_, ',') +
               "] and field values [" + tvGn::SerializeArrayStr(values_, ',') + "] must tally!");
        return false;
    }
    if (ResultWriter* writer = executor_.GetResultWriter()) return writer->WriteRow(table, names_, values_);
    if (executor_.ConnectionID < 0) return true;
    if (tvDa::InsertRecord(executor_.ConnectionID, table.c_str(), names_, values_) == 1) return true;
    Report("Error occurred while saving data [" + tvGn::SerializeArrayStr(names_, ',') + "] [" +
           tvGn::SerializeArrayStr(values_, ',') + "]!");
    return false;
}

double ScriptLibrary::ParseToFloat(std::string_view input) {
    double value = 0;
    if (ParseMeasurement(input, value)) return value;
    tvGn::ShowMsg("Parsing string '" + std::string(input) + "' to float error!", tvMsgError, tvBtnOK, 0);
    return 0;
}

double ScriptLibrary::Log10(double x) {
    // A logarithm of zero or less has no number; handing -INF or NAN on would put it into
    // the repository as text.
    if (!(x > 0)) throw RuntimeError("Invalid argument to Log10");
    return std::log10(x);
}

double ScriptLibrary::Power(double base, double exponent) {
    const double result = std::pow(base, exponent);
    if (std::isnan(result)) throw RuntimeError("Invalid argument to Power");
    if (std::isinf(result) && std::isfinite(base) && std::isfinite(exponent))
        throw RuntimeError("Floating point overflow in Power");
    return result;
}
