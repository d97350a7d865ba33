#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/threads/EventQueue.h"
#include "engine/threads/WorkerThread.h"

namespace lorvane {
namespace {

using namespace std::chrono_literals;

// Runs the controller's loop until the condition holds (or a generous limit passes).
template <typename Condition> bool ProcessUntil(TEventQueue& queue, Condition condition) {
    const auto limit = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        queue.WaitForEvent(10ms);
        queue.ProcessPending();
    }
    return true;
}

class TPollingThread : public TWorkerThread {
public:
    using TWorkerThread::TWorkerThread;
    std::thread::id RanIn;
    std::atomic<int> Passes{0};
    int* DestroyedCount = nullptr;
    ~TPollingThread() override {
        if (DestroyedCount != nullptr) {
            ++*DestroyedCount;
        }
    }

protected:
    void Execute() override {
        RanIn = std::this_thread::get_id();
        while (!Terminated()) {
            ++Passes;
            std::this_thread::sleep_for(1ms);
        }
        SetReturnValue(42);
    }
};

class TOneShotThread : public TWorkerThread {
public:
    TOneShotThread(TEventQueue& queue, std::function<void(TOneShotThread&)> body)
        : TWorkerThread(queue), fBody(std::move(body)) {}
    ~TOneShotThread() override { TerminateAndWait(); }

protected:
    void Execute() override { fBody(*this); }

private:
    std::function<void(TOneShotThread&)> fBody;
};

TEST(WorkerThread, RunsOnlyAfterStartAndEndsOnTerminate) {
    TEventQueue queue;
    TPollingThread thread(queue);
    EXPECT_FALSE(thread.Started());
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(thread.Passes.load(), 0); // created suspended
    thread.Start();
    EXPECT_THROW(thread.Start(), std::logic_error);
    while (thread.Passes.load() < 3) {
        std::this_thread::yield();
    }
    EXPECT_FALSE(thread.Terminated());
    thread.Terminate();
    EXPECT_TRUE(thread.Terminated());
    EXPECT_EQ(thread.WaitFor(), 42);
    EXPECT_TRUE(thread.Finished());
    EXPECT_NE(thread.RanIn, std::this_thread::get_id());
}

TEST(WorkerThread, OnTerminateRunsInTheControllersThreadWhenItProcessesEvents) {
    TEventQueue queue;
    TOneShotThread thread(queue, [](TOneShotThread&) {});
    std::thread::id handlerThread;
    int calls = 0;
    thread.SetOnTerminate([&](TWorkerThread& sender) {
        EXPECT_EQ(&sender, &thread);
        handlerThread = std::this_thread::get_id();
        ++calls;
    });
    thread.Start();
    thread.WaitFor();
    EXPECT_EQ(calls, 0); // not before the controller processes its events
    EXPECT_EQ(queue.ProcessPending(), 1U);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
    EXPECT_EQ(queue.ProcessPending(), 0U);
}

TEST(WorkerThread, FreesItselfAfterOnTerminate) {
    TEventQueue queue;
    int destroyed = 0;
    bool handlerRan = false;
    auto* thread = new TPollingThread(queue);
    thread->DestroyedCount = &destroyed;
    thread->SetFreeOnTerminate(true);
    thread->SetOnTerminate([&](TWorkerThread& sender) {
        handlerRan = true;
        EXPECT_EQ(destroyed, 0); // the handler still has its object
        EXPECT_TRUE(sender.Finished());
    });
    EXPECT_THROW(thread->WaitFor(), std::logic_error);
    thread->Start();
    thread->Terminate();
    ASSERT_TRUE(ProcessUntil(queue, [&] { return destroyed == 1; }));
    EXPECT_TRUE(handlerRan);
}

TEST(WorkerThread, AnExceptionEndsTheBodyButNotTheProgram) {
    TEventQueue queue;
    TOneShotThread thread(queue, [](TOneShotThread&) { throw std::runtime_error("kaputt"); });
    bool handlerRan = false;
    thread.SetOnTerminate([&](TWorkerThread&) { handlerRan = true; });
    thread.Start();
    thread.WaitFor();
    ASSERT_TRUE(thread.FatalException());
    EXPECT_THROW(std::rethrow_exception(thread.FatalException()), std::runtime_error);
    queue.ProcessPending();
    EXPECT_TRUE(handlerRan);
}

TEST(WorkerThread, QueuedEventsRunInOrderBeforeOnTerminate) {
    TEventQueue queue;
    std::vector<std::string> log;
    TOneShotThread thread(queue, [&log](TOneShotThread& self) {
        for (int i = 1; i <= 3; ++i) {
            self.Queue([&log, i] { log.push_back("event " + std::to_string(i)); });
        }
    });
    thread.SetOnTerminate([&](TWorkerThread&) { log.push_back("terminated"); });
    thread.Start();
    thread.WaitFor();
    queue.ProcessPending();
    EXPECT_EQ(log, (std::vector<std::string>{"event 1", "event 2", "event 3", "terminated"}));
}

TEST(WorkerThread, DestructionDropsWhatTheControllerHasNotRun) {
    TEventQueue queue;
    int ran = 0;
    {
        TOneShotThread thread(queue,
                              [&ran](TOneShotThread& self) { self.Queue([&ran] { ++ran; }); });
        thread.SetOnTerminate([&](TWorkerThread&) { ++ran; });
        thread.Start();
        thread.WaitFor();
        EXPECT_EQ(queue.PendingCount(), 2U);
    }
    EXPECT_EQ(queue.PendingCount(), 0U);
    EXPECT_EQ(queue.ProcessPending(), 0U);
    EXPECT_EQ(ran, 0);
}

TEST(WorkerThread, DestroyingARunningThreadStopsAndWaitsForIt) {
    TEventQueue queue;
    auto thread = std::make_unique<TOneShotThread>(queue, [](TOneShotThread& self) {
        while (!self.Terminated()) {
            std::this_thread::sleep_for(1ms);
        }
    });
    thread->Start();
    thread.reset();                      // returns only after the body has seen Terminated
    EXPECT_EQ(queue.PendingCount(), 0U); // and its termination event is dropped
}

TEST(EventQueue, RunsOnlyWhatWasQueuedWhenTheCallBegan) {
    TEventQueue queue;
    std::vector<int> log;
    queue.Post([&] {
        log.push_back(1);
        queue.Post([&] { log.push_back(3); });
    });
    queue.Post([&] { log.push_back(2); });
    EXPECT_EQ(queue.ProcessPending(), 2U);
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
    EXPECT_EQ(queue.ProcessPending(), 1U);
    EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));
}

