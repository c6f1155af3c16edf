#include "DemoLines.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace benche2e {

std::string DemoLine(int index) {
    static const char* const kFrequencies[] = {"2.4GHz", "5.8GHz", "900MHz", "433MHz", "868MHz"};
    static const char* const kSupplies[] = {"12 V", "11.8 V", "12.2 V", "11.9 V"};
    const int day = 1 + (index / 86400) % 28;
    const int second = index % 86400;
    char line[96];
    std::snprintf(line, sizeof line, "2026-01-%02d %02d:%02d:%02d;CH%02d;%s;-%ddBm;%s", day, second / 3600,
                  second / 60 % 60, second % 60, 1 + index % 16, kFrequencies[index % 5], 30 + index % 60,
                  kSupplies[index % 4]);
    return line;
}

std::string WriteDemoFiles(const std::string& folder, int lines, int files) {
    int next = 0;
    for (int f = 0; f < files; ++f) {
        const int count = lines / files + (f < lines % files ? 1 : 0);
        char name[32];
        std::snprintf(name, sizeof name, "e2e_%02d.txt", f);
        const std::string path = folder + name;
        // Written under another extension and renamed, so the channel never takes a
        // half-written file.
        const std::string partial = path + ".part";
        std::FILE* out = std::fopen(partial.c_str(), "wb");
        if (out == nullptr) return partial + ": " + std::strerror(errno);
        for (int i = 0; i < count; ++i) {
            const std::string line = DemoLine(next++);
            std::fwrite(line.data(), 1, line.size(), out);
            std::fputc('\n', out);
        }
        const bool written = std::ferror(out) == 0;
        if (std::fclose(out) != 0 || !written) return partial + ": write failed";
        if (std::rename(partial.c_str(), path.c_str()) != 0) return path + ": " + std::strerror(errno);
    }
    return {};
}

}  // namespace benche2e
