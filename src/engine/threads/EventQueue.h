#pragma once
// Events that other threads hand to one controlling thread (the user-interface
// thread), which runs them when it processes its pending events. Posting is
// thread-safe; events run in the order they were posted, one at a time, with no lock
// held, so an event may post further events or remove queued ones.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace lorvane {

class TEventQueue {
public:
    using TEvent = std::function<void()>;

    TEventQueue() = default;
    // Events still queued are dropped without running.
    ~TEventQueue() = default;
    TEventQueue(const TEventQueue&) = delete;
    TEventQueue& operator=(const TEventQueue&) = delete;

    // The owner tag lets RemoveEvents drop the events of one sender (nullptr: none).
    void Post(TEvent event, const void* owner = nullptr);
    // Runs the events that were queued when the call began (later ones wait for the
    // next call); returns how many ran. An exception from an event leaves the call,
    // the events behind it stay queued.
    std::size_t ProcessPending();
    // Drops the queued events of this owner; untagged events are never dropped.
    void RemoveEvents(const void* owner);
    std::size_t PendingCount() const;
    // Waits until an event is queued or the time is up; true when one is queued.
    // For loops that have nothing else to wait on.
    bool WaitForEvent(std::chrono::milliseconds timeout) const;
    // Called, in the posting thread, after every Post: lets a toolkit's event loop be
    // woken up to call ProcessPending. Set it before other threads post.
    void SetOnPost(std::function<void()> handler);

private:
    struct TEntry {
        TEvent Event;
        const void* Owner;
        unsigned long long Serial;
    };

    mutable std::mutex fMutex;
    mutable std::condition_variable fPosted;
    std::deque<TEntry> fEntries;
    unsigned long long fNextSerial = 0;
    std::function<void()> fOnPost;
};

} // namespace lorvane
