#include "ui/MetaDlgC.h"

#include "base/DatenC.h"
#include "platform/aussehen/DialogFelder.h"
#include "platform/aussehen/Meldungen.h"
#include "platform/aussehen/TitelZeile.h"
#include "ui/DialogLayout.h"
#include "ui/StundenFeld.h"

#include <QAction>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace lorvane {

QString StarteHinweis(bool minimierenS) {
    return minimierenS ? QStringLiteral("Startet die Hörbuch-Erstellung und minimiert die "
                                        "Anwendung in die Symbolablage")
                       : QStringLiteral("Startet die Hörbuch-Erstellung");
}

QString OhneRandLeerzeichen(const QString& text) {
    qsizetype anfang = 0;
    qsizetype ende = text.size();
    while (anfang < ende && text.at(anfang) <= QLatin1Char(' ')) {
        ++anfang;
    }
    while (ende > anfang && text.at(ende - 1) <= QLatin1Char(' ')) {
        --ende;
    }
    return text.mid(anfang, ende - anfang);
}

bool StarteErlaubt(const QString& autor, const QString& titel, const QString& album,
                   const QString& stunden) {
    return !OhneRandLeerzeichen(autor).isEmpty() && !OhneRandLeerzeichen(titel).isEmpty() &&
           !OhneRandLeerzeichen(album).isEmpty() && StundenImBereich(StundenWert(stunden));
}

namespace {

// Whether typed text holds a character a name must not contain. Characters are
// compared whole, so that letters outside ASCII never match by a part of them.
bool HatUngueltigesZeichen(const QString& text) {
    const QList<uint> zeichen = text.toUcs4();
    return std::any_of(zeichen.begin(), zeichen.end(), [](uint c) {
        return c > 31 && IstUngueltigesZeichen(static_cast<char32_t>(c));
    });
}

bool IstEingabetaste(const QKeyEvent& taste) {
    const bool eingabe = taste.key() == Qt::Key_Return || taste.key() == Qt::Key_Enter;
    // The keys the dialog itself takes for its default button.
    return eingabe && (taste.modifiers() == Qt::NoModifier ||
                       (taste.modifiers() == Qt::KeypadModifier && taste.key() == Qt::Key_Enter));
}

} // namespace

