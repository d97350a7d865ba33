#include "cli/BuildCommand.h"

#include "base/DatenC.h"
#include "cli/AusgabePruefen.h"
#include "cli/ConsoleFrontEnd.h"
#include "cli/JobBericht.h"
#include "engine/JobLauf.h"
#include "engine/JobState.h"
#include "engine/JobStatus.h"
#include "engine/auswahl/Mp3Suche.h"
#include "engine/ordner/Ordner.h"
#include "engine/prozess/RoProcess.h"

#include <array>
#include <cstdlib>
#include <ostream>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace lorvane::cli {

namespace {

constexpr const char* kHilfe = R"HILFE(Aufruf: lorvane-cli build [OPTIONEN] EINGABE...

Erstellt ein Hörbuch aus MP3-Dateien: Die Dateien werden in ihrer Reihenfolge zu
Teilen von ungefähr der gewählten Länge zusammengefügt, und ffmpeg wandelt jeden
Teil in eine M4B-Datei um. Dateien in einem anderen Format als dem häufigsten
werden vorher umkodiert.

EINGABE sind Ordner und MP3-Dateien. Ein Ordner liefert seine MP3-Dateien (*.mp3,
ohne versteckte Dateien) in der Reihenfolge eines Dateimanagers: Zahlen nach ihrem
Wert, also "Kapitel 2" vor "Kapitel 10". Direkt angegebene Dateien behalten ihre
Reihenfolge. Eine Datei, die schon in der Liste steht, wird nicht noch einmal
genommen. Eine fehlerhafte Datei wird nicht genommen; die Frage, ob trotzdem
weitergemacht werden soll, bricht mit Nein den Befehl ab.

Optionen:
  -a, --author TEXT    Autor
  -t, --title TEXT     Titel; die Teile heißen "Titel (001)", "Titel (002)" ...
  -l, --album TEXT     Album; auch der Name des Hörbuchordners
  -s, --hours N        ungefähre Länge jeder M4B-Datei in Stunden, 1 bis 10
                       (Vorgabe: 5)
  -o, --output ORDNER  Ausgabeordner statt ~/lorvane-Ausgabeordner; das Hörbuch
                       kommt in den Hörbuchordner ORDNER/ALBUM/
  -c, --copy-mp3       die zusammengefügten MP3-Teile auch in den Hörbuchordner
                       kopieren
  -g, --exact-size     jeden Teil genau bei der gewählten Länge beenden (nach dem
                       Frame, in dem sie erreicht ist); sonst endet er am Ende
                       einer Datei nahe dieser Länge (bis ein Zehntel davor oder
                       danach), sonst in der längsten Sprechpause der zwei
                       Minuten um sie herum
  -j, --jobs N         höchstens N Teile gleichzeitig umwandeln und N Dateien
                       gleichzeitig umkodieren, 1 bis 16 (Vorgabe: die Zahl der
                       Prozessorkerne, die das Programm nutzen darf)
  -r, --recursive      auch die Unterordner der Ordner durchsuchen (nach den
                       Dateien des Ordners, Unterordner in Dateimanager-Reihenfolge)
  -y, --yes            jede Frage mit Ja beantworten
  -h, --help           diese Hilfe
  --                   Ende der Optionen: Danach darf eine Eingabe mit "-" beginnen.

Ohne -a, -t und -l gelten Autor, Titel und Album der ersten Datei, die einen Titel
trägt. Nennt kein Tag Titel oder Album, gilt dafür der Name des Ordners der ersten
Eingabe (bei einem Ordner dieser selbst). Alle drei werden bereinigt: Leerzeichen
am Rand und die in Dateinamen unzulässigen Zeichen (Steuerzeichen und
" * / : < > ? \ |) fallen weg, ein leerer Text wird zu "_".

Fragen: Ohne --yes stellt der Befehl seine Fragen (zum Beispiel, ob die alten
M4B-, M4A- und MP3-Dateien eines nicht leeren Hörbuchordners gelöscht werden
sollen; andere Dateien bleiben immer) am Terminal, auch wenn die Fehlerausgabe
umgeleitet ist; die Antwort ist j oder n. Ohne Terminal wird jede Frage mit Nein
beantwortet.

Fortschritt und Meldungen stehen auf der Fehlerausgabe: an einem Terminal die zwei
Statuszeilen und der Prozentwert, die sich an Ort und Stelle erneuern, sonst eine
einfache Zeile, sobald sich ein Statustext ändert oder der Prozentwert ein neues
Vielfaches von 5 erreicht. Am Ende stehen die Erfolgsmeldung, der Hörbuchordner
und die M4B-Dateien auf der Standardausgabe, dazu die M4B-, M4A- und MP3-Dateien im
Hörbuchordner, die nicht von diesem Auftrag stammen. Steuerzeichen in Dateinamen
erscheinen dabei als Leerzeichen. Ein Hörbuchordner, in dem gerade ein anderer
Auftrag arbeitet, wird nicht angerührt; ein Hörbuchordner, der ein Verweis ist, wird
nie geleert.

Strg+C bricht die Erstellung ab: Laufende Encoder bekommen ein "q", der Befehl
wartet auf das Ende beider Arbeitsschritte und räumt den Arbeitsordner auf. Nur
vollständig umgewandelte Teile bleiben als M4B-Dateien; der Befehl nennt sie. Ein
zweites Strg+C beendet laufende Encoder sofort. SIGTERM und SIGHUP (das Terminal
wird geschlossen) brechen ebenso ab.

Rückgabewert:
  0    das Hörbuch wurde erstellt
  1    die Erstellung ist fehlgeschlagen oder wurde abgebrochen
  2    Aufruffehler
  130  mit Strg+C abgebrochen (143 bei SIGTERM, 129 bei SIGHUP)

Umgebung:
  LORVANE_FFMPEG   der Encoder ffmpeg (Vorgabe: Encoder/ffmpeg oder ffmpeg neben
                   dem Programm, sonst ffmpeg aus PATH); ein Name ohne "/" wird
                   in PATH gesucht
  XDG_CACHE_HOME   der Arbeitsordner ist $XDG_CACHE_HOME/lorvane/ (Vorgabe:
                   ~/.cache/lorvane/); arbeitet dort schon ein Auftrag, bekommt
                   dieser einen eigenen Ordner darunter. Ist der Arbeitsordner
                   ein Verweis, gehört er einem anderen Benutzer oder darf jeder
                   in ihm schreiben, bricht der Befehl ab und löscht dort nichts.
  LORVANE_REPORT_PEAK_RSS
                   wenn gesetzt, nennt der Befehl am Ende auf der Fehlerausgabe
                   seinen höchsten Speicherbedarf (ohne den Encoder)
)HILFE";

constexpr const char* kPrefix = "lorvane-cli build: ";

enum class TOption {
    Autor,
    Titel,
    Album,
    Stunden,
    Ausgabe,
    KopieMp3,
    GenaueGroesse,
    Encoder,
    AllesJa,
    Rekursiv,
    Hilfe
};

struct TOptionsName {
    char Kurz;
    const char* Lang;
    bool MitWert;
    TOption Option;
};

constexpr std::array<TOptionsName, 11> kOptionen = {{
    {'a', "author", true, TOption::Autor},
    {'t', "title", true, TOption::Titel},
    {'l', "album", true, TOption::Album},
    {'s', "hours", true, TOption::Stunden},
    {'o', "output", true, TOption::Ausgabe},
    {'c', "copy-mp3", false, TOption::KopieMp3},
    {'g', "exact-size", false, TOption::GenaueGroesse},
    {'j', "jobs", true, TOption::Encoder},
    {'y', "yes", false, TOption::AllesJa},
    {'r', "recursive", false, TOption::Rekursiv},
    {'h', "help", false, TOption::Hilfe},
}};

const TOptionsName* KurzeOption(char kurz) {
    for (const TOptionsName& name : kOptionen) {
        if (name.Kurz == kurz) {
            return &name;
        }
    }
    return nullptr;
}

const TOptionsName* LangeOption(std::string_view lang) {
    for (const TOptionsName& name : kOptionen) {
        if (lang == name.Lang) {
            return &name;
        }
    }
    return nullptr;
}

// Applies one option; the reason when its value is not usable.
std::optional<std::string> Anwenden(TBuildOptionen& optionen, TOption option,
                                    const std::string& wert) {
    switch (option) {
    case TOption::Autor:
        optionen.Autor = wert;
        break;
    case TOption::Titel:
        optionen.Titel = wert;
        break;
    case TOption::Album:
        optionen.Album = wert;
        break;
    case TOption::Stunden: {
        const std::optional<std::int32_t> stunden = GanzzahlLesen(wert);
        if (!stunden || !StundenImBereich(*stunden)) {
            return "die Stunden (-s) müssen eine ganze Zahl von " + std::to_string(StundenMinimum) +
                   " bis " + std::to_string(StundenMaximum) + " sein, nicht \"" + wert + "\"";
        }
        optionen.Stunden = *stunden;
        break;
    }
    case TOption::Ausgabe:
        if (wert.empty()) {
            return std::string("der Ausgabeordner (-o) darf nicht leer sein");
        }
        optionen.Ausgabe = fs::path(wert);
        break;
    case TOption::KopieMp3:
        optionen.KopieMp3 = true;
        break;
    case TOption::GenaueGroesse:
        optionen.GenaueGroesse = true;
        break;
    case TOption::Encoder: {
        const std::optional<std::int32_t> anzahl = GanzzahlLesen(wert);
        if (!anzahl || *anzahl < 1 || *anzahl > kMaxEncoder) {
            return "die Zahl der Encoder (-j) muss eine ganze Zahl von 1 bis " +
                   std::to_string(kMaxEncoder) + " sein, nicht \"" + wert + "\"";
        }
        optionen.Encoder = *anzahl;
        break;
    }
    case TOption::AllesJa:
        optionen.AllesJa = true;
        break;
    case TOption::Rekursiv:
        optionen.Rekursiv = true;
        break;
    case TOption::Hilfe:
        optionen.Hilfe = true;
        break;
    }
    return std::nullopt;
}

std::string KurzName(char kurz) {
    return std::string{'-', kurz};
}

std::string WertFehlt(const std::string& option) {
    return "die Option \"" + option + "\" braucht einen Wert";
}

// The name of the first input's folder (the folder itself when one is given).
std::string OrdnerNameDerErstenEingabe(const TBuildOptionen& optionen) {
    const fs::path erste = fs::absolute(fs::path(optionen.Eingaben.front())).lexically_normal();
    std::error_code ec;
    fs::path ordner = fs::is_directory(erste, ec) ? erste : erste.parent_path();
    if (!ordner.has_filename()) {
        ordner = ordner.parent_path();
    }
    return ordner.filename().string();
}

// Without an option or a tag, title and album would both be "_", and every untagged
// book would land in the same folder: they come from the folder's name then.
void MetadatenSetzen(TJobState& state, const TBuildOptionen& optionen, TConsoleFrontEnd& frontEnd) {
    auto& daten = state.Daten;
    const std::string ordnerName = MetaTextBereinigen(OrdnerNameDerErstenEingabe(optionen));
    const std::string titel = MetaTextBereinigen(optionen.Titel.value_or(daten.Titel));
    const std::string album = MetaTextBereinigen(optionen.Album.value_or(daten.Album));
    const bool titelFehlt = !optionen.Titel && titel == "_";
    const bool albumFehlt = !optionen.Album && album == "_";
    daten.Autor = MetaTextBereinigen(optionen.Autor.value_or(daten.Autor));
    daten.Titel = titelFehlt ? ordnerName : titel;
    daten.Album = albumFehlt ? ordnerName : album;
    if (titelFehlt || albumFehlt) {
        const char* was = !titelFehlt ? "Album" : (albumFehlt ? "Titel und Album" : "Titel");
        frontEnd.Meldung(std::string("Kein Tag nennt ") + was + ": Es gilt der Ordnername \"" +
                         ordnerName + "\".");
    }
}

// The rows of the job: every input in order; false when the scan was cancelled.
bool Durchsuchen(TMp3Suche& suche, const TBuildOptionen& optionen) {
    for (const std::string& eingabe : optionen.Eingaben) {
        const fs::path pfad = fs::absolute(fs::path(eingabe)).lexically_normal();
        std::error_code ec;
        if (fs::is_directory(pfad, ec)) {
            if (optionen.Rekursiv) {
                suche.DurchsucheOrdnerRekursiv(pfad);
            } else {
                suche.DurchsucheOrdner(pfad);
            }
        } else {
            suche.DateiHinzufuegen(pfad);
        }
        if (suche.CancelS()) {
            return false;
        }
    }
    return true;
}

void SpeicherMelden(std::ostream& err) {
    if (std::getenv("LORVANE_REPORT_PEAK_RSS") == nullptr) {
        return;
    }
    rusage nutzung{};
    if (::getrusage(RUSAGE_SELF, &nutzung) == 0) {
        // ru_maxrss is in KiB; the encoder's processes are not counted.
        err << "lorvane-cli: Spitzenspeicher: " << nutzung.ru_maxrss << " KiB\n";
    }
}

// As a shell finds a command: a name without "/" in PATH, a path as it is. A name
// not found stays as given, so that the start check names it.
fs::path EncoderAusUmgebung(const std::string& angabe) {
    const std::string gefunden = RoResolveProgram(angabe);
    return gefunden.empty() ? fs::path(angabe) : fs::absolute(fs::path(gefunden));
}

int AbbruchStatus() {
    const int signal = TSignalWache::Signal();
    return signal != 0 ? 128 + signal : kBuildFehlgeschlagen;
}

// The job on the scanned rows, with the folders it needs for its time.
int JobMitOrdnern(TJobState& state, TJobLauf& lauf, const TBuildOptionen& optionen,
                  TConsoleFrontEnd& frontEnd, std::ostream& out, std::ostream& err) {
    std::error_code ec;
    const bool ausgabeNeu = !fs::exists(state.Daten.AusgabeOrdner, ec);
    OrdnerAnlegen(state.Daten.AusgabeOrdner);
    MetadatenSetzen(state, optionen, frontEnd);
    lauf.Vorbereiten(true);
    frontEnd.FortschrittBeginnen();
    TBearbeitenDlg& dialog = *lauf.Controller();
    frontEnd.SetAbbruch([&dialog] { dialog.AbbruchBestaetigt(); });
    frontEnd.SetSofortAbbruch([&dialog] { dialog.EncoderBeenden(); });
    lauf.Zeigen();
    const TModalResult ergebnis = lauf.Starten();
    frontEnd.SetSofortAbbruch(nullptr);
    frontEnd.SetAbbruch(nullptr);
    lauf.Freigeben();
    if (ergebnis == TModalResult::OK) {
        // The controller's last update came while the threads were finishing; the
        // job is done now, and the last line says so.
        frontEnd.FortschrittPositionSetzen(100);
        frontEnd.CaptionSetzen(FortschrittCaption(100, state.Daten.Album));
    }
    frontEnd.Abschliessen();
    int status = AbbruchStatus();
    if (ergebnis == TModalResult::OK) {
        const bool alleDa = ErfolgBerichten(out, state);
        // The final lines are the command's result: an output that could not take them
        // (a full disk, a closed pipe) is a failure.
        const bool geschrieben = AusgabePruefen(out, err);
        if (!alleDa) {
            frontEnd.Meldung(std::string(kPrefix) +
                             "eine erstellte M4B-Datei fehlt im Hörbuchordner");
        }
        status = alleDa && geschrieben ? kBuildOk : kBuildFehlgeschlagen;
    } else {
        frontEnd.Meldung(AbbruchBericht(state));
    }
    if (ausgabeNeu) {
        OrdnerEntfernenWennLeer(state.Daten.AusgabeOrdner);
    }
    return status;
}

int JobAusfuehren(const TBuildOptionen& optionen, std::ostream& out, std::ostream& err) {
    TSignalWache signale;
    TJobState state(StandardOrdnerErmitteln(SystemOrdnerQuellen()));
    if (const char* ffmpeg = std::getenv("LORVANE_FFMPEG"); ffmpeg != nullptr && *ffmpeg != 0) {
        state.Daten.FfmpegDatei = EncoderAusUmgebung(ffmpeg);
    }
    if (optionen.Ausgabe) {
        state.Daten.AusgabeOrdner = MitTrenner(fs::absolute(*optionen.Ausgabe));
    }
    state.HauptfensterErstellt();
    state.Daten.MaxStunden = optionen.Stunden;
    state.Daten.CopyMp3FileS = optionen.KopieMp3;
    state.Daten.PausenSchnittS = !optionen.GenaueGroesse;
    state.Daten.Encoder = optionen.Encoder.value_or(StandardEncoder());

    TConsoleFrontEnd frontEnd(KonsolenOptionenErmitteln(optionen.AllesJa), err);
    int status = kBuildFehlgeschlagen;
    TMp3Suche suche(frontEnd, state, {});
    frontEnd.SetAbbruch([&suche] { suche.Abbrechen(); });
    if (!Durchsuchen(suche, optionen)) {
        frontEnd.Meldung(std::string(kPrefix) + "das Hinzufügen der Dateien wurde abgebrochen");
        status = AbbruchStatus();
    } else if (suche.Liste().empty()) {
        frontEnd.Meldung(std::string(kPrefix) + "keine MP3-Dateien gefunden");
    } else if (TJobLauf lauf(frontEnd, state, suche.Liste()); !lauf.EingabeFehler().empty()) {
        frontEnd.FehlerZeigen(lauf.EingabeFehler());
    } else {
        frontEnd.SetAbbruch(nullptr);
        status = JobMitOrdnern(state, lauf, optionen, frontEnd, out, err);
    }
    frontEnd.SetAbbruch(nullptr);
    SpeicherMelden(err);
    return status;
}

} // namespace

