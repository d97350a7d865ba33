#pragma once
// The converter: takes the joiner's finished parts in queue order, has the encoder
// write an ".m4a" file of each into the audiobook folder, optionally copies the MP3
// part there too, deletes the part and renames the result to ".m4b". It ends when the
// joiner has ended and no part is waiting, or at a cancel.
//
// The body, the encoder runs and their notifications all run in this thread. Errors
// follow the stop protocol: PauseS, one message in ConvertFehlerListe, then the thread
// holds until the controller sets AbbruchS.

#include <filesystem>
#include <memory>
#include <string>

#include "engine/JobEngine.h"
#include "engine/JobState.h"
#include "engine/encoder/EncoderZeile.h"
#include "engine/prozess/RoPipeFilters.h"
#include "engine/threads/WorkerThread.h"

namespace lorvane {

class TConvertThread : public TWorkerThread {
public:
    // Created suspended. Wires the filters and the encoder notifications of
    // ConvertConsoleApp and sets ConvertThreadLaeuftS. State and engine must outlive
    // the thread.
    TConvertThread(TEventQueue& controllerQueue, TJobState& state, TJobEngine& engine);
    // Asks a running body to end and waits for it (an encoder run in progress is waited
    // for), then unhooks the runner's notifications.
    ~TConvertThread() override;

protected:
    void Execute() override;

private:
    void Pausieren() const;
    bool Ende() const;
    bool TeilWartet() const;
    void TeilKonvertieren(const std::filesystem::path& teil);
    bool EncoderAusfuehren(const std::filesystem::path& teil,
                           const std::filesystem::path& ergebnis);
    std::string KonvertierungGrund() const;

    // Declared first, as the fields of the thread.
    std::unique_ptr<TRoAnsiSBCSPipeFilter> FErrFilter;
    std::unique_ptr<TRoAnsiSBCSPipeFilter> FOutFilter;
    TJobState& fState;
    TJobEngine& fEngine;
    TEncoderMeldung fEncoderMeldung;
    // Why the last run's result is no whole MP4 file although the encoder succeeded.
    std::string fErgebnisFehler;
};

} // namespace lorvane