TEST(EventQueue, AnEventMayRemoveLaterOnesAndExceptionsLeaveTheRestQueued) {
    TEventQueue queue;
    int owner = 0;
    std::vector<int> log;
    queue.Post([&] { queue.RemoveEvents(&owner); });
    queue.Post([&] { log.push_back(1); }, &owner);
    queue.Post([] { throw std::runtime_error("handler"); });
    queue.Post([&] { log.push_back(2); });
    queue.Post([&] { log.push_back(3); }, nullptr);
    EXPECT_THROW(queue.ProcessPending(), std::runtime_error);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(queue.PendingCount(), 2U);
    queue.RemoveEvents(nullptr); // untagged events are never dropped
    queue.ProcessPending();
    EXPECT_EQ(log, (std::vector<int>{2, 3}));
}

TEST(EventQueue, PostsFromManyThreadsAllArriveInEachThreadsOrder) {
    TEventQueue queue;
    std::atomic<int> wakeUps{0};
    queue.SetOnPost([&] { ++wakeUps; });
    constexpr int kThreads = 4;
    constexpr int kEach = 500;
    std::vector<std::vector<int>> seen(kThreads);
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                queue.Post([&seen, t, i] { seen[static_cast<std::size_t>(t)].push_back(i); });
            }
        });
    }
    std::size_t ran = 0;
    const auto limit = std::chrono::steady_clock::now() + 10s;
    while (ran < kThreads * kEach && std::chrono::steady_clock::now() < limit) {
        queue.WaitForEvent(10ms);
        ran += queue.ProcessPending();
    }
    for (std::thread& poster : posters) {
        poster.join();
    }
    ran += queue.ProcessPending();
    EXPECT_EQ(ran, static_cast<std::size_t>(kThreads * kEach));
    EXPECT_EQ(wakeUps.load(), kThreads * kEach);
    for (const std::vector<int>& list : seen) {
        ASSERT_EQ(list.size(), static_cast<std::size_t>(kEach));
        for (int i = 0; i < kEach; ++i) {
            EXPECT_EQ(list[static_cast<std::size_t>(i)], i);
        }
    }
}

TEST(EventQueue, WaitForEventWakesOnAPostFromAnotherThread) {
    TEventQueue queue;
    EXPECT_FALSE(queue.WaitForEvent(5ms));
    std::thread poster([&] {
        std::this_thread::sleep_for(20ms);
        queue.Post([] {});
    });
    EXPECT_TRUE(queue.WaitForEvent(10s));
    poster.join();
    EXPECT_EQ(queue.ProcessPending(), 1U);
}

} // namespace
} // namespace lorvane
