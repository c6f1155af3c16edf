#include "FilePattern.h"

#include <dirent.h>
#include <sys/stat.h>

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string ChannelFilePattern(const std::string& startsWith, const std::string& endsWith,
                               const std::string& fileExt) {
    return startsWith + "*" + endsWith + (fileExt.empty() ? std::string("*") : fileExt);
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    // Iterative matching with one back-tracking point: linear for patterns of this kind.
    size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<std::string> MatchingFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (!WildcardMatch(pattern, name)) continue;
        struct stat info {};
        const std::string path = folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
        if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        names.push_back(name);
    }
    closedir(dir);
    return names;
}
