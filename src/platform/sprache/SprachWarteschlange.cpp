#include "platform/sprache/SprachWarteschlange.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace lorvane {

namespace {

enum class TArt { Oeffnen, Schliessen, Sagen, Abbrechen };

struct TAuftrag {
    TArt Art;
    QString Text;
};

} // namespace

// Shared with the thread, which may outlive the queue when the service hangs.
struct TSprachWarteschlange::TZustand {
    explicit TZustand(std::unique_ptr<ISprachVerbindung> verbindung)
        : Verbindung(std::move(verbindung)) {}

    void Einreihen(TAuftrag auftrag) {
        {
            const std::lock_guard<std::mutex> sperre(Mutex);
            const auto istText = [](const TAuftrag& a) { return a.Art == TArt::Sagen; };
            if (auftrag.Art == TArt::Abbrechen) {
                Auftraege.erase(std::remove_if(Auftraege.begin(), Auftraege.end(), istText),
                                Auftraege.end());
            } else if (auftrag.Art == TArt::Sagen &&
                       static_cast<std::size_t>(std::count_if(Auftraege.begin(), Auftraege.end(),
                                                              istText)) >= MaxWartend) {
                Auftraege.erase(std::find_if(Auftraege.begin(), Auftraege.end(), istText));
            }
            Auftraege.push_back(std::move(auftrag));
        }
        Geaendert.notify_all();
    }

    bool Oeffnen() {
        if (!Offen) {
            Offen = Verbindung->Oeffnen();
            Gestoert = !Offen;
        }
        return Offen;
    }

    void Ausfuehren(const TAuftrag& auftrag) {
        switch (auftrag.Art) {
        case TArt::Oeffnen:
            Oeffnen();
            break;
        case TArt::Schliessen:
            if (Offen) {
                Verbindung->Schliessen();
                Offen = false;
            }
            break;
        case TArt::Abbrechen:
            if (Offen && !Verbindung->Abbrechen()) {
                Gestoert = true;
            }
            break;
        case TArt::Sagen:
            if (Oeffnen() && !Verbindung->Sagen(auftrag.Text)) {
                // A broken connection is opened afresh for the next text.
                Verbindung->Schliessen();
                Offen = false;
                Gestoert = true;
            }
            break;
        }
    }

    static void Laufen(const std::shared_ptr<TZustand>& zustand) {
        TZustand& z = *zustand;
        for (;;) {
            TAuftrag auftrag;
            {
                std::unique_lock<std::mutex> sperre(z.Mutex);
                z.Geaendert.wait(sperre, [&z] { return z.Ende || !z.Auftraege.empty(); });
                if (z.Ende) {
                    break;
                }
                auftrag = std::move(z.Auftraege.front());
                z.Auftraege.pop_front();
            }
            z.Ausfuehren(auftrag);
        }
        if (z.Offen) {
            z.Verbindung->Schliessen();
        }
        {
            const std::lock_guard<std::mutex> sperre(z.Mutex);
            z.Beendet = true;
        }
        z.Geaendert.notify_all();
    }

    std::unique_ptr<ISprachVerbindung> Verbindung;
    std::mutex Mutex;
    std::condition_variable Geaendert;
    std::deque<TAuftrag> Auftraege;
    bool Ende = false;
    bool Beendet = false;
    // Only the thread touches Offen; the callers read Gestoert.
    bool Offen = false;
    std::atomic<bool> Gestoert{false};
};

TSprachWarteschlange::TSprachWarteschlange(std::unique_ptr<ISprachVerbindung> verbindung,
                                           std::chrono::milliseconds abschied)
    : fZustand(std::make_shared<TZustand>(std::move(verbindung))), fAbschied(abschied),
      fThread(&TZustand::Laufen, fZustand) {}

TSprachWarteschlange::~TSprachWarteschlange() {
    {
        const std::lock_guard<std::mutex> sperre(fZustand->Mutex);
        fZustand->Ende = true;
    }
    fZustand->Geaendert.notify_all();
    Unterbrechen();
    bool beendet = false;
    {
        std::unique_lock<std::mutex> sperre(fZustand->Mutex);
        beendet =
            fZustand->Geaendert.wait_for(sperre, fAbschied, [this] { return fZustand->Beendet; });
    }
    // A thread that still hangs keeps the shared state alive and ends with the process.
    if (beendet) {
        fThread.join();
    } else {
        fThread.detach();
    }
}

bool TSprachWarteschlange::Oeffnen() {
    fZustand->Einreihen({TArt::Oeffnen, {}});
    return !fZustand->Gestoert;
}

void TSprachWarteschlange::Schliessen() {
    fZustand->Einreihen({TArt::Schliessen, {}});
}

bool TSprachWarteschlange::Sagen(const QString& text) {
    fZustand->Einreihen({TArt::Sagen, text});
    return !fZustand->Gestoert;
}

bool TSprachWarteschlange::Abbrechen() {
    fZustand->Einreihen({TArt::Abbrechen, {}});
    return !fZustand->Gestoert;
}

void TSprachWarteschlange::Unterbrechen() {
    fZustand->Verbindung->Unterbrechen();
}

} // namespace lorvane
