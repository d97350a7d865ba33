#pragma once
// The command line of the program as a parameter list: the arguments, made absolute
// and joined with "|", as a second instance hands them over and the main window
// takes them apart again. Inside a field "%" and "|" travel as "%25" and "%7C", since
// Linux names may contain "|".

#include <QString>
#include <QStringList>

#include <functional>

namespace lorvane {

// The window messages the hand-over stands for; the handlers are called directly.
inline constexpr int WM_USER = 0x0400;
inline constexpr int WM_COPYDATA = 0x004A;
inline constexpr int WM_PROGRAM_CLOSE = WM_USER + 100;
inline constexpr int WM_PROGRAM_SETFOCUS = WM_USER + 200;

// The program's own arguments (without the program name) and the folder they are
// relative to. main() sets them before anything else.
void BefehlszeileSetzen(const QStringList& argumente, const QString& aktuellerOrdner);

QString FeldKodieren(const QString& feld);
QString FeldDekodieren(const QString& feld);

// One argument as it is handed over: absolute, trimmed at both ends (spaces and control
// characters) only when the path as given does not exist; empty when it is blank.
QString ArgumentAufbereiten(const QString& argument, const QString& aktuellerOrdner);

// The parameter list of the arguments: the prepared, non-empty ones, encoded and
// joined with "|".
QString ParameterListe(const QStringList& argumente, const QString& aktuellerOrdner);

// The text unchanged when it is not empty, else the list of the own command line.
QString GetParameters(const QString& text);

// The decoded non-empty fields of a list; an empty text means the own command line.
QStringList SplitParameters(const QString& text);

// Receives a parameter list in the user-interface thread; 0 means taken.
using TParameterEmpfaenger = std::function<int(const QString&)>;

// Hands the list (the own command line for an empty text) to the receiver; true when
// there was nothing to send or the receiver returned 0.
bool SendParameters(const TParameterEmpfaenger& empfaenger, const QString& text);

} // namespace lorvane
