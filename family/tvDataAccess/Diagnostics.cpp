#include "Diagnostics.h"

#include <unistd.h>

#include <cerrno>

namespace tvda {
namespace {

constexpr std::size_t kMaxArgument = 200;

// Line breaks and other control bytes would split or garble the one-line report.
void AppendFlat(std::string& out, std::string_view text) {
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        out += u < 0x20 || u == 0x7f ? ' ' : c;
    }
}

}  // namespace

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    AppendFlat(out, text.substr(0, kMaxArgument));
    out += '"';
    if (text.size() > kMaxArgument) out += "...";
    return out;
}

std::string Quoted(const char* text) {
    return text == nullptr ? std::string("null") : Quoted(std::string_view(text));
}

void Report(std::string_view context, std::string_view cause) {
    std::string line = "tvDataAccess: ";
    AppendFlat(line, context);
    line += ": ";
    AppendFlat(line, cause);
    line += '\n';
    const char* p = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

}  // namespace tvda
