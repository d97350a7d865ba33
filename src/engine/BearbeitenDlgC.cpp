#include "engine/BearbeitenDlgC.h"

#include "base/FehlerGrund.h"
#include "base/TextCodec.h"
#include "engine/ConvertThreadC.h"
#include "engine/JobArbeitsOrdner.h"
#include "engine/Mp3ThreadC.h"
#include "engine/ThreadMeldungen.h"
#include "engine/ordner/Ordner.h"
#include "id3v2/ScratchFiles.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace lorvane {

namespace {

constexpr std::chrono::milliseconds kWarteSchritt{10};
// How long an encoder may take to end after "q" before it is killed.
constexpr std::chrono::seconds kEncoderStoppFrist{2};
constexpr std::chrono::milliseconds kStatusIntervall{250};

std::string ZeilenVerbinden(const std::vector<std::string>& zeilen) {
    std::string text;
    for (const std::string& zeile : zeilen) {
        text += zeile;
        text += "\r\n";
    }
    return TrimControlUtf8(text);
}

void RunnerBeenden(TRoConsoleApp& app) {
    if (!app.ProcessInfo().HasProcess()) {
        return;
    }
    // Set before the request: the runner reads it only after it sees the request.
    app.SetKillTimedOutProcess(true);
    app.Terminate();
}

} // namespace

TJobThreadErzeugung StandardJobThreads() {
    TJobThreadErzeugung threads;
    threads.Mp3Thread = [](TEventQueue& queue, TJobState& state, TJobEngine& engine) {
        return std::unique_ptr<TWorkerThread>(new TMp3Thread(queue, state, engine));
    };
    threads.ConvertThread = [](TEventQueue& queue, TJobState& state, TJobEngine& engine) {
        return std::unique_ptr<TWorkerThread>(new TConvertThread(queue, state, engine));
    };
    return threads;
}

std::string OrdnerNichtAngelegtText(const fs::path& ordner) {
    return "Der Ordner \"" + ordner.string() +
           "\" konnte nicht angelegt werden!\r\nDie Konvertierung wird abgebrochen!";
}

std::string AnwendungFehltText(const fs::path& datei) {
    return "Die Anwendung \"" + datei.string() +
           "\" existiert nicht!\r\nDie Konvertierung wird abgebrochen!";
}

std::string OrdnerNichtGeleertFrage(const fs::path& ordner, const std::string& grund) {
    return MitGrund("Der Ordner \"" + ordner.string() + "\" konnte nicht geleert werden!", grund) +
           "\r\nSoll trotzdem fortgesetzt werden?";
}

std::string FremderArbeitsOrdnerText(const fs::path& ordner) {
    return "Der Arbeitsordner \"" + ordner.string() +
           "\" wird nicht benutzt, weil das Programm nur in einem eigenen Ordner Dateien "
           "löscht!\r\nDie Konvertierung wird abgebrochen!";
}

std::string HoerbuchIstArbeitsOrdnerText(const fs::path& ordner) {
    return "Der Hörbuchordner \"" + ordner.string() +
           "\" darf nicht der Arbeitsordner sein!\r\nDie Konvertierung wird abgebrochen!";
}

std::string HoerbuchOrdnerLeerenFrage(const fs::path& ordner) {
    return "Soll der Hörbuchordner \"" + ordner.string() + "\" geleert werden?";
}

std::string HoerbuchOrdnerBelegtText(const fs::path& ordner) {
    return "Der Hörbuchordner \"" + ordner.string() +
           "\" wird gerade von einem anderen Auftrag benutzt!\r\nDie Konvertierung wird "
           "abgebrochen!";
}

TBearbeitenDlg::TBearbeitenDlg(IJobFrontEnd& frontEnd, TJobState& state,
                               const std::vector<TDateiZeile>& zeilen, TJobThreadErzeugung threads)
    : fFrontEnd(frontEnd), fState(state), fThreads(std::move(threads)) {
    fState.Mp3ListeAufbauen(zeilen);
    FormCreate();
}

