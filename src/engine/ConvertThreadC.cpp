#include "engine/ConvertThreadC.h"

#include <cerrno>
#include <chrono>
#include <optional>
#include <system_error>
#include <thread>

#include "base/FehlerGrund.h"
#include "engine/Kapitel.h"
#include "engine/ThreadMeldungen.h"
#include "engine/Titelbild.h"
#include "engine/encoder/EncoderAnbindung.h"
#include "engine/encoder/FfmpegAufruf.h"
#include "engine/encoder/Mp4Datei.h"
#include "engine/ordner/DateiKopie.h"
#include "engine/ordner/Ordner.h"

namespace fs = std::filesystem;

namespace lorvane {

namespace {

constexpr std::chrono::milliseconds kWarteSchritt{10};

void Warten() {
    std::this_thread::sleep_for(kWarteSchritt);
}

fs::path MitEndung(const fs::path& ordner, const fs::path& teil, const char* endung) {
    return ordner / fs::path(teil.filename()).replace_extension(endung);
}

} // namespace

TConvertThread::TConvertThread(TEventQueue& controllerQueue, TJobState& state, TJobEngine& engine)
    : TWorkerThread(controllerQueue), fPlatz(engine.ConverterPlatzNehmen()),
      fLaeufer(engine.Converter(fPlatz)),
      FErrFilter(std::make_unique<TRoAnsiSBCSPipeFilter>(&fLaeufer.ErrPipe, false)),
      FOutFilter(std::make_unique<TRoAnsiSBCSPipeFilter>(&fLaeufer.OutPipe, false)), fState(state),
      fEngine(engine) {
    // The standard output's lines carry nothing the job needs: no handler.
    FErrFilter->SetOnLineEnd([this](TRoAnsiSBCSPipeFilter&, const std::string& zeile) {
        EncoderZeileAuswerten(zeile, fState.Convert.LaufDauer(fPlatz),
                              fState.Convert.LaufZeit(fPlatz), fLetzteZeit);
        fEncoderMeldung.ZeileAuswerten(zeile);
    });
    // After each run the last position the encoder reported (0 when none) adds to the length.
    EncoderAnbinden(fLaeufer.App, *FOutFilter, *FErrFilter,
                    [this] { fState.Daten.M4bDauer += fLetzteZeit; });
    state.Daten.ConvertThreadLaeuftS = true;
}

TConvertThread::~TConvertThread() {
    // The members must outlive the body, so the wait cannot be left to the base.
    TerminateAndWait();
    EncoderAbbinden(fLaeufer.App);
}

void TConvertThread::Pausieren() const {
    const TConvertVariablen& convert = fState.Convert;
    while (convert.PauseS && !convert.AbbruchS && !Terminated()) {
        Warten();
    }
}

bool TConvertThread::Ende() const {
    // The joiner's flag first: once it reads false, every part the joiner queued is
    // in the count read after it. Read the other way round, a part queued between the
    // two reads would be left behind.
    const bool joinerLaeuft = fState.Daten.Mp3ThreadLaeuftS;
    const std::int32_t anzahl = fState.Convert.ConvertListe.Count();
    const bool nichtsMehr = !joinerLaeuft && fState.Convert.ConvertIndex >= anzahl - 1;
    return nichtsMehr || fState.Convert.AbbruchS || Terminated();
}

std::optional<std::int32_t> TConvertThread::TeilNehmen() {
    auto& convert = fState.Convert;
    std::int32_t index = convert.ConvertIndex;
    // Several converters take parts: the index moves on only for the one that took it.
    while (index < convert.ConvertListe.Count() - 1) {
        if (convert.ConvertIndex.compare_exchange_weak(index, index + 1)) {
            return index + 1;
        }
    }
    return std::nullopt;
}

void TConvertThread::Execute() {
    for (;;) {
        fState.ConvertDurchlaufGestartet(fPlatz);
        fLetzteZeit = 0;
        Pausieren();
        if (Ende()) {
            return;
        }
        Warten();
        const std::optional<std::int32_t> index = TeilNehmen();
        if (!index) {
            continue;
        }
        ++fState.Convert.LaufendeTeile;
        if (const std::optional<fs::path> teil = fState.Convert.ConvertListe.At(*index)) {
            TeilKonvertieren(*teil, *index);
        }
        --fState.Convert.LaufendeTeile;
    }
}

// After a failure the next pass holds until the controller stops the job.
void TConvertThread::TeilKonvertieren(const fs::path& teil, std::int32_t index) {
    const fs::path& ordner = fState.Convert.HoerbuchOrdner;
    const fs::path ergebnis = MitEndung(ordner, teil, ".m4a");
    const fs::path fertig = MitEndung(ordner, teil, ".m4b");
    // A result left by an earlier job must not pass for this run's.
    DateiLoeschen(ergebnis);
    if (!EncoderAusfuehren(teil, ergebnis, index)) {
        // A failed run may have left a truncated file that must not pass for a result.
        DateiLoeschen(ergebnis);
        fState.ConvertFehlerMelden(MitGrund(KonvertierungFehler(teil), KonvertierungGrund()));
        return;
    }
    if (fState.Convert.ConvertEncoderGestopptS) {
        // Stopped by "q", the encoder ends normally with what it has: a part of minutes
        // that would pass for one of hours.
        DateiLoeschen(ergebnis);
        return;
    }
    Warten();
    std::error_code ec;
    if (fState.Daten.CopyMp3FileS) {
        const fs::path kopie = ordner / teil.filename();
        // Replacing means a new file: a link of that name is replaced, not written through.
        if (const int fehler = DateiVollstaendigKopieren(teil, kopie); fehler != 0) {
            fState.ConvertFehlerMelden(MitGrund(Mp3KopierFehler(teil), SystemFehlerText(fehler)) +
                                       "\r\n" + VollstaendigUnterAltemNamen(ergebnis));
            return;
        }
        fState.Convert.FertigeDateien.Add(kopie);
    }
    const fs::path kapitel = KapitelDateiName(teil);
    const std::int32_t kapitelAnzahl = KapitelZaehlen(kapitel);
    DateiLoeschen(teil);
    DateiLoeschen(kapitel);
    if (fs::exists(fs::symlink_status(fertig, ec))) {
        DateiLoeschen(fertig);
    }
    fs::rename(ergebnis, fertig, ec);
    if (ec) {
        // The converted part is whole: the user is told where it lies.
        fState.ConvertFehlerMelden(
            MitGrund(UmbenennungFehler(ergebnis), SystemFehlerText(ec.value())) + "\r\n" +
            VollstaendigUnterAltemNamen(ergebnis));
        return;
    }
    fState.Convert.FertigeDateien.Add(fertig);
    fState.Convert.FertigeKapitel.Add({fertig, kapitelAnzahl});
    ++fState.Convert.FertigeTeile;
}

std::string TConvertThread::KonvertierungGrund() const {
    // The encoder said it succeeded; what it said besides is no reason.
    if (!fErgebnisFehler.empty()) {
        return fErgebnisFehler;
    }
    return EncoderFehlerGrund(fLaeufer.App, fEncoderMeldung);
}

bool TConvertThread::EncoderAusfuehren(const fs::path& teil, const fs::path& ergebnis,
                                       std::int32_t index) {
    const TDatenVariablen& daten = fState.Daten;
    std::error_code fehler;
    const fs::path kapitel = KapitelDateiName(teil);
    TM4aZiel ziel{daten.ZielBitrate,
                  daten.ZielSamplerate,
                  daten.ZielChannels,
                  index + 1,
                  fState.Convert.TeileErwartet,
                  fs::is_regular_file(kapitel, fehler) ? kapitel : fs::path(),
                  TitelbildDateiName(daten.ArbeitsOrdner),
                  KapitelVorlauf(kapitel)};
    if (!fs::is_regular_file(ziel.Titelbild, fehler)) {
        ziel.Titelbild.clear();
    }
    const std::string befehl =
        FfmpegM4aKommandozeile(daten.FfmpegDatei, teil, ergebnis.filename().string(), ziel);
    TRoConsoleApp& app = fLaeufer.App;
    fEncoderMeldung.Zuruecksetzen();
    fErgebnisFehler.clear();
    try {
        const bool gelaufen = app.Execute(befehl, fState.Convert.HoerbuchOrdner.string());
        // Also the exit code: an encoder that failed may still have written a file.
        if (!FfmpegLaufErfolgreich(gelaufen, app, fEncoderMeldung)) {
            return false;
        }
        // An encoder that was stopped with "q" leaves what it has: that is looked at later.
        if (!fState.Convert.ConvertEncoderGestopptS && !Mp4Vollstaendig(ergebnis)) {
            std::error_code ec;
            fErgebnisFehler = fs::exists(fs::symlink_status(ergebnis, ec))
                                  ? "Die vom Encoder geschriebene Datei ist unvollständig"
                                  : SystemFehlerText(ENOENT);
            return false;
        }
        return true;
    } catch (const std::exception&) {
        // A pipe that could not be read during the run.
        return false;
    }
}

} // namespace lorvane
