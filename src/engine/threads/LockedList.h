#pragma once
// A list shared between threads: every access takes the lock, and values leave it
// only as copies, so no caller ever holds a reference into the container.

#include <cstdint>
#include <limits>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace lorvane {

template <typename T> class TLockedList {
public:
    TLockedList() = default;
    TLockedList(const TLockedList&) = delete;
    TLockedList& operator=(const TLockedList&) = delete;

    void Add(T wert) {
        std::lock_guard<std::mutex> lock(fMutex);
        fItems.push_back(std::move(wert));
    }

    // 32-bit like the indexes it is compared with, so that Count() - 1 is -1 when empty.
    std::int32_t Count() const {
        std::lock_guard<std::mutex> lock(fMutex);
        constexpr std::size_t kMax = std::numeric_limits<std::int32_t>::max();
        return static_cast<std::int32_t>(fItems.size() < kMax ? fItems.size() : kMax);
    }

    bool Empty() const { return Count() == 0; }

    // The entry at the index, or nothing when the index is outside the list.
    std::optional<T> At(std::int32_t index) const {
        std::lock_guard<std::mutex> lock(fMutex);
        if (index < 0 || static_cast<std::size_t>(index) >= fItems.size()) {
            return std::nullopt;
        }
        return fItems[static_cast<std::size_t>(index)];
    }

    std::vector<T> Copy() const {
        std::lock_guard<std::mutex> lock(fMutex);
        return fItems;
    }

    std::optional<T> TakeFirst() {
        std::lock_guard<std::mutex> lock(fMutex);
        if (fItems.empty()) {
            return std::nullopt;
        }
        T erster = std::move(fItems.front());
        fItems.erase(fItems.begin());
        return erster;
    }

    // Everything in the list, which is empty afterwards.
    std::vector<T> TakeAll() {
        std::lock_guard<std::mutex> lock(fMutex);
        std::vector<T> alle;
        alle.swap(fItems);
        return alle;
    }

    void Clear() {
        std::lock_guard<std::mutex> lock(fMutex);
        fItems.clear();
    }

private:
    mutable std::mutex fMutex;
    std::vector<T> fItems;
};

} // namespace lorvane
