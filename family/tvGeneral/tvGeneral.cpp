// The exported entries of libtvGeneral.so. They translate between the C contract
// (nullable texts, malloc'ed results, 0/1 booleans) and the modules of this folder, and
// never let an exception cross the boundary: a failure comes back as the entry's failure
// value (0, an empty count, a null text).
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "AmountWords.h"
#include "ArrayText.h"
#include "IniFile.h"
#include "LogFile.h"
#include "MessageBox.h"
#include "ProgramFolder.h"
#include "TextCheck.h"
#include "tvGeneralApi.h"

namespace {

using namespace tvgeneral;

std::string_view View(const char* text) { return text != nullptr ? text : std::string_view(); }

// A malloc'ed copy for the caller to free; null only when memory runs out.
char* Copy(std::string_view text) {
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy == nullptr) return nullptr;
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

template <typename Result, typename Body>
Result Guarded(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

// Lenient reading of a stored flag: 1/0, true/false, yes/no in any letter case.
int ParseFlag(std::string_view text, int defaultValue) {
    std::string lower;
    for (const char c : text) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower == "1" || lower == "true" || lower == "yes") return 1;
    if (lower == "0" || lower == "false" || lower == "no") return 0;
    return defaultValue;
}

bool UsableFileName(const char* name) { return name != nullptr && *name != '\0'; }

}  // namespace

// A null text counts as empty and is accepted, like "" (see IsAlphaNum).
TV_EXPORT int CheckAlphaNum(const char* text) {
    return Guarded(0, [&] { return IsAlphaNum(View(text)) ? 1 : 0; });
}

// The help context has no use here and is ignored.
TV_EXPORT int ShowMsg(const char* text, int kind, int buttons, int /*helpContext*/) {
    return Guarded(DefaultAnswer(buttons), [&] { return ShowMessage(View(text), kind, buttons); });
}

TV_EXPORT char* SerializeArrayInt(const int32_t* items, int32_t count, char separator) {
    return Guarded<char*>(nullptr, [&] { return Copy(JoinInts(items, count, separator)); });
}

TV_EXPORT char* SerializeArrayStr(const char* const* items, int32_t count, char separator) {
    return Guarded<char*>(nullptr, [&] { return Copy(JoinTexts(items, count, separator)); });
}

// `items` may be null when only the count is wanted.
TV_EXPORT int32_t GetArrayInt(const char* text, int32_t** items) {
    if (items != nullptr) *items = nullptr;
    return Guarded<int32_t>(0, [&]() -> int32_t {
        const std::vector<int32_t> values = SplitInts(View(text), ';');
        if (values.empty() || items == nullptr) return static_cast<int32_t>(values.size());
        auto* out = static_cast<int32_t*>(std::malloc(values.size() * sizeof(int32_t)));
        if (out == nullptr) return 0;
        std::memcpy(out, values.data(), values.size() * sizeof(int32_t));
        *items = out;
        return static_cast<int32_t>(values.size());
    });
}

// `items` may be null when only the count is wanted.
TV_EXPORT int32_t GetArrayStr(const char* text, char separator, char*** items) {
    if (items != nullptr) *items = nullptr;
    return Guarded<int32_t>(0, [&]() -> int32_t {
        const std::vector<std::string> values = SplitTexts(View(text), separator);
        if (values.empty() || items == nullptr) return static_cast<int32_t>(values.size());
        auto* out = static_cast<char**>(std::calloc(values.size(), sizeof(char*)));
        if (out == nullptr) return 0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            out[i] = Copy(values[i]);
            if (out[i] == nullptr) {
                for (std::size_t j = 0; j < i; ++j) std::free(out[j]);
                std::free(out);
                return 0;
            }
        }
        *items = out;
        return static_cast<int32_t>(values.size());
    });
}

// The removed text is not freed: it is moved behind the new end (items[result]), where a
// caller that owns it can free it.
TV_EXPORT int32_t RemoveArrayItemStr(char** items, int32_t count, int32_t index) {
    return RemoveItem(items, count, index);
}

TV_EXPORT int32_t RemoveArrayItemInt(int32_t* items, int32_t count, int32_t index) {
    return RemoveItem(items, count, index);
}

TV_EXPORT int32_t RemoveArrayItemDbl(double* items, int32_t count, int32_t index) {
    return RemoveItem(items, count, index);
}

// A missing file, section or key, or an unreadable file, gives the default (a null default
// counts as "").
TV_EXPORT char* GetInitSettingStr(const char* section, const char* key, const char* fileName,
                                  const char* defaultValue) {
    return Guarded<char*>(nullptr, [&] {
        if (!UsableFileName(fileName)) return Copy(View(defaultValue));
        const auto value = ReadIniValue(ResolveFileName(fileName), View(section), View(key));
        return Copy(value ? std::string_view(*value) : View(defaultValue));
    });
}

// A stored text that is not a recognised flag gives the default as well.
TV_EXPORT int GetInitSettingBool(const char* section, const char* key, const char* fileName,
                                 int defaultValue) {
    const int fallback = defaultValue != 0 ? 1 : 0;
    return Guarded(fallback, [&] {
        if (!UsableFileName(fileName)) return fallback;
        const auto value = ReadIniValue(ResolveFileName(fileName), View(section), View(key));
        return value ? ParseFlag(*value, fallback) : fallback;
    });
}

// 1 when written; 0 when the names or the value cannot be stored in an INI line (blank
// names, line breaks, ']' in a section, '=' in a key) or the file cannot be written.
TV_EXPORT int SetInitSettingStr(const char* section, const char* key, const char* value,
                                const char* fileName) {
    return Guarded(0, [&] {
        if (!UsableFileName(fileName)) return 0;
        return WriteIniValue(ResolveFileName(fileName), View(section), View(key), View(value))
                   ? 1 : 0;
    });
}

// Written as 1 or 0.
TV_EXPORT int SetInitSettingBool(const char* section, const char* key, int value,
                                 const char* fileName) {
    return SetInitSettingStr(section, key, value != 0 ? "1" : "0", fileName);
}

TV_EXPORT int AddLog(const char* text, const char* fileName) {
    return Guarded(0, [&] {
        if (!UsableFileName(fileName)) return 0;
        return AppendLine(ResolveFileName(fileName), View(text)) ? 1 : 0;
    });
}

// An empty text for amounts that cannot be spelt (see AmountInWords).
TV_EXPORT char* VerboseAmount(double amount) {
    return Guarded<char*>(nullptr, [&] { return Copy(AmountInWords(amount)); });
}
