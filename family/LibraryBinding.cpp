#include "LibraryBinding.h"

#include <dlfcn.h>

#include <cstdio>

#include "PlainNotice.h"

namespace tv {

LibraryBinding::LibraryBinding(std::string fileName, std::initializer_list<const char*> entryNames)
    : fileName_(std::move(fileName)), names_(entryNames), slots_(names_.size(), nullptr) {}

LibraryBinding::~LibraryBinding() { Release(); }

bool LibraryBinding::Load() {
    if (module_ != nullptr) return true;
    module_ = dlopen(fileName_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr) {
        ShowPlainNotice(fileName_ + " not loaded!");
        return false;
    }
    for (std::size_t i = 0; i < names_.size(); ++i) slots_[i] = dlsym(module_, names_[i]);
    return true;
}

void LibraryBinding::Release() {
    for (auto& slot : slots_) slot = nullptr;
    if (module_ != nullptr) {
        dlclose(module_);
        module_ = nullptr;
    }
}

void* LibraryBinding::Slot(std::size_t index) const {
    void* slot = index < slots_.size() ? slots_[index] : nullptr;
    if (slot == nullptr && !reported_.exchange(true)) {
        if (module_ == nullptr)
            std::fprintf(stderr, "%s not loaded!\n", fileName_.c_str());
        else
            std::fprintf(stderr, "%s has no entry %s!\n", fileName_.c_str(),
                         index < names_.size() ? names_[index] : "?");
    }
    return slot;
}

}  // namespace tv
