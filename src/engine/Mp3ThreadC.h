#pragma once
// The joiner: turns the job's MP3 list into joined MP3 parts of about the chosen
// number of hours each. Four phases: analysis (the target format is the most common
// one), preprocessing (files in another format are re-encoded, several at once, by
// re-encoder threads), the part size, and joining (the audio bytes of all files, in
// order, cut into parts that each get an ID3v2 tag and are queued for the converter).
//
// The body and the silence detection's encoder runs run in this thread. Errors
// follow the stop protocol: PauseS, exactly one message in Mp3FehlerListe, then the
// thread waits until the controller sets AbbruchS (or ends at once where noted).

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "engine/JobEngine.h"
#include "engine/JobState.h"
#include "engine/encoder/EncoderZeile.h"
#include "engine/encoder/StillenErkennung.h"
#include "engine/prozess/RoPipeFilters.h"
#include "engine/threads/WorkerThread.h"

namespace lorvane {

class TUmkodierung;

class TMp3Thread : public TWorkerThread {
public:
    // Created suspended. Wires the filters and the encoder notifications of
    // Mp3ConsoleApp and sets Mp3ThreadLaeuftS. State and engine must outlive the thread.
    TMp3Thread(TEventQueue& controllerQueue, TJobState& state, TJobEngine& engine);
    // Asks a running body to end and waits for it (an encoder run in progress is waited
    // for), then unhooks the runner's notifications.
    ~TMp3Thread() override;

protected:
    void Execute() override;

private:
    class TTeil;
    // How joining one file ended: on to the next, failed (reported, the thread holds),
    // or the thread is to end (cancel, or a part error already reported).
    enum class TSchritt : std::uint8_t { Weiter, Fehler, Ende };

    // The phases; false when the thread is to end.
    bool Analysieren();
    bool Vorverarbeiten();
    bool TeilGroesseBestimmen(std::int64_t& teilBytes);
    bool SchnitteBestimmen(std::int64_t teilBytes);
    std::vector<TStille> StillenSuchen(const std::filesystem::path& datei, std::int64_t vonMs,
                                       std::int64_t dauerMs);
    // Whether the part is to end before the next byte: at the planned cut, else at the
    // part size.
    bool TeilVoll(const TTeil& teil, std::int64_t teilBytes);
    // The bytes of the entry that go into the part before it is to end.
    std::int64_t StueckLaenge(TStream& quelle, const TMp3ListeRec& eintrag, std::int64_t position,
                              std::int64_t teilBytes, const TTeil& teil);
    void Verbinden(std::int64_t teilBytes);

    bool ImZielformat(std::int32_t bitrate, std::int32_t samplerate, std::int32_t kanaele,
                      std::int32_t layer) const;
    bool EintragVorbereiten(TMp3ListeRec& eintrag, std::int32_t index, TUmkodierung& umkodierung);
    // The entry takes its re-encoded copy; false at a cancel, throws when there is none.
    bool KopieUebernehmen(TMp3ListeRec& eintrag, std::int32_t index, TUmkodierung& umkodierung);
    TSchritt DateiVerbinden(const TMp3ListeRec& eintrag, std::int64_t teilBytes, TTeil& teil);
    bool TeilBeginnen(TTeil& teil);
    bool TeilAbschliessen(TTeil& teil);

    bool DateiPruefen(const std::filesystem::path& datei);
    std::int32_t KanalZahl() const;
    bool WartenUndPruefen() const;
    bool AbbruchVerlangt() const;
    void FehlerMelden(const std::string& datei, const std::string& grund);
    static std::int64_t BisZumFrame(TStream& quelle, const TMp3ListeRec& eintrag,
                                    std::int64_t position, std::int64_t platz);
    bool StueckKopieren(TStream& quelle, TTeil& teil, std::int64_t stueck,
                        const TMp3ListeRec& eintrag);

    // Declared first, as the fields of the thread.
    std::unique_ptr<TRoAnsiSBCSPipeFilter> FErrFilter;
    std::unique_ptr<TRoAnsiSBCSPipeFilter> FOutFilter;
    TJobState& fState;
    TJobEngine& fEngine;
    // The parser's unlimited last position; the shared one belongs to the converter.
    std::atomic<std::int32_t> fLetzteZeit{0};
    TEncoderMeldung fEncoderMeldung;
    // The entries in another format than the target, found by the analysis.
    std::vector<std::int32_t> fUmkodieren;
    // The cuts in the joined audio's bytes when parts end at file boundaries or pauses;
    // none when they end at the part size.
    std::optional<std::vector<std::int64_t>> fSchnitte;
    std::size_t fNaechsterSchnitt = 0;
    // The audio bytes joined so far.
    std::int64_t fVerbunden = 0;
    // The silence detection's lines while it runs.
    std::vector<std::string> fStillenZeilen;
    bool fStillenSammeln = false;
};

} // namespace lorvane
