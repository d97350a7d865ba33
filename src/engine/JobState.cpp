#include "engine/JobState.h"

#include "base/DatenC.h"

#include <algorithm>
#include <limits>
#include <sched.h>
#include <thread>

namespace fs = std::filesystem;

namespace lorvane {

std::int32_t StandardEncoder() {
    cpu_set_t kerne;
    CPU_ZERO(&kerne);
    int anzahl = 0;
    if (::sched_getaffinity(0, sizeof kerne, &kerne) == 0) {
        anzahl = CPU_COUNT(&kerne);
    }
    if (anzahl <= 0) {
        anzahl = static_cast<int>(std::thread::hardware_concurrency());
    }
    return std::clamp<std::int32_t>(anzahl, 1, kMaxEncoder);
}

namespace {

std::int32_t SummeBegrenzt(std::int64_t summe) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(summe > kMax ? kMax : (summe < kMin ? kMin : summe));
}

} // namespace

TJobState::TJobState(const TStandardOrdner& ordner) {
    Daten.AusgabeOrdner = ordner.AusgabeOrdner;
    Daten.ArbeitsOrdner = ordner.ArbeitsOrdner;
    Daten.FfmpegDatei = ordner.FfmpegDatei;
    Daten.SendToLink = ordner.SendToLink;
}

void TJobState::HauptfensterErstellt() {
    Daten.Autor.clear();
    Daten.Titel.clear();
    Daten.Album.clear();
    Daten.Mp3ThreadLaeuftS = false;
    Daten.ConvertThreadLaeuftS = false;
    Daten.ZielBitrate = 0;
    Daten.ZielSamplerate = 0;
    Daten.ZielChannels = 0;
}

void TJobState::HauptfensterOrdnerVorbereiten() const {
    OrdnerAnlegen(Daten.AusgabeOrdner);
    if (ArbeitsOrdnerAnlegen(Daten.ArbeitsOrdner)) {
        OrdnerLeeren(Daten.ArbeitsOrdner, false);
    }
}

void TJobState::HauptfensterOrdnerAufraeumen() const {
    OrdnerEntfernenWennLeer(Daten.AusgabeOrdner);
    OrdnerLeeren(Daten.ArbeitsOrdner, true);
}

void TJobState::HinzufuegenGeoeffnet(bool dateiListeLeer) {
    Daten.GesamtDauer = 0;
    if (dateiListeLeer) {
        Daten.Autor.clear();
        Daten.Titel.clear();
        Daten.Album.clear();
    }
}

void TJobState::HinzufuegenScanGestartet(bool dateiListeLeer) {
    if (dateiListeLeer) {
        Daten.ZielBitrate = 0;
        Daten.ZielSamplerate = 0;
        Daten.ZielChannels = 0;
    }
}

void TJobState::Mp3ListeAufbauen(const std::vector<TDateiZeile>& zeilen) {
    Mp3.Mp3Liste.clear();
    Convert.ConvertListe.Clear();
    Mp3.Mp3Liste.reserve(zeilen.size());
    std::int64_t summe = 0;
    for (const TDateiZeile& zeile : zeilen) {
        TMp3ListeRec eintrag;
        eintrag.Filename = fs::path(zeile.Caption);
        eintrag.Eingabe = eintrag.Filename;
        eintrag.Dauer = ZeitInSekunden(zeile.Dauer);
        summe += eintrag.Dauer;
        Mp3.Mp3Liste.push_back(std::move(eintrag));
    }
    Daten.GesamtDauer = SummeBegrenzt(summe);
    Daten.M4bDauer = 0;
}