TBearbeitenDlg::~TBearbeitenDlg() {
    auto& daten = fState.Daten;
    try {
        if (daten.Mp3ThreadLaeuftS || daten.ConvertThreadLaeuftS) {
            fState.Convert.AbbruchS = true;
            fState.Convert.PauseS = false;
            if (fEngine) {
                for (const TEncoderLaeufer& laeufer : fEngine->JoinerLaeufer()) {
                    EncoderStoppen(laeufer.InPipe);
                }
                fState.Convert.ConvertEncoderGestopptS = true;
                for (std::int32_t k = 0; k < fEngine->ConverterAnzahl(); ++k) {
                    EncoderStoppen(fEngine->Converter(k).InPipe);
                }
                fStoppZeit = fStoppZeit.value_or(std::chrono::steady_clock::now());
            }
            // Only the termination handlers: the front end may be what failed.
            while (daten.Mp3ThreadLaeuftS || daten.ConvertThreadLaeuftS) {
                EncoderFristPruefen();
                fQueue.ProcessPending();
                std::this_thread::sleep_for(kWarteSchritt);
            }
        }
    } catch (...) {
        // A destructor must not throw; the folders are still cleaned up below.
    }
    FormDestroy();
}

void TBearbeitenDlg::FormCreate() {
    fState.FortschrittsfensterErstellt();
    CaptionZuweisen();
    fPosition = 0;
    fPhase = 0;
    fFrontEnd.FortschrittPositionSetzen(0);
    fEngine = std::make_unique<TJobEngine>();
    fState.FortschrittsfensterOrdnerAnlegen();
}

void TBearbeitenDlg::CaptionZuweisen() {
    const auto anzahl = static_cast<std::int64_t>(fState.Mp3.Mp3Liste.size());
    fText1 = Status1Vorlage(anzahl);
    fText2 = Status2Vorlage(anzahl);
    fFrontEnd.StatusText1Setzen(fText1);
    fFrontEnd.StatusText2Setzen(fText2);
    FortschrittSetzen(0, 1);
}

void TBearbeitenDlg::FormDestroy() {
    if (fZerstoert) {
        return;
    }
    fZerstoert = true;
    fStatusTimerAktiv = false;
    fEngine.reset();
    SetTagScratchFolder({});
    // A folder another job holds is that job's; one nobody holds may go when empty.
    if (!fHoerbuchSperre) {
        fHoerbuchSperre = TOrdnerSperre::Versuchen(fState.Convert.HoerbuchOrdner);
    }
    fState.FortschrittsfensterZerstoert(!EingabeImOrdner(fState.Daten.ArbeitsOrdner),
                                        fHoerbuchSperre != nullptr);
    fHoerbuchSperre.reset();
}

void TBearbeitenDlg::FormShow() {
    fFrontEnd.StatusFokussieren();
    Timer2StaticTextTimer();
}

TModalResult TBearbeitenDlg::Timer1StartTimer() {
    if (fJobGelaufen) {
        return fModalResult;
    }
    fJobGelaufen = true;
    auto& convert = fState.Convert;
    // A cancel confirmed while a question of the checks was open starts nothing.
    if (StartPruefungen() && OrdnerLeerenMitFrage() && !convert.AbbruchS) {
        fPosition = 0;
        fPhase = 0;
        fFrontEnd.FortschrittPositionSetzen(0);
        if (fState.Daten.MinimierenS) {
            Btn1MinimierenClick();
        }
        if (ThreadsStarten()) {
            fFrontEnd.JobGestartet();
            AufThreadsWarten(true);
        }
        AufThreadsWarten(false);
    }
    fFrontEnd.CursorSetzen(TJobCursor::Normal);
    TrayVerlassen();
    fModalResult = convert.AbbruchS ? TModalResult::Cancel : TModalResult::OK;
    return fModalResult;
}

bool TBearbeitenDlg::StartPruefungen() {
    const fs::path& ffmpeg = fState.Daten.FfmpegDatei;
    std::error_code ec;
    std::string fehler = OrdnerFehler();
    if (fehler.empty() && (ffmpeg.empty() || !fs::is_regular_file(ffmpeg, ec))) {
        fehler = AnwendungFehltText(ffmpeg);
    }
    if (fehler.empty()) {
        // The tag writer's scratch files go where the job cleans up.
        SetTagScratchFolder(fState.Daten.ArbeitsOrdner);
        return true;
    }
    fState.Convert.AbbruchS = true;
    fFrontEnd.FehlerZeigen(fehler);
    return false;
}

