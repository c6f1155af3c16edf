#include "ProgramFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace tvgeneral {

std::string ProgramFolder() {
    const char* home = std::getenv("QUILLON_HOME");
    if (home != nullptr && *home != '\0') {
        std::string folder(home);
        if (folder.back() != '/') folder += '/';
        return folder;
    }
    std::vector<char> buffer(4096);
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return "./";
    std::string exe(buffer.data(), static_cast<std::size_t>(n));
    const std::size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

std::string ResolveFileName(std::string_view name) {
    if (name.find('/') != std::string_view::npos) return std::string(name);
    return ProgramFolder() + std::string(name);
}

}  // namespace tvgeneral