const char* BuildHilfe() {
    return kHilfe;
}

std::variant<TBuildOptionen, std::string> BuildOptionenLesen(const std::vector<std::string>& args) {
    TBuildOptionen optionen;
    bool nurEingaben = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (nurEingaben || arg.size() < 2 || arg[0] != '-') {
            optionen.Eingaben.push_back(arg);
            continue;
        }
        if (arg == "--") {
            nurEingaben = true;
            continue;
        }
        if (arg[1] == '-') {
            const std::size_t gleich = arg.find('=');
            const std::string name =
                arg.substr(2, gleich == std::string::npos ? gleich : gleich - 2);
            const TOptionsName* option = LangeOption(name);
            if (option == nullptr) {
                return "unbekannte Option \"--" + name + "\"";
            }
            std::string wert;
            if (!option->MitWert) {
                if (gleich != std::string::npos) {
                    return "die Option \"--" + name + "\" hat keinen Wert";
                }
            } else if (gleich != std::string::npos) {
                wert = arg.substr(gleich + 1);
            } else if (i + 1 < args.size()) {
                wert = args[++i];
            } else {
                return WertFehlt("--" + name);
            }
            if (auto fehler = Anwenden(optionen, option->Option, wert)) {
                return *fehler;
            }
            continue;
        }
        // A group of short options: flags, the last one may take the rest or the
        // next argument as its value.
        for (std::size_t k = 1; k < arg.size(); ++k) {
            const TOptionsName* option = KurzeOption(arg[k]);
            if (option == nullptr) {
                return "unbekannte Option \"" + KurzName(arg[k]) + "\"";
            }
            std::string wert;
            if (option->MitWert) {
                if (k + 1 < arg.size()) {
                    wert = arg.substr(k + 1);
                } else if (i + 1 < args.size()) {
                    wert = args[++i];
                } else {
                    return WertFehlt(KurzName(arg[k]));
                }
                k = arg.size();
            }
            if (auto fehler = Anwenden(optionen, option->Option, wert)) {
                return *fehler;
            }
        }
    }
    if (!optionen.Hilfe && optionen.Eingaben.empty()) {
        return std::string("keine Eingabe angegeben (Ordner oder MP3-Dateien)");
    }
    return optionen;
}

int RunBuildCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto gelesen = BuildOptionenLesen(args);
    if (const std::string* fehler = std::get_if<std::string>(&gelesen)) {
        err << kPrefix << KonsolenText(*fehler) << "\nHilfe: lorvane-cli build --help\n";
        return kBuildAufruffehler;
    }
    const TBuildOptionen& optionen = std::get<TBuildOptionen>(gelesen);
    if (optionen.Hilfe) {
        out << kHilfe;
        return kBuildOk;
    }
    for (const std::string& eingabe : optionen.Eingaben) {
        std::error_code ec;
        if (!fs::exists(fs::path(eingabe), ec)) {
            err << kPrefix << "Eingabe \"" << CellText(eingabe) << "\" nicht vorhanden!\n";
            return kBuildAufruffehler;
        }
    }
    return JobAusfuehren(optionen, out, err);
}

} // namespace lorvane::cli
