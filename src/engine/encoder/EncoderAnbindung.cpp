#include "engine/encoder/EncoderAnbindung.h"

#include <utility>

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

} // namespace lorvane
