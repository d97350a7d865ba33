#pragma once
// The per-user registry of the program: keys below HKEY_CURRENT_USER holding named
// 32-bit integers and strings. Here each key is one INI file below the configuration
// folder ("Software\Lorvane" -> <folder>/Lorvane/Software/Lorvane.ini), values in its
// [General] section, so that users can read and edit them by hand.
//
// One object is used by one thread at a time; other threads and processes use their own
// objects and see every write at once, since each write is saved atomically.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

class QSettings;

namespace lorvane {

// $XDG_CONFIG_HOME, else $HOME/.config.
QString StandardKonfigOrdner();

class TKivRegistry {
public:
    explicit TKivRegistry(QString konfigOrdner = StandardKonfigOrdner());
    ~TKivRegistry();
    TKivRegistry(const TKivRegistry&) = delete;
    TKivRegistry& operator=(const TKivRegistry&) = delete;

    // The file that holds a key; empty for a key that names no file (empty, "." or "..").
    QString KeyDatei(const QString& key) const;

    // Opens the key, creating an empty one when it is missing and canCreate is set.
    // A key whose file is broken opens as an empty key.
    bool OpenKey(const QString& key, bool canCreate);
    void CloseKey();
    bool KeyOffen() const { return fSettings != nullptr; }

    bool ValueExists(const QString& name);
    // Missing also when the stored text is not a decimal number or does not fit 32 bits.
    std::optional<std::int32_t> ReadInteger(const QString& name);
    void WriteInteger(const QString& name, std::int32_t wert);
    // Empty when missing.
    QString ReadString(const QString& name);
    void WriteString(const QString& name, const QString& wert);
    // Bytes exactly as written, for texts that need not be valid UTF-8 (file names). A
    // value stored as a string gives its bytes in the file-name encoding.
    std::optional<QByteArray> ReadBytes(const QString& name);
    void WriteBytes(const QString& name, const QByteArray& wert);
    bool DeleteValue(const QString& name);
    QStringList GetValueNames();

    // Removes the key's file; closes the key first when it is the open one.
    bool DeleteKey(const QString& key);

private:
    bool Lesbar(const QString& name);
    bool Aufgefrischt();
    bool VorDemSchreiben(const QString& name);
    void Speichern();

    QString fKonfigOrdner;
    QString fDatei;
    std::unique_ptr<QSettings> fSettings;
    // The file was broken when opened: it reads as empty and is moved aside before the
    // first write.
    bool fKaputt = false;
};

} // namespace lorvane
