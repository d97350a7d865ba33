#pragma once
// The Send-To entry of Linux: a desktop entry for the program that declares folders
// (inode/directory), so that file managers offer "Open with Lorvane" for them. It is
// never made the default program for folders (mimeapps.list is left alone).

#include <QString>

namespace lorvane {

// $XDG_DATA_HOME (else $HOME/.local/share) + "/applications/lorvane.desktop".
QString SendToLink();

// The executable as one argument of an Exec line: quoted by the Desktop Entry rules
// when it holds a reserved character, "%" doubled.
QString ExecArgument(const QString& programm);

// The entry's text for the executable.
QString DesktopEintrag(const QString& programm);

// Writes the entry as a new file renamed over the old one; false when that failed.
bool CreateShortcut(const QString& linkDatei, const QString& programm);

} // namespace lorvane
