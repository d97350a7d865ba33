#pragma once
// Stand-ins for the joiner and the converter of a job: threads whose body a test
// gives, with the hold of the stop protocol, and bodies that walk the counters as the
// real threads do without reading a file. Shared by the controller's tests and the
// progress window's; free of any test framework.

#include "engine/BearbeitenDlgC.h"
#include "engine/JobState.h"
#include "engine/threads/WorkerThread.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace lorvane {

// A worker whose body is given by the test; it sets its running flag when made, as the
// engine's threads do.
class FakeThread : public TWorkerThread {
public:
    FakeThread(TEventQueue& queue, std::atomic<bool>& laeuft, std::function<void()> body)
        : TWorkerThread(queue), fBody(std::move(body)) {
        laeuft = true;
    }
    ~FakeThread() override { WaitUntilEnded(); }

protected:
    void Execute() override { fBody(); }

private:
    void WaitUntilEnded() {
        while (Started() && !Finished()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    std::function<void()> fBody;
};

// The threads' hold: wait while PauseS is set and AbbruchS is not; false on a cancel.
inline bool Warten(const TJobState& state) {
    while (state.Convert.PauseS && !state.Convert.AbbruchS) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return !state.Convert.AbbruchS;
}

inline void Schlafen(const TJobState& state, std::chrono::milliseconds dauer) {
    const auto ende = std::chrono::steady_clock::now() + dauer;
    while (std::chrono::steady_clock::now() < ende && !state.Convert.AbbruchS) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Joiner: prepares every file, then queues one part per file.
inline void NormalerJoiner(TJobState& state, std::chrono::milliseconds jeDatei) {
    auto& mp3 = state.Mp3;
    const auto anzahl = static_cast<std::int32_t>(mp3.Mp3Liste.size());
    mp3.VorIndex = 0;
    for (std::int32_t i = 0; i < anzahl; ++i) {
        if (!Warten(state)) {
            return;
        }
        mp3.VorIndex = i;
        Schlafen(state, jeDatei);
    }
    mp3.GesamtBytes = 1000;
    state.Convert.TeileErwartet = anzahl;
    for (std::int32_t i = 0; i < anzahl; ++i) {
        if (!Warten(state)) {
            return;
        }
        mp3.KopierIndex = i;
        mp3.KopiertBytes = 1000 * (i + 1) / anzahl;
        state.Daten.TeilNr = i + 1;
        state.Convert.ConvertListe.Add(state.Daten.ArbeitsOrdner / ("Teil_" + std::to_string(i)));
    }
}

// Converter: takes the queued parts until the joiner has ended and the queue is done;
// several of them take each part once.
inline void NormalerConverter(TJobState& state) {
    auto& convert = state.Convert;
    for (;;) {
        if (!Warten(state)) {
            return;
        }
        if (!state.Daten.Mp3ThreadLaeuftS &&
            convert.ConvertIndex >= convert.ConvertListe.Count() - 1) {
            return;
        }
        std::int32_t index = convert.ConvertIndex;
        if (index < convert.ConvertListe.Count() - 1 &&
            convert.ConvertIndex.compare_exchange_strong(index, index + 1)) {
            state.Daten.M4bDauer += 10;
            ++convert.FertigeTeile;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Both threads of a job as stand-ins that run the given bodies; each one made is
// counted in erzeugt (which is read after the job, in the test's thread).
template <typename TZaehler>
TJobThreadErzeugung FakeJobThreads(std::function<void()> joiner, std::function<void()> converter,
                                   TZaehler& erzeugt) {
    TJobThreadErzeugung threads;
    threads.Mp3Thread = [&erzeugt, joiner](TEventQueue& queue, TJobState& s, TJobEngine&) {
        ++erzeugt;
        return std::unique_ptr<TWorkerThread>(
            new FakeThread(queue, s.Daten.Mp3ThreadLaeuftS, joiner));
    };
    threads.ConvertThread = [&erzeugt, converter](TEventQueue& queue, TJobState& s, TJobEngine&) {
        ++erzeugt;
        return std::unique_ptr<TWorkerThread>(
            new FakeThread(queue, s.Daten.ConvertThreadLaeuftS, converter));
    };
    return threads;
}

} // namespace lorvane
