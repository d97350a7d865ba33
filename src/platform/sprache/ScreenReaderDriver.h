#pragma once
// One screen reader the program can talk to. Every operation fails quietly: a false
// result is all a caller ever sees of a missing or unwilling screen reader.

#include <QString>

namespace lorvane {

class TScreenReaderDriver {
public:
    TScreenReaderDriver(QString AScreenReaderName, bool ASpeech, bool ABraille)
        : fName(std::move(AScreenReaderName)), fHasSpeech(ASpeech), fHasBraille(ABraille) {}
    virtual ~TScreenReaderDriver() = default;
    TScreenReaderDriver(const TScreenReaderDriver&) = delete;
    TScreenReaderDriver& operator=(const TScreenReaderDriver&) = delete;

    const QString& Name() const { return fName; }
    bool HasSpeech() const { return fHasSpeech; }
    bool HasBraille() const { return fHasBraille; }

    // Interrupt stops the current speech first.
    virtual bool Speak(const QString& S, bool Interrupt) = 0;
    virtual bool Braille(const QString& S) = 0;
    virtual bool IsSpeaking() = 0;
    virtual bool Silence() = 0;
    // The screen reader runs and can be addressed.
    virtual bool IsActive() = 0;
    // Speech and braille, both tried; true when either took the text.
    bool Output(const QString& S, bool Interrupt) {
        const bool gesprochen = Speak(S, Interrupt);
        const bool gezeigt = Braille(S);
        return gesprochen || gezeigt;
    }

private:
    QString fName;
    bool fHasSpeech;
    bool fHasBraille;
};

} // namespace lorvane