std::string TBearbeitenDlg::OrdnerFehler() {
    const fs::path& hoerbuch = fState.Convert.HoerbuchOrdner;
    const fs::path& arbeit = fState.Daten.ArbeitsOrdner;
    if (const int code = OrdnerAnlegenFehler(hoerbuch); code != 0) {
        return MitGrund(OrdnerNichtAngelegtText(hoerbuch), SystemFehlerText(code));
    }
    // Its lock would fail on the working folder's own lock and blame another job.
    if (GleicherOrdner(hoerbuch, arbeit)) {
        return HoerbuchIstArbeitsOrdnerText(hoerbuch);
    }
    if (fHoerbuchSperre = TOrdnerSperre::Versuchen(hoerbuch); !fHoerbuchSperre) {
        return HoerbuchOrdnerBelegtText(hoerbuch);
    }
    if (const int code = ArbeitsOrdnerErzeugen(arbeit); code != 0) {
        return MitGrund(OrdnerNichtAngelegtText(arbeit), SystemFehlerText(code));
    }
    if (const std::string grund = ArbeitsOrdnerGrund(arbeit); !grund.empty()) {
        return MitGrund(FremderArbeitsOrdnerText(arbeit), grund);
    }
    // Both folders are emptied before the threads start: an input there is lost.
    return EingabeInJobOrdnerFehler();
}

std::string TBearbeitenDlg::EingabeInJobOrdnerFehler() const {
    for (const TMp3ListeRec& eintrag : fState.Mp3.Mp3Liste) {
        for (const fs::path* jobOrdner :
             {&fState.Convert.HoerbuchOrdner, &fState.Daten.ArbeitsOrdner}) {
            if (LiegtIn(eintrag.Eingabe, *jobOrdner, TLage::Direkt)) {
                return EingabeImOrdnerText(eintrag.Eingabe, *jobOrdner);
            }
        }
    }
    return {};
}

bool TBearbeitenDlg::EingabeImOrdner(const fs::path& ordner) const {
    const TMp3Liste& liste = fState.Mp3.Mp3Liste;
    return std::any_of(liste.begin(), liste.end(), [&ordner](const TMp3ListeRec& eintrag) {
        return LiegtIn(eintrag.Eingabe, ordner, TLage::Direkt);
    });
}

bool TBearbeitenDlg::OrdnerLeerenMitFrage() {
    const fs::path& hoerbuch = fState.Convert.HoerbuchOrdner;
    const fs::path& arbeit = fState.Daten.ArbeitsOrdner;
    const bool hoerbuchGeleert = HoerbuchOrdnerLeeren(hoerbuch);
    const bool arbeitGeleert = OrdnerLeeren(arbeit, false);
    if (hoerbuchGeleert && arbeitGeleert) {
        return true;
    }
    const fs::path& ordner = hoerbuchGeleert ? arbeit : hoerbuch;
    if (fFrontEnd.FrageJaNein(OrdnerNichtGeleertFrage(ordner, LoeschOrdnerGrund(ordner)))) {
        return true;
    }
    fState.Convert.AbbruchS = true;
    return false;
}

bool TBearbeitenDlg::HoerbuchOrdnerLeeren(const fs::path& ordner) {
    if (HoerbuchDateien(ordner).empty()) {
        return true;
    }
    // A link leads out of the output folder: what lies there is not the job's.
    if (!LoeschOrdnerGrund(ordner).empty()) {
        return false;
    }
    if (!fFrontEnd.FrageJaNein(HoerbuchOrdnerLeerenFrage(ordner))) {
        // The files stay; the job replaces those of the same names.
        return true;
    }
    return HoerbuchOrdnerDateienLoeschen(ordner);
}

