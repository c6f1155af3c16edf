#include "ArrayText.h"

#include <charconv>

namespace tvgeneral {
namespace {

std::string_view TrimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string JoinInts(const int32_t* items, int32_t count, char separator) {
    std::string text;
    if (items == nullptr) return text;
    for (int32_t i = 0; i < count; ++i) {
        if (i > 0) text += separator;
        text += std::to_string(items[i]);
    }
    return text;
}

std::string JoinTexts(const char* const* items, int32_t count, char separator) {
    std::string text;
    if (items == nullptr) return text;
    for (int32_t i = 0; i < count; ++i) {
        if (i > 0) text += separator;
        if (items[i] != nullptr) text += items[i];
    }
    return text;
}

std::vector<int32_t> SplitInts(std::string_view text, char separator) {
    std::vector<int32_t> result;
    for (const std::string& raw : SplitTexts(text, separator)) {
        std::string_view item = TrimBlanks(raw);
        if (!item.empty() && item.front() == '+') item.remove_prefix(1);
        int32_t value = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
        if (!item.empty() && error == std::errc() && end == item.data() + item.size())
            result.push_back(value);
    }
    return result;
}

std::vector<std::string> SplitTexts(std::string_view text, char separator) {
    std::vector<std::string> result;
    if (text.empty()) return result;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            result.emplace_back(text.substr(start));
            return result;
        }
        result.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace tvgeneral