TMetaDlg::TMetaDlg(QWidget* owner, const TAussehen& aussehen, IAnsager& ansager, bool minimierenS,
                   std::int32_t maxStunden)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      fAussehen(aussehen), fTitel(&TitelZeileAnbringen(*this)) {
    // Creation order is the order the fonts are applied and the tab order.
    const QString texte[] = {QStringLiteral("A&utor:"), QStringLiteral("&Titel:"),
                             QStringLiteral("A&lbum:")};
    for (std::size_t i = 0; i < 3; ++i) {
        fLabels[i] = new QLabel(texte[i], this);
        fFelder[i] = new QLineEdit(this);
        fLabels[i]->setBuddy(fFelder[i]);
    }
    fStunden = new TStundenFeld(*this);
    fLabels[3] = &fStunden->Label();
    fFelder[3] = &fStunden->Edit();
    fStarte = new QPushButton(this);
    fAbbrechen = new QPushButton(this);
    fMenuStarte = new QAction(this);
    addAction(fMenuStarte);
    fAnsagen = new TFeldAnsagen(this, ansager);

    CaptionZuweisen(minimierenS);
    fStunden->PositionSetzen(maxStunden);

    const QString ansagen[] = {QStringLiteral("Autor"), QStringLiteral("Titel"),
                               QStringLiteral("Album"), StundenAnsage()};
    for (std::size_t i = 0; i < 4; ++i) {
        fFelder[i]->setAlignment(Qt::AlignCenter);
        fFelder[i]->installEventFilter(this);
        fAnsagen->Hinzufuegen(*fFelder[i], ansagen[i]);
        LabelKlickFokussiert(*fLabels[i]);
        connect(fFelder[i], &QLineEdit::textChanged, this, &TMetaDlg::UpdateStarte);
    }
    fStarte->setAutoDefault(false);
    fStarte->setDefault(true);
    fAbbrechen->setAutoDefault(false);
    EingabeDruecktKnopf(*fAbbrechen);
    connect(fStarte, &QPushButton::clicked, this, &QDialog::accept);
    connect(fAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
    fMenuStarte->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    fMenuStarte->setShortcutContext(Qt::WindowShortcut);
    connect(fMenuStarte, &QAction::triggered, this, [this] {
        if (fStarte->isEnabled()) {
            fStarte->click();
        }
    });
    UpdateStarte();
}

void TMetaDlg::CaptionZuweisen(bool minimierenS) {
    setWindowTitle(QStringLiteral("Metainformationen eingeben"));
    fStarte->setText(QStringLiteral("&Starte"));
    fAbbrechen->setText(QStringLiteral("&Abbrechen"));
    fMenuStarte->setText(QStringLiteral("&Starte"));
    const QString hinweis = StarteHinweis(minimierenS);
    fStarte->setToolTip(hinweis);
    fStarte->setAccessibleDescription(hinweis);
}

void TMetaDlg::TexteSetzen(const QString& autor, const QString& titel, const QString& album) {
    fFelder[0]->setText(autor);
    fFelder[1]->setText(titel);
    fFelder[2]->setText(album);
}

QString TMetaDlg::Autor() const {
    return fFelder[0]->text();
}

QString TMetaDlg::Titel() const {
    return fFelder[1]->text();
}

QString TMetaDlg::Album() const {
    return fFelder[2]->text();
}

int TMetaDlg::Stunden() const {
    return fStunden->Position();
}

void TMetaDlg::UpdateStarte() {
    fStarte->setEnabled(StarteErlaubt(Autor(), Titel(), Album(), fFelder[3]->text()));
}

void TMetaDlg::SchalterEinrichten() {
    const QFont font = SchriftAus(fAussehen.AktFont);
    const int w = SchalterGemeinsam(*this, font);
    TMetaMasse masse;
    masse.Owner = OwnerGroesse(*this);
    masse.Rahmen = fTitel->Zusatz();
    for (std::size_t i = 0; i < 4; ++i) {
        masse.Labels[i] = fLabels[i]->sizeHint();
    }
    masse.EditHoehe = ControlHeightFor(font, TControlArt::Edit);
    masse.StundenBreite = CaptionWidthFor(font, QStringLiteral("MM"));
    masse.AufAbBreite = AufAbBreiteFuer(masse.EditHoehe);
    masse.ButtonBreite = w;
    masse.ButtonHoehe = fStarte->height();
    masse.Platz = GroessteClientGroesse(*this) - fTitel->Zusatz();
    masse.StundenLabelUmbrochen = UmbruchGroesse(fLabels[3]->font(), fLabels[3]->text(), 2);
    const TMetaLayout layout = MetaLayout(masse);
    fLabels[3]->setWordWrap(layout.StundenUmbruch);
    for (std::size_t i = 0; i < 4; ++i) {
        fLabels[i]->setGeometry(layout.Labels[i]);
        if (i < 3) {
            fFelder[i]->setGeometry(layout.Felder[i]);
        }
    }
    fStunden->Anordnen(layout.Felder[3], layout.AufAb);
    fStarte->setGeometry(layout.Starte);
    fAbbrechen->setGeometry(layout.Abbrechen);
    fTitel->Einpassen(layout.Client);
    DialogZentrieren(*this);
}

void TMetaDlg::showEvent(QShowEvent* ereignis) {
    QDialog::showEvent(ereignis);
    if (fEingerichtet) {
        return;
    }
    fEingerichtet = true;
    SchriftartZuweisen(*this, TFensterArt::Dialog, fAussehen);
    SchalterEinrichten();
    UpdateStarte();
    fFelder[0]->setFocus(Qt::OtherFocusReason);
    fFelder[0]->selectAll();
}

void TMetaDlg::ZumErstenLeerenFeld() {
    for (QLineEdit* feld : fFelder) {
        if (OhneRandLeerzeichen(feld->text()).isEmpty()) {
            feld->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

bool TMetaDlg::TasteGefiltert(const QKeyEvent& taste) {
    if (IstEingabetaste(taste)) {
        ZumErstenLeerenFeld();
        if (!fStarte->isEnabled()) {
            Piepen();
            return true;
        }
        return false; // the default button closes the dialog
    }
    if (HatUngueltigesZeichen(taste.text())) {
        Piepen();
        return true;
    }
    return false;
}

bool TMetaDlg::eventFilter(QObject* objekt, QEvent* ereignis) {
    const bool feld = std::find(fFelder.begin(), fFelder.end(), objekt) != fFelder.end();
    if (feld && ereignis->type() == QEvent::KeyPress) {
        return TasteGefiltert(*static_cast<QKeyEvent*>(ereignis));
    }
    if (feld && ereignis->type() == QEvent::InputMethod &&
        HatUngueltigesZeichen(static_cast<QInputMethodEvent*>(ereignis)->commitString())) {
        Piepen();
        return true;
    }
    return QDialog::eventFilter(objekt, ereignis);
}

} // namespace lorvane
