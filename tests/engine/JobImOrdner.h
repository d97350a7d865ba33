#pragma once
// One job in a temporary folder, as the controller's and the progress window's tests
// take it: three rows, an encoder file that exists, author, title and album "Meer",
// and stand-in threads that end at once.

#include "engine/FakeJobThreads.h"
#include "engine/ordner/Ordner.h"
#include "support/TestSupport.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <vector>

namespace lorvane::test {

struct TJobImOrdner {
    TJobImOrdner() {
        state.Daten.AusgabeOrdner = MitTrenner(dir / "aus");
        state.Daten.ArbeitsOrdner = Standard();
        state.Daten.FfmpegDatei = dir / "ffmpeg";
        test::WriteFileBytes(state.Daten.FfmpegDatei, {});
        state.Daten.Autor = "Anna";
        state.Daten.Titel = "Reise";
        state.Daten.Album = "Meer";
        zeilen = {{"/x/1.mp3", "00:01:00"}, {"/x/2.mp3", "1:00"}, {"/x/3.mp3", "30"}};
        Threads([this] { NormalerJoiner(state, std::chrono::milliseconds(0)); },
                [this] { NormalerConverter(state); });
    }

    void Threads(std::function<void()> joiner, std::function<void()> converter) {
        threads = FakeJobThreads(std::move(joiner), std::move(converter), erzeugt);
    }

    // The default working folder.
    std::filesystem::path Standard() const { return MitTrenner(dir / "arbeit"); }

    test::TempDir dir;
    TJobState state;
    std::vector<TDateiZeile> zeilen;
    TJobThreadErzeugung threads;
    std::atomic<int> erzeugt{0};
};

} // namespace lorvane::test
