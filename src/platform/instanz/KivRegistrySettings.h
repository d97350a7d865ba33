#pragma once
// The hand-off key HKEY_CURRENT_USER\Lorvane, through which a second start hands its
// command to the running program: a parameter list, a bring-to-front request or a
// close request. Writers and the reader take one lock on the key around each whole
// read-and-delete and append, so that no hand-over overwrites another.

#include <QString>

namespace lorvane {

class TKivRegistry;

inline const QString ProgramParametersName = QStringLiteral("ProgramParameters");
inline const QString ProgramSetFocusName = QStringLiteral("ProgramSetFocus");
inline const QString ProgramCloseName = QStringLiteral("ProgramClose");

// One hand-off command; an empty field is absent.
struct TRegistrySettings {
    QString Parameters;
    QString SetFocus;
    QString Close;

    TRegistrySettings SetData(const QString& aParameters, const QString& aSetFocus,
                              const QString& aClose);
    // The given list, else the own command line's.
    static TRegistrySettings rsParameters(const QString& aParameters);
    // The given text, else "1".
    static TRegistrySettings rsSetFocus(const QString& aSetFocus);
    static TRegistrySettings rsClose(const QString& aClose);

    bool Leer() const { return Parameters.isEmpty() && SetFocus.isEmpty() && Close.isEmpty(); }
    bool operator==(const TRegistrySettings&) const = default;
};

// The key name without one leading backslash.
QString HandoffKey(const QString& keyName);

// Writes the non-empty fields, creating the key; a parameter list already waiting
// there gets the new one appended with "|". True also when nothing is to be written.
bool WriteRegistrySettings(TKivRegistry& registry, const QString& keyName,
                           const TRegistrySettings& settings);

// Reads and deletes the three values and removes the key once it is empty; true when
// at least one of them existed.
bool ReadRegistrySettings(TKivRegistry& registry, const QString& keyName,
                          TRegistrySettings& settings);

// The one command of a read that is acted on: the parameters before the bring-to-front
// request before the close request.
TRegistrySettings BefehlWaehlen(const TRegistrySettings& gelesen);

} // namespace lorvane
