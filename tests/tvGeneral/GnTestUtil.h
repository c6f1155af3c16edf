// Small helpers shared by the tests of libtvGeneral.so.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "TakeText.h"

namespace gntest {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Sets (or, with null, unsets) QUILLON_HOME for the life of the object.
class ScopedHome {
public:
    explicit ScopedHome(const char* value) {
        if (const char* old = std::getenv("QUILLON_HOME")) old_ = old, had_ = true;
        if (value != nullptr) setenv("QUILLON_HOME", value, 1);
        else unsetenv("QUILLON_HOME");
    }
    ~ScopedHome() {
        if (had_) setenv("QUILLON_HOME", old_.c_str(), 1);
        else unsetenv("QUILLON_HOME");
    }
    ScopedHome(const ScopedHome&) = delete;
    ScopedHome& operator=(const ScopedHome&) = delete;

private:
    std::string old_;
    bool had_ = false;
};

}  // namespace gntest
