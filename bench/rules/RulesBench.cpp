// Figures of the rule executor on the demo rules of rules/: compile time, and time per
// line over generated measurement lines (SaveResult to no repository, ConnectionID -1),
// beside the same work in Lua 5.4 (demo.lua, run as a child process over the same lines).
//
// Usage: bench_rules [LINES]   (default 200000)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ScriptExecutor.h"
#include "TextFileLines.h"

using Clock = std::chrono::steady_clock;

namespace {

double Nanoseconds(Clock::duration d) { return std::chrono::duration<double, std::nano>(d).count(); }

// Lines like "2026-12-11 10:00:00;CH01;2.4GHz;-50dbm;12 V" with varied units and prefixes.
std::vector<std::string> MakeLines(size_t count) {
    const char* frequencies[] = {"2.4GHz", "3kHz", "868.3MHz", "1.5e3k", "50Hz"};
    const char* levels[] = {"-50dbm", "-50dBm", "-30dBc", "-71.5dbm", "-3dB"};
    const char* supplies[] = {"12 V", "5mV", "3.3V", "230V", "24 V"};
    std::vector<std::string> lines;
    lines.reserve(count);
    char buffer[128];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(buffer, sizeof buffer, "2026-12-%02zu %02zu:%02zu:%02zu;CH%02zu;%s;%s;%s", 1 + i % 28,
                      i / 3600 % 24, i / 60 % 60, i % 60, i % 16, frequencies[i % 5], levels[i / 5 % 5],
                      supplies[i / 25 % 5]);
        lines.emplace_back(buffer);
    }
    return lines;
}

struct Figures {
    double compileMicros = 0;
    double nsPerLine = 0;
};

Figures Measure(const std::string& ruleFile, const std::vector<std::string>& lines) {
    std::string content, error;
    if (!ReadWholeFile(ruleFile, content, error)) {
        std::fprintf(stderr, "%s: %s\n", ruleFile.c_str(), error.c_str());
        std::exit(1);
    }
    const std::string rule = RuleTextFromLines(SplitTextLines(content));
    TdmScriptExecutor executor;
    executor.Init(-1, nullptr);
    executor.SetSyntaxFromRuleFile(ruleFile);
    int32_t line = 0, character = 0;

    Figures f;
    // Compile: the best mean over a few batches.
    const int kCompiles = 500;
    f.compileMicros = 1e300;
    for (int batch = 0; batch < 5; ++batch) {
        const Clock::time_point t0 = Clock::now();
        for (int i = 0; i < kCompiles; ++i) {
            if (!executor.Compile(rule, line, character, false)) {
                std::fprintf(stderr, "%s: %s at %d:%d\n", ruleFile.c_str(), executor.LastError().c_str(), line,
                             character);
                std::exit(1);
            }
        }
        f.compileMicros = std::min(f.compileMicros, Nanoseconds(Clock::now() - t0) / kCompiles / 1000);
    }

    // Lines: compiled at the first line as a channel does, the best of three passes.
    f.nsPerLine = 1e300;
    for (int pass = 0; pass < 3; ++pass) {
        const Clock::time_point t0 = Clock::now();
        bool first = true;
        for (const std::string& text : lines) {
            executor.Execute(rule, line, character, false, text, first);
            first = false;
        }
        f.nsPerLine = std::min(f.nsPerLine, Nanoseconds(Clock::now() - t0) / double(lines.size()));
    }
    return f;
}

// Runs demo.lua over the lines; false when lua5.4 is not there.
bool MeasureLua(const std::vector<std::string>& lines, double& ns, double& nsTexts) {
    char path[] = "/tmp/bench_rules_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return false;
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    const bool written = write(fd, all.data(), all.size()) == ssize_t(all.size());
    close(fd);
    bool ok = false;
    if (written) {
        const std::string command = std::string("lua5.4 ") + QUILLON_BENCH_DIR "/demo.lua " + path;
        if (std::FILE* p = popen(command.c_str(), "r")) {
            ok = std::fscanf(p, "%lf %lf", &ns, &nsTexts) == 2;
            ok = pclose(p) == 0 && ok;
        }
    }
    unlink(path);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200000;
    const std::vector<std::string> lines = MakeLines(count);

    double lua = 0, luaTexts = 0;
    const bool haveLua = MeasureLua(lines, lua, luaTexts);
    std::printf("Demo rule over %zu lines (SaveResult to no repository)\n", count);
    if (haveLua)
        std::printf("Lua 5.4: %.0f ns/line (row table), %.0f ns/line (row table and texts)\n", lua, luaTexts);
    else
        std::printf("Lua 5.4: not measured (lua5.4 missing or failed)\n");
    std::printf("%-12s %12s %12s %14s\n", "rule", "compile us", "ns/line", "share of Lua");
    for (const char* file : {"demo.arp", "demo.arc", "demo.arb"}) {
        const Figures f = Measure(std::string(QUILLON_RULES_DIR "/") + file, lines);
        if (haveLua)
            std::printf("%-12s %12.1f %12.0f %13.2fx\n", file, f.compileMicros, f.nsPerLine, f.nsPerLine / lua);
        else
            std::printf("%-12s %12.1f %12.0f %14s\n", file, f.compileMicros, f.nsPerLine, "-");
    }
    std::printf("Goals: per line at most 0.5x of Lua (row table) in every syntax; compile under 100 us.\n");
    return 0;
}
