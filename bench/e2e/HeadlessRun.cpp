#include "HeadlessRun.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <vector>

extern char** environ;

namespace benche2e {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

bool Contains(const std::string& line, const char* text) { return line.find(text) != std::string::npos; }

// The bench's environment for the program: its own libraries only (no LD_LIBRARY_PATH),
// the given home, no display needed.
std::vector<std::string> ProgramEnvironment(const std::string& home) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("LD_LIBRARY_PATH=", 0) == 0 || entry.rfind("QUILLON_HOME=", 0) == 0 ||
            entry.rfind("QT_QPA_PLATFORM=", 0) == 0)
            continue;
        env.push_back(entry);
    }
    env.push_back("QUILLON_HOME=" + home);
    env.push_back("QT_QPA_PLATFORM=offscreen");
    return env;
}

// Waits up to `timeoutS` for the child; its exit status, or -1 (then it is killed).
int WaitForExit(pid_t pid, double timeoutS) {
    const auto deadline = Clock::now() + std::chrono::duration<double>(timeoutS);
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0) return -1;
        if (Clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        usleep(20000);
    }
}

}  // namespace

RoadFigures RunHeadless(const std::string& program, const std::string& home, int files, double timeoutS,
                        const std::string& errorFile) {
    RoadFigures figures;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        figures.error = std::string("pipe: ") + std::strerror(errno);
        return figures;
    }
    std::vector<std::string> env = ProgramEnvironment(home);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string arg0 = program, arg1 = "--headless";
    char* argv[] = {arg0.data(), arg1.data(), nullptr};

    const auto started = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) dup2(err, STDERR_FILENO);
        const int nothing = open("/dev/null", O_RDONLY);
        if (nothing >= 0) dup2(nothing, STDIN_FILENO);
        if (chdir(home.c_str()) != 0) _exit(126);
        execve(program.c_str(), argv, envp.data());
        _exit(127);
    }
    close(out[1]);
    if (pid < 0) {
        close(out[0]);
        figures.error = std::string("fork: ") + std::strerror(errno);
        return figures;
    }

    // Every monitor line is read as soon as it is written, so the pipe never holds the
    // program back and the times are those of the lines themselves.
    Clock::time_point firstFile{}, lastCompleted{};
    bool sawFile = false, failed = false, ended = false;
    std::string pending;
    char buffer[1 << 16];
    const auto deadline = started + std::chrono::duration<double>(timeoutS);
    while (!ended && figures.filesCompleted < files && !failed) {
        const auto now = Clock::now();
        if (now > deadline) {
            figures.error = "timed out after " + std::to_string(static_cast<int>(timeoutS)) + " s";
            break;
        }
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 200) <= 0) continue;
        const ssize_t got = read(out[0], buffer, sizeof buffer);
        if (got <= 0) {
            ended = got == 0 || errno != EINTR;
            continue;
        }
        const auto at = Clock::now();
        pending.append(buffer, static_cast<size_t>(got));
        size_t start = 0;
        for (size_t nl; (nl = pending.find('\n', start)) != std::string::npos; start = nl + 1) {
            const std::string line = pending.substr(start, nl - start);
            ++figures.monitorLines;
            if (Contains(line, "Processing line \"")) {
                ++figures.linesProcessed;
            } else if (Contains(line, "Processing file \"")) {
                if (!sawFile) firstFile = at;
                sawFile = true;
            } else if (Contains(line, "Completed processing file \"")) {
                ++figures.filesCompleted;
                lastCompleted = at;
            } else if (Contains(line, "Error while processing file") || Contains(line, "Error starting channel")) {
                failed = true;
                figures.error = line;
            }
        }
        pending.erase(0, start);
    }
    if (ended && figures.error.empty() && figures.filesCompleted < files) figures.error = "the program ended early";

    kill(pid, SIGTERM);
    // Keep reading so that the program never blocks on a full pipe while it stops.
    const auto stopDeadline = Clock::now() + std::chrono::seconds(30);
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            figures.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        if (Clock::now() > stopDeadline) {
            figures.exitStatus = WaitForExit(pid, 0);
            break;
        }
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 20) > 0 && read(out[0], buffer, sizeof buffer) <= 0) usleep(20000);
    }
    close(out[0]);

    if (sawFile) figures.startupS = Seconds(started, firstFile);
    if (figures.filesCompleted > 0) figures.roadS = Seconds(firstFile, lastCompleted);
    figures.ok = figures.error.empty() && figures.filesCompleted >= files && figures.exitStatus == 0;
    if (figures.error.empty() && figures.exitStatus != 0)
        figures.error = "exit status " + std::to_string(figures.exitStatus) + " after SIGTERM";
    return figures;
}

}  // namespace benche2e
