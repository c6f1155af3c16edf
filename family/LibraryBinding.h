// One family library loaded by file name: its module handle and one slot per entry name.
// A binding never throws and never lets a caller jump through an empty slot: the typed
// wrappers in the tv*Header modules return a failure value instead and report once.
#pragma once

#include <atomic>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace tv {

class LibraryBinding {
public:
    LibraryBinding(std::string fileName, std::initializer_list<const char*> entryNames);
    ~LibraryBinding();
    LibraryBinding(const LibraryBinding&) = delete;
    LibraryBinding& operator=(const LibraryBinding&) = delete;

    // Loads the library by its bare file name (the RUNPATH of the calling object, i.e. the
    // program folder, is searched first) and resolves every entry in order. On failure
    // shows "<file> not loaded!" as a plain notice and leaves every slot empty.
    bool Load();
    // Releases the module; every slot is empty afterwards.
    void Release();

    bool Loaded() const { return module_ != nullptr; }
    const std::string& FileName() const { return fileName_; }

    // The entry at `index` of the name list, or null. A null result is reported on
    // standard error the first time it happens for this library.
    void* Slot(std::size_t index) const;

    template <typename Fn>
    Fn Entry(std::size_t index) const {
        return reinterpret_cast<Fn>(Slot(index));
    }

private:
    std::string fileName_;
    std::vector<const char*> names_;
    std::vector<void*> slots_;
    void* module_ = nullptr;
    mutable std::atomic<bool> reported_{false};
};

}  // namespace tv
