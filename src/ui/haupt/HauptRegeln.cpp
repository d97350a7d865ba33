#include "ui/haupt/HauptRegeln.h"

#include "base/DatenC.h"

namespace lorvane {

TDateiListeSchalter DateiListeSchalter(const TDateiListeZustand& zustand) {
    const bool fokus = zustand.FokusZeile >= 0 && zustand.FokusZeile < zustand.Zeilen;
    const bool zeilen = zustand.Zeilen > 0;
    TDateiListeSchalter schalter;
    schalter.NachOben = fokus && zustand.FokusZeile > 0;
    schalter.NachUnten = fokus && zustand.FokusZeile < zustand.Zeilen - 1;
    schalter.Entfernen = zustand.Markiert > 0;
    schalter.Leeren = zeilen;
    schalter.AllesMarkieren = zeilen;
    schalter.PlayPause = fokus;
    schalter.Stop = fokus && zustand.PlayerHatDatei && !zustand.PlayerGestoppt;
    schalter.Weiter = zeilen;
    return schalter;
}

TOrdnerListeSchalter OrdnerListeSchalter(const TOrdnerListeZustand& zustand) {
    TOrdnerListeSchalter schalter;
    schalter.Zurueck = !zustand.Laufwerksebene;
    schalter.Hinzufuegen = zustand.Markiert > 0;
    schalter.OrdnerOeffnen = zustand.FokusZeile >= 0 && zustand.FokusZeile < zustand.Zeilen;
    schalter.AllesMarkieren = zustand.Zeilen > 0;
    return schalter;
}

QString HinzugefuegtText(std::int64_t anzahl, std::int32_t dauer) {
    return QStringLiteral("Hinzugefügte MP3-Dateien: %1 (Dauer: %2)")
        .arg(QString::fromStdString(ZahlMitPunkten(anzahl)),
             QString::fromStdString(DauerText(dauer)));
}

QString ErfolgsFrage(const std::string& album, const std::string& autor, std::int32_t teile,
                     std::int32_t dauer, const std::string& kapitel) {
    return QStringLiteral("Das Hörbuch \"%1\" von \"%2\" wurde erfolgreich erstellt!\r\n"
                          "Erstellte M4B-Dateien: %3 (Dauer: %4)\r\n%5"
                          "Soll der Hörbuchordner geöffnet werden?")
        .arg(QString::fromStdString(album), QString::fromStdString(autor), QString::number(teile),
             QString::fromStdString(DauerText(dauer)),
             kapitel.empty() ? QString()
                             : QString::fromStdString(kapitel) + QStringLiteral("\r\n"));
}

QString OrdnerNichtGeoeffnetText(const QString& ordner) {
    return QStringLiteral("Der Ordner \"%1\" konnte nicht geöffnet werden!").arg(ordner);
}

QString VorschauFehlerText(const QString& datei, const QString& grund) {
    return QStringLiteral("Die Datei \"%1\" kann nicht abgespielt werden!\r\nGrund: %2")
        .arg(datei, grund);
}

} // namespace lorvane
