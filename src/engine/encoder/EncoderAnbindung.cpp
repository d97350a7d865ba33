#include "engine/encoder/EncoderAnbindung.h"

#include <exception>
#include <utility>

#include <poll.h>

namespace lorvane {

void EncoderAnbinden(TRoConsoleApp& app, TRoAnsiSBCSPipeFilter& ausgabe,
                     TRoAnsiSBCSPipeFilter& fehler, std::function<void()> fertig) {
    app.SetOnWork([&ausgabe, &fehler](TRoCustomConsoleApp&) {
        ausgabe.ReadPipe();
        ausgabe.Flush();
        fehler.ReadPipe();
        fehler.Flush();
    });
    app.SetOnComplete([&ausgabe, &fehler, fertig = std::move(fertig)](TRoCustomConsoleApp&) {
        ausgabe.Flush();
        fehler.Flush();
        if (fertig) {
            fertig();
        }
    });
}

void EncoderAbbinden(TRoConsoleApp& app) {
    app.SetOnWork(nullptr);
    app.SetOnComplete(nullptr);
}

bool EncoderStoppen(TRoPipe& eingabe) {
    // The pipe holds a page at least and only ever gets this one byte per cancel, but
    // a write into a full pipe would block: look first.
    pollfd abfrage{};
    abfrage.fd = eingabe.WriteHandle();
    abfrage.events = POLLOUT;
    if (abfrage.fd < 0 || ::poll(&abfrage, 1, 0) != 1 || (abfrage.revents & POLLOUT) == 0) {
        return false;
    }
    try {
        return eingabe.WriteData("q", 1) == 1;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace lorvane
