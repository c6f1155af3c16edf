// Ownership helper for texts that a family library returns (malloc'ed, freed by us).
#pragma once

#include <cstdlib>
#include <string>

namespace tv {

inline std::string TakeText(char* text) {
    if (text == nullptr) return {};
    std::string result(text);
    std::free(text);
    return result;
}

}  // namespace tv