bool TBearbeitenDlg::ThreadsStarten() {
    auto& daten = fState.Daten;
    std::unique_ptr<TWorkerThread> mp3;
    std::vector<std::unique_ptr<TWorkerThread>> converter;
    bool mp3Gestartet = false;
    try {
        mp3 = NeuerThread(fThreads.Mp3Thread);
        mp3->SetOnTerminate([this, &daten](TWorkerThread& thread) {
            ThreadAusnahmeMelden(thread, true);
            daten.Mp3ThreadLaeuftS = false;
        });
        mp3->SetFreeOnTerminate(true);
        const std::int32_t anzahl = std::clamp<std::int32_t>(daten.Encoder, 1, kMaxEncoder);
        fEngine->ConverterAnlegen(anzahl);
        fEngine->UmkodiererAnlegen(anzahl);
        fConverterLaufend = anzahl;
        for (std::int32_t k = 0; k < anzahl; ++k) {
            converter.push_back(NeuerThread(fThreads.ConvertThread));
            converter.back()->SetOnTerminate([this, &daten](TWorkerThread& thread) {
                ThreadAusnahmeMelden(thread, false);
                // The flag stays while another converter runs.
                if (--fConverterLaufend == 0) {
                    daten.ConvertThreadLaeuftS = false;
                }
            });
            converter.back()->SetFreeOnTerminate(true);
        }
        mp3->Start();
        // From here on the thread frees itself.
        mp3.release();
        mp3Gestartet = true;
        for (std::unique_ptr<TWorkerThread>& thread : converter) {
            thread->Start();
            thread.release();
        }
        return true;
    } catch (const std::exception& fehler) {
        // What was not started never ends by itself: its running flag goes now. A
        // started joiner sees the cancel and ends.
        if (!mp3Gestartet) {
            mp3.reset();
            daten.Mp3ThreadLaeuftS = false;
        }
        converter.clear();
        daten.ConvertThreadLaeuftS = false;
        fState.Convert.AbbruchS = true;
        fFrontEnd.FehlerZeigen(fehler.what());
        return false;
    }
}

std::unique_ptr<TWorkerThread> TBearbeitenDlg::NeuerThread(const TJobThreadErzeuger& erzeuger) {
    std::unique_ptr<TWorkerThread> thread = erzeuger ? erzeuger(fQueue, fState, *fEngine) : nullptr;
    if (!thread) {
        throw std::runtime_error("Der Arbeitsthread konnte nicht erzeugt werden!");
    }
    return thread;
}

// A body that ended through an exception did not finish its work: that is an error
// of the thread, reported like the ones it reports itself.
void TBearbeitenDlg::ThreadAusnahmeMelden(TWorkerThread& thread, bool joiner) {
    if (const std::exception_ptr ausnahme = thread.FatalException()) {
        std::string grund = "unbekannter Fehler";
        try {
            std::rethrow_exception(ausnahme);
        } catch (const std::exception& fehler) {
            grund = fehler.what();
        } catch (...) {
        }
        if (joiner) {
            fState.Mp3FehlerMelden(ThreadAbbruchFehler(grund));
        } else {
            fState.ConvertFehlerMelden(ThreadAbbruchFehler(grund));
        }
    }
}

void TBearbeitenDlg::AufThreadsWarten(bool fehlerPruefen) {
    const auto& daten = fState.Daten;
    const auto& convert = fState.Convert;
    if (fehlerPruefen) {
        while (!convert.AbbruchS &&
               (daten.Mp3ThreadLaeuftS || daten.ConvertThreadLaeuftS || convert.PauseS)) {
            Ereignisse();
            std::this_thread::sleep_for(kWarteSchritt);
            FehlerlisteUebernehmen();
        }
        return;
    }
    while (daten.Mp3ThreadLaeuftS || daten.ConvertThreadLaeuftS) {
        Ereignisse();
        EncoderFristPruefen();
        std::this_thread::sleep_for(kWarteSchritt);
    }
}

void TBearbeitenDlg::EncoderFristPruefen() {
    if (fStoppZeit && !fEncoderBeendet &&
        std::chrono::steady_clock::now() - *fStoppZeit >= kEncoderStoppFrist) {
        fEncoderBeendet = true;
        EncoderBeenden();
    }
}

