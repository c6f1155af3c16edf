// The lock that stands in for the main thread when workers run their synchronous calls
// on their own thread (the service form, which has no window to protect). The main
// thread holds it around everything it does with the channels; a worker holds it for the
// length of one synchronous call. So the calls keep their order and never overlap the
// main thread's work, without the cost of a thread switch per monitor message.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

class DirectCallGate {
public:
    // Re-entrant for the thread that holds it.
    void Enter();
    void Leave();

    // Leaves completely (whatever the depth), runs `wait`, and enters again as deep as
    // before. For the main thread waiting for a worker that may need the gate to finish.
    template <typename Wait>
    void ReleasedWhile(Wait&& wait) {
        const int depth = LeaveAll();
        wait();
        EnterAgain(depth);
    }

private:
    int LeaveAll();
    void EnterAgain(int depth);

    std::mutex mutex_;
    std::condition_variable free_;
    std::thread::id owner_{};
    int depth_ = 0;
};

// Holds a gate for one scope; a null gate does nothing.
class GateScope {
public:
    explicit GateScope(DirectCallGate* gate) : gate_(gate) {
        if (gate_ != nullptr) gate_->Enter();
    }
    ~GateScope() {
        if (gate_ != nullptr) gate_->Leave();
    }
    GateScope(const GateScope&) = delete;
    GateScope& operator=(const GateScope&) = delete;

private:
    DirectCallGate* gate_;
};
