#pragma once
// The re-encoding of the files that are not in the job's target format, up to as many
// at once as the engine has re-encoders, ahead of the joiner: the joiner queues the
// files, then takes each copy in list order when it gets there. Each re-encoder is a
// thread of its own on its own runner, so the controller stops their encoders at a
// cancel as it stops the joiner's ("q", then the kill).
//
// A re-encoder takes no further file while the job holds on an error, at a cancel, and
// none behind a file whose re-encoding failed: the joiner reports that failure when it
// gets to the file, so the message names the first failing file in list order.

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/JobEngine.h"
#include "engine/JobState.h"

namespace lorvane {

class TEncoderMeldung;

// How one file's re-encoding ended: the copy, or why there is none.
struct TUmkodierErgebnis {
    bool Erfolg = false;
    std::filesystem::path Kopie;
    std::string Grund;
};

class TUmkodierung {
public:
    // abbruch tells whether the joiner is to end; it is asked from every thread.
    TUmkodierung(TJobState& state, TJobEngine& engine, std::function<bool()> abbruch);
    // Takes no further file; at a cancel stops the runs in progress; waits for them.
    ~TUmkodierung();
    TUmkodierung(const TUmkodierung&) = delete;
    TUmkodierung& operator=(const TUmkodierung&) = delete;

    // Queues entry index of the list, whose file is quelle. Starts a further re-encoder
    // while there are fewer than the engine has runners.
    void Vormerken(std::int32_t index, const std::filesystem::path& quelle);
    bool Vorgemerkt(std::int32_t index) const;
    // Waits until the queued entry is re-encoded; none at a cancel.
    std::optional<TUmkodierErgebnis> Abwarten(std::int32_t index);

private:
    struct TAuftrag {
        std::int32_t Index = 0;
        std::filesystem::path Quelle;
        std::filesystem::path Kopie;
    };

    void Umkodierer(std::int32_t k);
    // The queue's first file, its copy's name taken; none when the re-encoder is to end.
    std::optional<TAuftrag> Nehmen();
    bool DarfNehmen() const;
    TUmkodierErgebnis Ausfuehren(const TAuftrag& auftrag, TRoConsoleApp& app,
                                 TEncoderMeldung& meldung);
    void Ablegen(std::int32_t index, TUmkodierErgebnis ergebnis);

    TJobState& fState;
    TJobEngine& fEngine;
    std::function<bool()> fAbbruch;

    mutable std::mutex fMutex;
    std::condition_variable fGeaendert;
    std::map<std::int32_t, std::filesystem::path> fWartend;
    std::vector<std::int32_t> fVorgemerkt;
    std::map<std::int32_t, TUmkodierErgebnis> fErgebnisse;
    // The first entry whose re-encoding failed: none behind it is taken.
    std::optional<std::int32_t> fFehlerIndex;
    bool fEnde = false;
    // Why a re-encoder could not go on; the files left fail with it.
    std::optional<std::string> fAusfall;
    std::vector<std::thread> fThreads;
};

} // namespace lorvane