void TBearbeitenDlg::Ereignisse() {
    fFrontEnd.EreignisseVerarbeiten();
    fQueue.ProcessPending();
    if (fStatusTimerAktiv && std::chrono::steady_clock::now() >= fNaechsterStatus) {
        Timer2StaticTextTimer();
    }
}

void TBearbeitenDlg::FehlerlisteUebernehmen() {
    auto& convert = fState.Convert;
    if (convert.ConvertFehlerListe.Empty() && convert.Mp3FehlerListe.Empty()) {
        return;
    }
    convert.AbbruchS = true;
    convert.PauseS = false;
    TrayVerlassen();
    // Only one list is shown, the converter's first.
    auto& liste =
        convert.ConvertFehlerListe.Empty() ? convert.Mp3FehlerListe : convert.ConvertFehlerListe;
    fFrontEnd.FehlerZeigen(ZeilenVerbinden(liste.TakeAll()));
}

void TBearbeitenDlg::TrayVerlassen() {
    if (fFrontEnd.TrayIconSichtbar()) {
        fFrontEnd.TrayIconSichtbarSetzen(false);
        fFrontEnd.HauptfensterZeigen();
    }
}

void TBearbeitenDlg::Timer2StaticTextTimer() {
    fStatusTimerAktiv = false;
    try {
        const TJobStatusAnzeige anzeige = StatusBerechnen(ZaehlerLesen());
        if (anzeige.Text1 != fText1) {
            fText1 = anzeige.Text1;
            fFrontEnd.StatusText1Setzen(fText1);
        }
        if (anzeige.Text2 != fText2) {
            fText2 = anzeige.Text2;
            fFrontEnd.StatusText2Setzen(fText2);
        }
        if (anzeige.Fortschritt) {
            FortschrittSetzen(anzeige.Fortschritt->Wert, anzeige.Fortschritt->Phase);
        }
    } catch (const std::exception&) {
        // The next update tries again.
    }
    if (!fState.Convert.AbbruchS) {
        fStatusTimerAktiv = true;
        fNaechsterStatus = std::chrono::steady_clock::now() + kStatusIntervall;
    }
}

void TBearbeitenDlg::FortschrittSetzen(std::int64_t wert, int phase) {
    auto position = static_cast<int>(FortschrittWert({wert, phase}, ZaehlerLesen()));
    // Encoders that end and take files or parts move their counters one after the
    // other: within a phase the bar must not step back meanwhile. The converter's
    // phase after the joiner's starts again from its own count.
    if (phase == fPhase) {
        position = std::max(position, fPosition);
    }
    fPhase = phase;
    if (position != fPosition) {
        fPosition = position;
        fFrontEnd.FortschrittPositionSetzen(position);
    }
    const std::string caption = FortschrittCaption(position, fState.Daten.Album);
    if (caption != fCaption) {
        fCaption = caption;
        fFrontEnd.CaptionSetzen(caption);
    }
    const std::string hint = FortschrittTrayHint(position, phase);
    if (hint != fFrontEnd.TrayHint()) {
        fFrontEnd.TrayHintSetzen(hint);
    }
}

void TBearbeitenDlg::Btn1MinimierenClick() {
    if (fState.Convert.AbbruchS) {
        return;
    }
    fFrontEnd.StatusFokussieren();
    fFrontEnd.AnwendungMinimieren();
    fFrontEnd.TrayIconSichtbarSetzen(true);
    fFrontEnd.HauptfensterVerbergen();
}

void TBearbeitenDlg::Btn2AbbrechenClick() {
    auto& convert = fState.Convert;
    if (convert.AbbruchS) {
        return;
    }
    convert.PauseS = true;
    const bool ja = fFrontEnd.FrageJaNein(AbbrechenFrage);
    convert.AbbruchS = ja;
    // A thread that reported an error while the question was open holds on it until
    // the controller takes the message.
    if (convert.ConvertFehlerListe.Empty() && convert.Mp3FehlerListe.Empty()) {
        convert.PauseS = false;
    }
    if (ja) {
        AbbruchAusfuehren();
    }
}

