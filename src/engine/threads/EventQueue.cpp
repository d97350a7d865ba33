#include "engine/threads/EventQueue.h"

#include <algorithm>
#include <utility>

namespace lorvane {

void TEventQueue::Post(TEvent event, const void* owner) {
    std::function<void()> onPost;
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fEntries.push_back(TEntry{std::move(event), owner, fNextSerial++});
        onPost = fOnPost;
    }
    fPosted.notify_all();
    if (onPost) {
        onPost();
    }
}

std::size_t TEventQueue::ProcessPending() {
    unsigned long long end;
    {
        std::lock_guard<std::mutex> lock(fMutex);
        end = fNextSerial;
    }
    std::size_t ran = 0;
    for (;;) {
        TEvent event;
        {
            std::lock_guard<std::mutex> lock(fMutex);
            if (fEntries.empty() || fEntries.front().Serial >= end) {
                break;
            }
            event = std::move(fEntries.front().Event);
            fEntries.pop_front();
        }
        ++ran;
        if (event) {
            event();
        }
    }
    return ran;
}

void TEventQueue::RemoveEvents(const void* owner) {
    if (owner == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(fMutex);
    std::erase_if(fEntries, [owner](const TEntry& entry) { return entry.Owner == owner; });
}

std::size_t TEventQueue::PendingCount() const {
    std::lock_guard<std::mutex> lock(fMutex);
    return fEntries.size();
}

bool TEventQueue::WaitForEvent(std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(fMutex);
    return fPosted.wait_for(lock, timeout, [this] { return !fEntries.empty(); });
}

void TEventQueue::SetOnPost(std::function<void()> handler) {
    std::lock_guard<std::mutex> lock(fMutex);
    fOnPost = std::move(handler);
}

} // namespace lorvane
