#include "TextFileLines.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

std::vector<std::string> SplitTextLines(std::string_view content) {
    const size_t nul = content.find('\0');
    if (nul != std::string_view::npos) content = content.substr(0, nul);
    std::vector<std::string> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < content.size()) {
        const char c = content[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.emplace_back(content.substr(start, i - start));
        i += (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < content.size()) lines.emplace_back(content.substr(start));
    return lines;
}

bool ReadWholeFile(const std::string& path, std::string& content, std::string& error) {
    content.clear();
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    char buffer[1 << 16];
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        content.append(buffer, n);
        if (n < sizeof buffer) break;
    }
    if (std::ferror(file.get())) {
        // A folder opens but cannot be read (EISDIR).
        error = std::strerror(errno != 0 ? errno : EIO);
        content.clear();
        return false;
    }
    return true;
}

std::string RuleTextFromLines(const std::vector<std::string>& lines) {
    std::string text;
    size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}
