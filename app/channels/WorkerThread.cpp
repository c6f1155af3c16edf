#include "WorkerThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include "DirectCallGate.h"

void WorkerThread::Worker::run() {
    if (component_.onExecute_) component_.onExecute_(component_, *this);
}

WorkerThread::WorkerThread(QObject* parent) : QObject(parent) {}

WorkerThread::~WorkerThread() {
    Stop();
    WaitForWorker();
}

bool WorkerThread::Start() {
    if (worker_) return false;
    worker_ = std::make_unique<Worker>(*this);
    current_.store(worker_.get(), std::memory_order_release);
    const uint64_t generation = ++generation_;
    // The component forgets the worker on the main thread once it has ended (unless a
    // wait forgot it first; the generation tells a later worker apart).
    connect(worker_.get(), &QThread::finished, this, [this, generation] {
        if (worker_ && generation_ == generation) ForgetWorker();
    }, Qt::QueuedConnection);
    worker_->start(Priority);
    return true;
}

void WorkerThread::Stop() {
    if (worker_) worker_->RequestTerminate();
}

bool WorkerThread::TerminateRequested() const {
    const Worker* worker = current_.load(std::memory_order_acquire);
    return worker == nullptr || worker->Terminated();
}

bool WorkerThread::Synchronize(const std::function<void()>& call) {
    Worker* worker = current_.load(std::memory_order_acquire);
    if (worker == nullptr || worker->Terminated()) return false;
    if (gate_ != nullptr) {
        GateScope scope(gate_);
        // A stop the main thread requested while we waited for the gate counts too.
        if (worker->Terminated()) return false;
        call();
        return true;
    }
    if (QThread::currentThread() == thread()) {
        call();
        return true;
    }
    bool ran = false;
    QMetaObject::invokeMethod(this, [&] {
        if (worker->Terminated()) return;
        call();
        ran = true;
    }, Qt::BlockingQueuedConnection);
    return ran;
}

void WorkerThread::WaitForWorker() {
    if (!worker_) return;
    auto wait = [this] {
        while (worker_ && !worker_->wait(QDeadlineTimer(5))) {
            // Pending synchronous calls of this worker (and of others) run here.
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (onWaiting_) onWaiting_();
        }
    };
    if (gate_ != nullptr)
        gate_->ReleasedWhile(wait);
    else
        wait();
    if (worker_) ForgetWorker();
}

void WorkerThread::ForgetWorker() {
    worker_->wait();
    current_.store(nullptr, std::memory_order_release);
    worker_.reset();
    if (onEnded_) {
        GateScope scope(gate_);
        onEnded_();
    }
}
