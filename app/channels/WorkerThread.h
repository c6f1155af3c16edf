// The worker-thread component of a channel. It promises six things, which the channel
// relies on:
//  1. Start creates a worker and runs the execute handler in it, unless a worker still
//     exists, in which case it does nothing.
//  2. The worker carries a terminate request that the handler polls.
//  3. Stop sets the terminate request and does not wait.
//  4. A synchronous call from the worker runs an operation on the main thread's side and
//     waits for it; once the terminate request is set such calls are skipped.
//  5. When the worker ends the component forgets it (on the main thread); a later Start
//     creates a new one.
//  6. Destroying the component sets the terminate request and waits for the worker,
//     processing the main thread's events meanwhile so its synchronous calls complete.
//
// The component lives on the main thread. Without a gate a synchronous call crosses to
// the main thread (blocking queued call); with a gate it runs on the worker itself while
// holding the gate, which the main thread holds around its own work (DirectCallGate.h).
#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class DirectCallGate;

class WorkerThread : public QObject {
    Q_OBJECT

public:
    // The worker: a thread with its terminate request.
    class Worker : public QThread {
    public:
        explicit Worker(WorkerThread& component) : component_(component) {}
        bool Terminated() const { return terminate_.load(std::memory_order_acquire); }
        void RequestTerminate() { terminate_.store(true, std::memory_order_release); }

    protected:
        void run() override;

    private:
        WorkerThread& component_;
        std::atomic<bool> terminate_{false};
    };

    using ExecuteHandler = std::function<void(WorkerThread& sender, Worker& thread)>;

    explicit WorkerThread(QObject* parent = nullptr);
    // Promise 6.
    ~WorkerThread() override;

    QThread::Priority Priority = QThread::HighPriority;  // one step above normal
    void SetOnExecute(ExecuteHandler handler) { onExecute_ = std::move(handler); }
    // Runs on the main thread right after the component forgot an ended worker.
    void SetOnEnded(std::function<void()> handler) { onEnded_ = std::move(handler); }
    // Runs on the main thread every few milliseconds while it waits for the worker
    // (WaitForWorker and the destructor): the owner's chance to end a run that hangs.
    void SetOnWaiting(std::function<void()> handler) { onWaiting_ = std::move(handler); }
    // Null: synchronous calls cross to the main thread. Not owned.
    void SetGate(DirectCallGate* gate) { gate_ = gate; }
    DirectCallGate* Gate() const { return gate_; }

    // Promise 1; false when a worker already existed and nothing was started.
    bool Start();
    // Promise 3.
    void Stop();
    // A worker exists (running, or ended and not yet forgotten).
    bool HasWorker() const { return worker_ != nullptr; }
    // The current worker's terminate request; true when there is no worker. Safe from the
    // worker thread.
    bool TerminateRequested() const;

    // Promise 4, from the worker. True when `call` ran, false when it was skipped. From
    // the main thread itself it runs `call` directly (same skip rule).
    bool Synchronize(const std::function<void()>& call);

    // Main thread: waits, processing events, until the current worker (if any) has ended
    // and been forgotten. The gate, when held, is released while waiting.
    void WaitForWorker();

private:
    void ForgetWorker();

    ExecuteHandler onExecute_;
    std::function<void()> onEnded_;
    std::function<void()> onWaiting_;
    DirectCallGate* gate_ = nullptr;
    // Written only by the main thread; the worker reads it while it runs.
    std::unique_ptr<Worker> worker_;
    std::atomic<Worker*> current_{nullptr};
    uint64_t generation_ = 0;
};
