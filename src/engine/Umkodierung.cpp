#include "engine/Umkodierung.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <fstream>

#include "engine/TeilNamen.h"
#include "engine/encoder/EncoderAnbindung.h"
#include "engine/encoder/EncoderZeile.h"
#include "engine/encoder/FfmpegAufruf.h"
#include "engine/prozess/RoPipeFilters.h"

namespace fs = std::filesystem;

namespace lorvane {

namespace {

// Also how often a waiting thread looks at the cancel and the hold.
constexpr std::chrono::milliseconds kWarteSchritt{10};

} // namespace

TUmkodierung::TUmkodierung(TJobState& state, TJobEngine& engine, std::function<bool()> abbruch)
    : fState(state), fEngine(engine), fAbbruch(std::move(abbruch)) {}

TUmkodierung::~TUmkodierung() {
    {
        const std::lock_guard<std::mutex> sperre(fMutex);
        fEnde = true;
    }
    fGeaendert.notify_all();
    // After an error the runs in progress are of no use; at a cancel the controller
    // stops them too, and kills what ignores the request.
    if (fAbbruch()) {
        for (std::size_t k = 0; k < fThreads.size(); ++k) {
            EncoderStoppen(fEngine.Umkodierer(static_cast<std::int32_t>(k)).InPipe);
        }
    }
    for (std::thread& thread : fThreads) {
        thread.join();
    }
}

void TUmkodierung::Vormerken(std::int32_t index, const fs::path& quelle) {
    {
        const std::lock_guard<std::mutex> sperre(fMutex);
        fWartend.emplace(index, quelle);
        fVorgemerkt.push_back(index);
    }
    fGeaendert.notify_one();
    const auto k = static_cast<std::int32_t>(fThreads.size());
    if (k < fEngine.UmkodiererAnzahl()) {
        fThreads.emplace_back([this, k] { Umkodierer(k); });
    }
}

bool TUmkodierung::Vorgemerkt(std::int32_t index) const {
    const std::lock_guard<std::mutex> sperre(fMutex);
    return std::find(fVorgemerkt.begin(), fVorgemerkt.end(), index) != fVorgemerkt.end();
}

std::optional<TUmkodierErgebnis> TUmkodierung::Abwarten(std::int32_t index) {
    std::unique_lock<std::mutex> sperre(fMutex);
    // At a cancel a run may end early yet successfully: its copy is cut off.
    while (!fAbbruch()) {
        const auto gefunden = fErgebnisse.find(index);
        if (gefunden != fErgebnisse.end()) {
            return gefunden->second;
        }
        if (fAusfall) {
            return TUmkodierErgebnis{false, {}, *fAusfall};
        }
        fGeaendert.wait_for(sperre, kWarteSchritt);
    }
    return std::nullopt;
}

// The body of re-encoder k: its runner, its line filters and its share of the progress.
void TUmkodierung::Umkodierer(std::int32_t k) {
    const TEncoderLaeufer laeufer = fEngine.Umkodierer(k);
    TEncoderLauf& lauf = fState.Mp3.UmkodierLaeufe.at(static_cast<std::size_t>(k));
    TEncoderMeldung meldung;
    std::atomic<std::int32_t> letzteZeit{0};
    TRoAnsiSBCSPipeFilter ausgabe(&laeufer.OutPipe, false);
    TRoAnsiSBCSPipeFilter fehler(&laeufer.ErrPipe, false);
    fehler.SetOnLineEnd([&](TRoAnsiSBCSPipeFilter&, const std::string& zeile) {
        EncoderZeileAuswerten(zeile, lauf.Dauer, lauf.Zeit, letzteZeit);
        meldung.ZeileAuswerten(zeile);
    });
    EncoderAnbinden(laeufer.App, ausgabe, fehler);
    try {
        while (const std::optional<TAuftrag> auftrag = Nehmen()) {
            lauf.Zuruecksetzen();
            TUmkodierErgebnis ergebnis;
            try {
                ergebnis = Ausfuehren(*auftrag, laeufer.App, meldung);
            } catch (const std::exception& ausnahme) {
                ergebnis = {false, auftrag->Kopie, ausnahme.what()};
            }
            // Counted done before its share goes, so the bar does not dip in between.
            if (ergebnis.Erfolg) {
                ++fState.Mp3.VorFertig;
            }
            lauf.Zuruecksetzen();
            Ablegen(auftrag->Index, std::move(ergebnis));
        }
    } catch (const std::exception& ausnahme) {
        // Out of memory or threads: the joiner must not wait for a file no one takes.
        const std::lock_guard<std::mutex> sperre(fMutex);
        fAusfall = ausnahme.what();
    }
    EncoderAbbinden(laeufer.App);
}

bool TUmkodierung::DarfNehmen() const {
    return !fState.Convert.PauseS && !fWartend.empty() &&
           (!fFehlerIndex || fWartend.begin()->first < *fFehlerIndex);
}

std::optional<TUmkodierung::TAuftrag> TUmkodierung::Nehmen() {
    std::unique_lock<std::mutex> sperre(fMutex);
    while (!fEnde && !fAbbruch()) {
        if (DarfNehmen()) {
            const auto erster = fWartend.begin();
            TAuftrag auftrag{erster->first, erster->second, {}};
            fWartend.erase(erster);
            // Two sources of the same name run at once: each copy's name is taken by an
            // empty file before the next one is chosen.
            auftrag.Kopie = KopieDateiName(fState.Daten.ArbeitsOrdner, auftrag.Quelle);
            std::ofstream{auftrag.Kopie};
            return auftrag;
        }
        fGeaendert.wait_for(sperre, kWarteSchritt);
    }
    return std::nullopt;
}

TUmkodierErgebnis TUmkodierung::Ausfuehren(const TAuftrag& auftrag, TRoConsoleApp& app,
                                           TEncoderMeldung& meldung) {
    const TDatenVariablen& daten = fState.Daten;
    const std::string befehl =
        FfmpegMp3Kommandozeile(daten.FfmpegDatei, auftrag.Quelle, daten.ZielBitrate,
                               daten.ZielSamplerate, daten.ZielChannels, auftrag.Kopie);
    meldung.Zuruecksetzen();
    const bool gelaufen = app.Execute(befehl, daten.ArbeitsOrdner.string());
    if (!FfmpegLaufErfolgreich(gelaufen, app, meldung)) {
        const std::string grund = EncoderFehlerGrund(app, meldung);
        return {false, auftrag.Kopie, grund.empty() ? "Die Umkodierung ist fehlgeschlagen" : grund};
    }
    return {true, auftrag.Kopie, {}};
}

void TUmkodierung::Ablegen(std::int32_t index, TUmkodierErgebnis ergebnis) {
    {
        const std::lock_guard<std::mutex> sperre(fMutex);
        if (!ergebnis.Erfolg) {
            fFehlerIndex = std::min(fFehlerIndex.value_or(index), index);
        }
        fErgebnisse[index] = std::move(ergebnis);
    }
    fGeaendert.notify_all();
}

} // namespace lorvane