void TBearbeitenDlg::AbbruchBestaetigt() {
    auto& convert = fState.Convert;
    if (convert.AbbruchS) {
        return;
    }
    convert.AbbruchS = true;
    convert.PauseS = false;
    AbbruchAusfuehren();
}

void TBearbeitenDlg::AbbruchAusfuehren() {
    fFrontEnd.CursorSetzen(TJobCursor::Sanduhr);
    fFrontEnd.AbbruchAngenommen();
    if (fEngine) {
        // The encoder ends its run when it reads "q" on its standard input.
        // A "q" left in the pipe of a runner between runs would stop its next run.
        for (const TEncoderLaeufer& laeufer : fEngine->JoinerLaeufer()) {
            if (fState.Daten.Mp3ThreadLaeuftS && laeufer.App.ProcessInfo().HasProcess()) {
                EncoderStoppen(laeufer.InPipe);
            }
        }
        for (std::int32_t k = 0; k < fEngine->ConverterAnzahl(); ++k) {
            const TEncoderLaeufer laeufer = fEngine->Converter(k);
            if (fState.Daten.ConvertThreadLaeuftS && laeufer.App.ProcessInfo().HasProcess()) {
                fState.Convert.ConvertEncoderGestopptS = true;
                EncoderStoppen(laeufer.InPipe);
            }
        }
        // An encoder that ignores "q" must not keep the job alive.
        fStoppZeit = fStoppZeit.value_or(std::chrono::steady_clock::now());
    }
    std::this_thread::sleep_for(kWarteSchritt);
}

void TBearbeitenDlg::EncoderBeenden() {
    if (!fState.Convert.AbbruchS || !fEngine) {
        return;
    }
    if (fState.Daten.Mp3ThreadLaeuftS) {
        for (const TEncoderLaeufer& laeufer : fEngine->JoinerLaeufer()) {
            RunnerBeenden(laeufer.App);
        }
    }
    if (fState.Daten.ConvertThreadLaeuftS) {
        for (std::int32_t k = 0; k < fEngine->ConverterAnzahl(); ++k) {
            RunnerBeenden(fEngine->Converter(k).App);
        }
    }
}

TJobZaehler TBearbeitenDlg::ZaehlerLesen() const {
    const auto& daten = fState.Daten;
    const auto& convert = fState.Convert;
    const auto& mp3 = fState.Mp3;
    TJobZaehler z;
    z.Mp3ThreadLaeuft = daten.Mp3ThreadLaeuftS;
    z.ConvertThreadLaeuft = daten.ConvertThreadLaeuftS;
    z.AnzahlDateien = static_cast<std::int64_t>(mp3.Mp3Liste.size());
    z.VorIndex = mp3.VorIndex;
    z.KopierIndex = mp3.KopierIndex;
    z.KopiertBytes = mp3.KopiertBytes;
    z.GesamtBytes = mp3.GesamtBytes;
    z.Mp3Dauer = mp3.Mp3Dauer;
    z.Mp3Zeit = mp3.Mp3Zeit;
    z.VorFertig = mp3.VorFertig;
    z.ConvertIndex = convert.ConvertIndex;
    z.AnzahlTeile = convert.ConvertListe.Count();
    z.ConvertDauer = convert.ConvertDauer;
    z.ConvertZeit = convert.ConvertZeit;
    if (fEngine) {
        for (std::int32_t k = 0; k < fEngine->UmkodiererAnzahl(); ++k) {
            const TEncoderLauf& lauf = mp3.UmkodierLaeufe.at(static_cast<std::size_t>(k));
            z.UmkodierLaeufe.emplace_back(lauf.Zeit, lauf.Dauer);
        }
    }
    if (fEngine && fEngine->ConverterAnzahl() > 1) {
        z.LaufendeTeile = convert.LaufendeTeile;
        for (std::int32_t k = 1; k < fEngine->ConverterAnzahl(); ++k) {
            z.WeitereLaeufe.emplace_back(fState.Convert.LaufZeit(k), fState.Convert.LaufDauer(k));
        }
    }
    return z;
}

} // namespace lorvane
