#include "ProcessedFileMove.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ErrorText(int error) { return strerror(error); }

// Copies `source` into a new file `target` (never an existing one); the errno on failure.
int CopyToNewFile(const std::string& source, const std::string& target) {
    const int in = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    struct stat info {};
    fstat(in, &info);
    const int out = open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
    if (out < 0) {
        const int error = errno;
        close(in);
        return error;
    }
    char buffer[1 << 16];
    int error = 0;
    for (;;) {
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            error = errno;
            break;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = write(out, buffer + done, static_cast<size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                error = errno;
                break;
            }
            done += put;
        }
        if (error != 0) break;
    }
    if (error == 0 && fsync(out) != 0) error = errno;
    close(out);
    close(in);
    if (error != 0) unlink(target.c_str());
    return error;
}

// One attempt at `target`: 0, EEXIST, or another errno.
int MoveOnce(const std::string& source, const std::string& target) {
    if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return 0;
    int error = errno;
    if (error == EINVAL || error == ENOSYS) {
        // File systems without the no-replace rename: a hard link never replaces either.
        if (link(source.c_str(), target.c_str()) == 0) {
            unlink(source.c_str());
            return 0;
        }
        error = errno;
    }
    if (error != EXDEV) return error;
    error = CopyToNewFile(source, target);
    if (error != 0) return error;
    if (unlink(source.c_str()) != 0) {
        // Both copies exist now; keep the source, which is the one that will be retried.
        error = errno;
        unlink(target.c_str());
        return error;
    }
    return 0;
}

}  // namespace

std::string NumberedName(const std::string& path, int n) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) dot = path.size();  // no extension (".profile" is a name)
    return path.substr(0, dot) + " (" + std::to_string(n) + ")" + path.substr(dot);
}

MoveOutcome MoveWithoutReplacing(const std::string& source, const std::string& target) {
    MoveOutcome outcome;
    int error = MoveOnce(source, target);
    if (error == 0) {
        outcome.kind = MoveOutcome::Moved;
        outcome.target = target;
        return outcome;
    }
    for (int n = 2; error == EEXIST && n < 100000; ++n) {
        const std::string candidate = NumberedName(target, n);
        error = MoveOnce(source, candidate);
        if (error == 0) {
            outcome.kind = MoveOutcome::MovedRenamed;
            outcome.target = candidate;
            return outcome;
        }
    }
    outcome.error = ErrorText(error);
    return outcome;
}
