#pragma once
// A worker thread in the manner of the usual toolkit thread class: created
// suspended, started once, asked to stop through a flag that its body polls, with a
// termination handler that runs in the controlling thread (the one that processes
// the given event queue) and, on request, freeing itself after that handler.

#include <atomic>
#include <exception>
#include <functional>
#include <thread>

#include "engine/threads/EventQueue.h"

namespace lorvane {

class TWorkerThread;
using TThreadNotifyEvent = std::function<void(TWorkerThread& sender)>;

class TWorkerThread {
public:
    // The queue belongs to the controlling thread and must outlive this object.
    explicit TWorkerThread(TEventQueue& controllerQueue);
    // Events this thread queued and the controller has not run yet are dropped. A
    // thread still running is asked to terminate and waited for, but by then the
    // descendant's part is gone: a descendant that can be freed while it runs calls
    // TerminateAndWait first in its own destructor. Never free a thread from its body.
    virtual ~TWorkerThread();
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Runs Execute in a new thread; a second call throws std::logic_error.
    void Start();
    // Asks the body to end; it polls Terminated. Callable from any thread.
    void Terminate() { fTerminated.store(true); }
    bool Terminated() const { return fTerminated.load(); }
    bool Started() const { return fStarted; }
    // Execute has returned (or thrown).
    bool Finished() const { return fFinished.load(); }

    // When set, the object deletes itself in the controlling thread right after
    // OnTerminate; nobody may use the pointer after Start then.
    bool FreeOnTerminate() const { return fFreeOnTerminate; }
    void SetFreeOnTerminate(bool freeOnTerminate) { fFreeOnTerminate = freeOnTerminate; }
    // Runs in the controlling thread when it processes its events after Execute ended.
    const TThreadNotifyEvent& OnTerminate() const { return fOnTerminate; }
    void SetOnTerminate(TThreadNotifyEvent handler) { fOnTerminate = std::move(handler); }

    // Waits for the end of Execute and returns ReturnValue. Not for self-freeing
    // threads, nor from the thread itself (std::logic_error). OnTerminate still runs
    // at the controller's next ProcessPending.
    int WaitFor();
    // Terminate, then wait for the end of Execute (nothing when it never started).
    void TerminateAndWait();
    // Runs the event in the controlling thread, asynchronously.
    void Queue(TEventQueue::TEvent event);
    // Drops the events of this thread that the controller has not run yet.
    void RemoveQueuedEvents();

    // The exception that ended Execute, if any.
    std::exception_ptr FatalException() const { return fFatalException; }
    int ReturnValue() const { return fReturnValue; }

protected:
    // The thread body; it should return soon after Terminated becomes true.
    virtual void Execute() = 0;
    void SetReturnValue(int value) { fReturnValue = value; }
    TEventQueue& ControllerQueue() const { return fQueue; }

private:
    void Run();
    void DoTerminate();

    TEventQueue& fQueue;
    std::thread fThread;
    bool fStarted = false;
    std::atomic<bool> fTerminated{false};
    std::atomic<bool> fFinished{false};
    bool fFreeOnTerminate = false;
    TThreadNotifyEvent fOnTerminate;
    std::exception_ptr fFatalException;
    int fReturnValue = 0;
};

} // namespace lorvane
