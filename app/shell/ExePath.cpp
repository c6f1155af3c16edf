#include "ExePath.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

std::string WithTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

const char* Home() {
    const char* home = std::getenv("QUILLON_HOME");
    return home != nullptr && *home != '\0' ? home : nullptr;
}

}  // namespace

std::string ExecutablePath() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

bool HomeOverridden() { return Home() != nullptr; }

const std::string& ExePath() {
    static const std::string path = [] {
        namespace fs = std::filesystem;
        std::error_code ec;
        if (const char* home = Home())
            return WithTrailingSlash(fs::absolute(home, ec).lexically_normal().string());
        const std::string exe = ExecutablePath();
        if (!exe.empty()) return WithTrailingSlash(fs::path(exe).parent_path().string());
        // No /proc: the current folder is the best guess left.
        return WithTrailingSlash(fs::current_path(ec).string());
    }();
    return path;
}
