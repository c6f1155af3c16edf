#include "LogFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

namespace tvgeneral {

bool AppendLine(const std::string& path, std::string_view text) {
    std::string line;
    line.reserve(text.size() + 1);
    line.append(text);
    line += '\n';

    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    // One write() normally takes the whole line. Should it come back short (a full disk, a
    // signal), the rest follows under this lock, so at least the threads of this process
    // cannot slip their lines into the gap.
    static std::mutex writers;
    bool ok = true;
    {
        std::lock_guard<std::mutex> lock(writers);
        std::string_view rest = line;
        while (!rest.empty()) {
            const ssize_t n = write(fd, rest.data(), rest.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ok = false;
                break;
            }
            rest.remove_prefix(static_cast<std::size_t>(n));
        }
    }
    return close(fd) == 0 && ok;
}

}  // namespace tvgeneral
