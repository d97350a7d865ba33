#pragma once
// Message boxes and the system beep, as every window uses them: questions with Ja and
// Nein (Ja is the default, Esc answers Nein), errors and information with OK. Texts
// may use "\r\n" as the line break. Every box is made here and shows the font and the
// colours of the window it belongs to.

#include <QString>

#include <string>

class QEvent;
class QWidget;

namespace lorvane {

QString MeldungsText(const QString& text);
QString MeldungsText(const std::string& text);

bool FrageJaNein(QWidget* owner, const QString& text);
// Ja, Nein and Abbrechen; Ja is the default, Esc and closing answer Abbrechen.
enum class TAntwort { Ja, Nein, Abbrechen };
TAntwort FrageJaNeinAbbrechen(QWidget* owner, const QString& text);
void FehlerZeigen(QWidget* owner, const QString& text);
void InfoZeigen(QWidget* owner, const QString& text);

// The system beep for refused input. Counted, so that tests can see it.
void Piepen();
int PiepZaehler();

// For an event filter of a field that refuses pasted text: every way of pasting (the
// paste keys, and the middle button that pastes the selection on X11) is taken, so the
// field never sees it, with one beep per press; true when the event was one.
bool EinfuegenAbweisen(QEvent& ereignis);

} // namespace lorvane
