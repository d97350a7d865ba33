#pragma once
// A converter: takes the next of the joiner's finished parts in queue order, has the
// encoder write an ".m4a" file of it into the audiobook folder, optionally copies the
// MP3 part there too, deletes the part and renames the result to ".m4b". Several
// converters run side by side, each with a runner of its own; each part is taken by
// exactly one. A converter ends when the joiner has ended and no part is waiting, or at
// a cancel.
//
// The body, the encoder runs and their notifications all run in this thread. Errors
// follow the stop protocol: PauseS, one message in ConvertFehlerListe, then the thread
// holds until the controller sets AbbruchS.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "engine/JobEngine.h"
#include "engine/JobState.h"
#include "engine/encoder/EncoderZeile.h"
#include "engine/prozess/RoPipeFilters.h"
#include "engine/threads/WorkerThread.h"

namespace lorvane {

class TConvertThread : public TWorkerThread {
public:
    // Created suspended. Takes the engine's next converter runner, wires its filters and
    // encoder notifications and sets ConvertThreadLaeuftS. State and engine must
    // outlive the thread.
    TConvertThread(TEventQueue& controllerQueue, TJobState& state, TJobEngine& engine);
    // Asks a running body to end and waits for it (an encoder run in progress is waited
    // for), then unhooks the runner's notifications.
    ~TConvertThread() override;

protected:
    void Execute() override;

private:
    void Pausieren() const;
    bool Ende() const;
    // The index of the next waiting part, taken for this converter; none when no part
    // waits.
    std::optional<std::int32_t> TeilNehmen();
    void TeilKonvertieren(const std::filesystem::path& teil, std::int32_t index);
    bool EncoderAusfuehren(const std::filesystem::path& teil, const std::filesystem::path& ergebnis,
                           std::int32_t index);
    std::string KonvertierungGrund() const;

    // Declared first, as the fields of the thread; the runner before its filters.
    std::int32_t fPlatz;
    TEncoderLaeufer fLaeufer;
    std::unique_ptr<TRoAnsiSBCSPipeFilter> FErrFilter;
    std::unique_ptr<TRoAnsiSBCSPipeFilter> FOutFilter;
    TJobState& fState;
    TJobEngine& fEngine;
    TEncoderMeldung fEncoderMeldung;
    // The last position this converter's encoder reported in its run.
    std::atomic<std::int32_t> fLetzteZeit{0};
    // Why the last run's result is no whole MP4 file although the encoder succeeded.
    std::string fErgebnisFehler;
};

} // namespace lorvane
