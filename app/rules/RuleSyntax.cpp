#include "RuleSyntax.h"

namespace {

// The extension of the last path component, with its dot; empty when it has none.
std::string_view Extension(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

}  // namespace

const char* SyntaxForRuleFile(std::string_view path) {
    const std::string_view ext = Extension(path);
    if (ext == ".arb") return kBasicSyntax;
    if (ext == ".arc") return kCppSyntax;
    if (ext == ".arp") return kPascalSyntax;
    return nullptr;
}