void TJobState::FortschrittsfensterErstellt() {
    for (std::int32_t k = 0; k < kMaxEncoder; ++k) {
        ConvertDurchlaufGestartet(k);
    }
    Convert.LaufendeTeile = 0;
    Daten.TeilNr = 0;
    Daten.Mp3ThreadLaeuftS = false;
    Daten.ConvertThreadLaeuftS = false;
    Mp3.Mp3Dauer = -1;
    Mp3.Mp3Zeit = -1;
    Mp3.VorIndex = -1;
    Mp3.KopierIndex = -1;
    Mp3.VorFertig = 0;
    for (TEncoderLauf& lauf : Mp3.UmkodierLaeufe) {
        lauf.Zuruecksetzen();
    }
    Convert.ConvertIndex = -1;
    Convert.AbbruchS = false;
    Convert.PauseS = false;
    Convert.ConvertFehlerListe.Clear();
    Convert.Mp3FehlerListe.Clear();
    Convert.ConvertListe.Clear();
    Convert.FertigeDateien.Clear();
    Convert.FertigeKapitel.Clear();
    Convert.ConvertEncoderGestopptS = false;
    Convert.TeileErwartet = 0;
    Convert.FertigeTeile = 0;
    Daten.M4bDauer = 0;
    Convert.HoerbuchOrdner = HoerbuchOrdnerBerechnen();
}

void TJobState::FortschrittsfensterOrdnerAnlegen() const {
    OrdnerAnlegen(Convert.HoerbuchOrdner);
    ArbeitsOrdnerAnlegen(Daten.ArbeitsOrdner);
}

void TJobState::FortschrittsfensterZerstoert(bool arbeitsOrdnerLeeren,
                                             bool hoerbuchOrdnerEntfernen) {
    Convert.ConvertFehlerListe.Clear();
    Convert.Mp3FehlerListe.Clear();
    Mp3.Mp3Liste.clear();
    if (arbeitsOrdnerLeeren) {
        OrdnerLeeren(Daten.ArbeitsOrdner, false);
    }
    if (hoerbuchOrdnerEntfernen) {
        OrdnerEntfernenWennLeer(Convert.HoerbuchOrdner);
    }
}

void TJobState::JoinerGestartet() {
    Mp3.VorIndex = 0;
    Mp3.VorFertig = 0;
    Mp3.GesamtBytes = 0;
}

void TJobState::VerbindenGestartet() {
    Mp3.KopiertBytes = 0;
    Daten.TeilNr = 0;
}

void TJobState::Mp3ZeitenZuruecksetzen() {
    Mp3.Mp3Dauer = -1;
    Mp3.Mp3Zeit = -1;
}

std::vector<std::pair<fs::path, std::int32_t>> TJobState::FertigeKapitelInTeilfolge() const {
    std::vector<std::pair<fs::path, std::int32_t>> kapitel = Convert.FertigeKapitel.Copy();
    std::sort(kapitel.begin(), kapitel.end(), [](const auto& a, const auto& b) {
        const std::string& x = a.first.native();
        const std::string& y = b.first.native();
        return x.size() != y.size() ? x.size() < y.size() : x < y;
    });
    return kapitel;
}

void TJobState::ConvertDurchlaufGestartet() {
    ConvertDurchlaufGestartet(0);
    Daten.LetzteZeit = 0;
}

void TJobState::ConvertDurchlaufGestartet(std::int32_t k) {
    Convert.LaufDauer(k) = -1;
    Convert.LaufZeit(k) = -1;
}

void TJobState::Mp3FehlerMelden(std::string meldung) {
    Convert.PauseS = true;
    Convert.Mp3FehlerListe.Add(std::move(meldung));
}

void TJobState::ConvertFehlerMelden(std::string meldung) {
    Convert.PauseS = true;
    Convert.ConvertFehlerListe.Add(std::move(meldung));
}

fs::path TJobState::HoerbuchOrdnerBerechnen() const {
    // Album arrives cleaned, which leaves it unchanged here; should it ever arrive raw,
    // it still cannot name a folder outside the output folder.
    fs::path ordner = MitTrenner(Daten.AusgabeOrdner);
    ordner += NameBereinigen(Daten.Album, false);
    ordner += "/";
    return ordner;
}

} // namespace lorvane
