// The main window's help menu: the documents, the maker's pages, the updater and the
// about box.

#include "engine/JobStatus.h"
#include "engine/ordner/Ordner.h"
#include "platform/aussehen/Meldungen.h"
#include "ui/haupt/Haupt.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>

#include <filesystem>

namespace lorvane {

namespace {

enum THilfeEintrag : std::size_t {
    EintragHilfe,
    EintragKurztasten,
    EintragAenderungen,
    EintragMail,
    EintragHomepage,
    EintragSpenden,
    EintragAktualisierung,
    EintragInfo
};

QString Ordner(const QString& pfad) {
    return QFileInfo(pfad).absolutePath();
}

// The per-user reserve folder for the configuration file, created private.
QString ReserveOrdner(const std::filesystem::path& arbeitsOrdner) {
    static_cast<void>(ArbeitsOrdnerAnlegen(arbeitsOrdner));
    return QString::fromStdString(arbeitsOrdner.string());
}

} // namespace

void TForm1::HilfeVerbinden() {
    if (!fDienste.DokumentOeffnen) {
        fDienste.DokumentOeffnen = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    }
    if (!fDienste.ProgrammStarten) {
        fDienste.ProgrammStarten = [](const QString& programm, const QStringList& argumente,
                                      const QString& ordner) {
            return QProcess::startDetached(programm, argumente, ordner);
        };
    }
    if (fDienste.ProgrammPfad.isEmpty()) {
        fDienste.ProgrammPfad = QCoreApplication::applicationFilePath();
    }
    if (!fDienste.Adressen) {
        fDienste.Adressen = GebauteAdressen();
    }

    const auto& m = Menue.MenuHilfe;
    connect(Menue.Hilfe, &QMenu::aboutToShow, this, &TForm1::HilfeMenueOeffnen);
    connect(m[EintragHilfe], &QAction::triggered, this,
            [this] { HilfeDokumentZeigen(HilfeDatei); });
    connect(m[EintragKurztasten], &QAction::triggered, this,
            [this] { HilfeDokumentZeigen(KurztastenDatei); });
    connect(m[EintragAenderungen], &QAction::triggered, this,
            [this] { HilfeDokumentZeigen(AenderungenDatei); });
    const QString titel = QString::fromUtf8(ProgrammVersionText);
    connect(m[EintragMail], &QAction::triggered, this, [this, titel] {
        fDienste.DokumentOeffnen(MailAdresse(fDienste.Adressen->Mail, titel));
    });
    connect(m[EintragHomepage], &QAction::triggered, this,
            [this] { fDienste.DokumentOeffnen(QUrl(fDienste.Adressen->Homepage.trimmed())); });
    connect(m[EintragSpenden], &QAction::triggered, this,
            [this] { fDienste.DokumentOeffnen(QUrl(fDienste.Adressen->Spenden.trimmed())); });
    connect(m[EintragAktualisierung], &QAction::triggered, this, &TForm1::AktualisierungKlick);
    connect(m[EintragInfo], &QAction::triggered, this,
            [this] { InfoZeigen(this, InfoText(*fDienste.Adressen)); });
    // F1 works before the menu was ever opened.
    HilfeMenueOeffnen();
}

void TForm1::HilfeMenueOeffnen() {
    const std::array<bool, 8> an =
        HilfeMenueZustand(Ordner(fDienste.ProgrammPfad), *fDienste.Adressen);
    for (std::size_t i = 0; i < an.size(); ++i) {
        Menue.MenuHilfe[i]->setEnabled(an[i]);
    }
}

void TForm1::HilfeDokumentZeigen(const char* name) {
    const QString pfad = DokumentPfad(Ordner(fDienste.ProgrammPfad), QString::fromUtf8(name));
    // A document that vanished since the menu opened is passed over silently. Without a
    // viewer the user learns where the file is, to open it another way.
    if (QFileInfo(pfad).isFile() && !fDienste.DokumentOeffnen(QUrl::fromLocalFile(pfad))) {
        FehlerZeigen(this, DokumentNichtGeoeffnetText(QString::fromUtf8(name), pfad));
    }
}

void TForm1::AktualisierungKlick() {
    const QString updater =
        Ordner(fDienste.ProgrammPfad) + QLatin1Char('/') + QString::fromUtf8(UpdaterDatei);
    // Without a runtime folder the per-user working folder, never the current one.
    const QString arbeit = ReserveOrdner(fState.Daten.ArbeitsOrdner);
    const QString ordner = CfgOrdner(qEnvironmentVariable("XDG_RUNTIME_DIR"), arbeit, arbeit);
    const QString pfad = ordner + QString::fromUtf8(CfgDatei);
    const QString text = CfgText(QString::fromUtf8(ProgrammVersionText), windowTitle(),
                                 fDienste.ProgrammPfad, fAussehen);
    if (DateiErsetzen(pfad, text.toUtf8())) {
        FehlerZeigen(this, AktualisierungFehlerText(pfad));
        return;
    }
    // The bare name, as the updater expects it, found from its working folder.
    fDienste.ProgrammStarten(updater, {QString::fromUtf8(CfgDatei)}, ordner);
}

} // namespace lorvane
