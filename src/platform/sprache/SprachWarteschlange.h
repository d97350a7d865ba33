#pragma once
// Speech on a thread of its own. A speech service that hangs (it may wait for a sound
// device forever) must not freeze the program: every call returns at once and the
// thread talks to the service. Texts waiting when an interruption comes are dropped,
// as the service would drop them.

#include "platform/sprache/SprachVerbindung.h"

#include <chrono>
#include <memory>
#include <thread>

namespace lorvane {

class TSprachWarteschlange : public ISprachVerbindung {
public:
    // At most this many texts wait; a newer one pushes the oldest out.
    static constexpr std::size_t MaxWartend = 32;

    // abschied: how long the destructor waits for a hanging service before it leaves
    // the thread to itself.
    explicit TSprachWarteschlange(std::unique_ptr<ISprachVerbindung> verbindung,
                                  std::chrono::milliseconds abschied = std::chrono::seconds(1));
    ~TSprachWarteschlange() override;
    TSprachWarteschlange(const TSprachWarteschlange&) = delete;
    TSprachWarteschlange& operator=(const TSprachWarteschlange&) = delete;

    // The results say whether the service last answered; the calls only queue.
    bool Oeffnen() override;
    void Schliessen() override;
    bool Sagen(const QString& text) override;
    bool Abbrechen() override;
    void Unterbrechen() override;

private:
    struct TZustand;
    std::shared_ptr<TZustand> fZustand;
    std::chrono::milliseconds fAbschied;
    std::thread fThread;
};

} // namespace lorvane
