#include "ui/StundenDlgC.h"

#include "platform/aussehen/DialogFelder.h"
#include "platform/aussehen/Meldungen.h"
#include "ui/DialogLayout.h"
#include "ui/StundenFeld.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace lorvane {

bool StundenOkErlaubt(const QString& feld) {
    return StundenImBereich(StundenWert(feld));
}

TStundenDlg::TStundenDlg(QWidget* owner, const TAussehen& aussehen, IAnsager& ansager)
    : QDialog(owner), fAussehen(aussehen) {
    fStunden = new TStundenFeld(*this);
    fOk = new QPushButton(this);
    fAbbrechen = new QPushButton(this);
    fAnsagen = new TFeldAnsagen(this, ansager);
    CaptionZuweisen();

    QLineEdit& feld = fStunden->Edit();
    // The field's own menu would offer "Einfügen"; it has none.
    feld.setContextMenuPolicy(Qt::NoContextMenu);
    feld.setAcceptDrops(false);
    feld.installEventFilter(this);
    fAnsagen->Hinzufuegen(feld, StundenAnsage());
    LabelKlickFokussiert(fStunden->Label());
    connect(&feld, &QLineEdit::textChanged, this, &TStundenDlg::UpdateOk);

    fOk->setAutoDefault(false);
    fOk->setDefault(true);
    fAbbrechen->setAutoDefault(false);
    EingabeDruecktKnopf(*fAbbrechen);
    connect(fOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(fAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
    UpdateOk();
}

void TStundenDlg::CaptionZuweisen() {
    setWindowTitle(QStringLiteral("Ungefähre Länge jeder M4B-Datei"));
    fOk->setText(QStringLiteral("O&K"));
    fAbbrechen->setText(QStringLiteral("&Abbrechen"));
}

void TStundenDlg::PositionSetzen(std::int32_t stunden) {
    fStunden->PositionSetzen(stunden);
}

int TStundenDlg::Position() const {
    return fStunden->Position();
}

void TStundenDlg::UpdateOk() {
    fOk->setEnabled(StundenOkErlaubt(fStunden->Edit().text()));
}

void TStundenDlg::SchalterEinrichten() {
    const QFont font = SchriftAus(fAussehen.AktFont);
    TStundenMasse masse;
    masse.ButtonBreite = SchalterGemeinsam(*this, font);
    masse.ButtonHoehe = fOk->height();
    masse.Label = fStunden->Label().sizeHint();
    masse.EditHoehe = ControlHeightFor(font, TControlArt::Edit);
    masse.StundenBreite = CaptionWidthFor(font, QStringLiteral("MM"));
    masse.AufAbBreite = AufAbBreiteFuer(masse.EditHoehe);
    masse.Platz = GroessteClientGroesse(*this);
    masse.LabelUmbrochen = UmbruchGroesse(fStunden->Label().font(), fStunden->Label().text(), 2);
    const TStundenLayout layout = StundenLayout(masse);
    fStunden->Label().setWordWrap(layout.LabelUmbruch);
    fStunden->Label().setGeometry(layout.Label);
    fStunden->Anordnen(layout.Feld, layout.AufAb);
    fOk->setGeometry(layout.Ok);
    fAbbrechen->setGeometry(layout.Abbrechen);
    setFixedSize(layout.Client);
    DialogZentrieren(*this);
}

void TStundenDlg::showEvent(QShowEvent* ereignis) {
    QDialog::showEvent(ereignis);
    if (fEingerichtet) {
        return;
    }
    fEingerichtet = true;
    SchriftartZuweisen(*this, TFensterArt::Dialog, fAussehen);
    SchalterEinrichten();
    fStunden->Edit().setFocus(Qt::OtherFocusReason);
    fStunden->Edit().selectAll();
}

bool TStundenDlg::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (objekt != &fStunden->Edit()) {
        return QDialog::eventFilter(objekt, ereignis);
    }
    if (EinfuegenAbweisen(*ereignis)) {
        return true;
    }
    if (ereignis->type() == QEvent::KeyPress) {
        const auto& taste = *static_cast<QKeyEvent*>(ereignis);
        const bool eingabe = (taste.key() == Qt::Key_Return || taste.key() == Qt::Key_Enter) &&
                             (taste.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (eingabe && !fOk->isEnabled()) {
            // As the dialog manager does for a disabled default button.
            Piepen();
            return true;
        }
    }
    return QDialog::eventFilter(objekt, ereignis);
}

} // namespace lorvane
