#include "engine/threads/WorkerThread.h"

#include <stdexcept>

namespace lorvane {

TWorkerThread::TWorkerThread(TEventQueue& controllerQueue) : fQueue(controllerQueue) {}

TWorkerThread::~TWorkerThread() {
    TerminateAndWait();
    fQueue.RemoveEvents(this);
}

void TWorkerThread::TerminateAndWait() {
    Terminate();
    if (fThread.joinable()) {
        if (std::this_thread::get_id() == fThread.get_id()) {
            throw std::logic_error("a thread cannot wait for itself");
        }
        fThread.join();
    }
}

void TWorkerThread::Start() {
    if (fStarted) {
        throw std::logic_error("thread already started");
    }
    fStarted = true;
    fThread = std::thread([this] { Run(); });
}

void TWorkerThread::Run() {
    try {
        Execute();
    } catch (...) {
        fFatalException = std::current_exception();
    }
    fFinished.store(true);
    // Touches nothing of this object afterwards: the event may free it at once.
    fQueue.Post([this] { DoTerminate(); }, this);
}

void TWorkerThread::DoTerminate() {
    struct TFreeAfterwards {
        TWorkerThread* Thread;
        ~TFreeAfterwards() {
            if (Thread->fFreeOnTerminate) {
                delete Thread;
            }
        }
    };
    const TFreeAfterwards freeAfterwards{this};
    if (fOnTerminate) {
        fOnTerminate(*this);
    }
}

int TWorkerThread::WaitFor() {
    if (fFreeOnTerminate) {
        throw std::logic_error("a self-freeing thread cannot be waited for");
    }
    if (fThread.joinable()) {
        if (std::this_thread::get_id() == fThread.get_id()) {
            throw std::logic_error("a thread cannot wait for itself");
        }
        fThread.join();
    }
    return fReturnValue;
}

void TWorkerThread::Queue(TEventQueue::TEvent event) {
    fQueue.Post(std::move(event), this);
}

void TWorkerThread::RemoveQueuedEvents() {
    fQueue.RemoveEvents(this);
}

} // namespace lorvane
