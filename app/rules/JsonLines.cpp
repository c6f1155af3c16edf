#include "JsonLines.h"

namespace {

void AppendJsonArray(std::string& out, const std::vector<std::string>& items) {
    out += '[';
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out += ',';
        AppendJsonString(out, items[i]);
    }
    out += ']';
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string JsonRowLine(std::string_view table, const std::vector<std::string>& names,
                        const std::vector<std::string>& values) {
    std::string out = "{\"table\":";
    AppendJsonString(out, table);
    out += ",\"names\":";
    AppendJsonArray(out, names);
    out += ",\"values\":";
    AppendJsonArray(out, values);
    out += '}';
    return out;
}

std::string JsonEventLine(std::string_view text) {
    std::string out = "{\"event\":";
    AppendJsonString(out, text);
    out += '}';
    return out;
}

std::string JsonErrorLine(std::string_view text, int32_t line, int32_t character) {
    std::string out = "{\"error\":";
    AppendJsonString(out, text);
    out += ",\"line\":" + std::to_string(line) + ",\"char\":" + std::to_string(character) + '}';
    return out;
}
