#include "DirectCallGate.h"

void DirectCallGate::Enter() {
    const auto self = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock(mutex_);
    if (depth_ > 0 && owner_ == self) {
        ++depth_;
        return;
    }
    free_.wait(lock, [this] { return depth_ == 0; });
    owner_ = self;
    depth_ = 1;
}

void DirectCallGate::Leave() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (depth_ == 0 || owner_ != std::this_thread::get_id()) return;
    if (--depth_ == 0) {
        owner_ = {};
        free_.notify_all();
    }
}

int DirectCallGate::LeaveAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (depth_ == 0 || owner_ != std::this_thread::get_id()) return 0;
    const int depth = depth_;
    depth_ = 0;
    owner_ = {};
    free_.notify_all();
    return depth;
}

void DirectCallGate::EnterAgain(int depth) {
    if (depth == 0) return;
    std::unique_lock<std::mutex> lock(mutex_);
    free_.wait(lock, [this] { return depth_ == 0; });
    owner_ = std::this_thread::get_id();
    depth_ = depth;
}
