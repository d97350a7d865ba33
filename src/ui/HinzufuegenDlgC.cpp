#include "ui/HinzufuegenDlgC.h"

#include "engine/auswahl/Dateien.h"
#include "platform/aussehen/Meldungen.h"
#include "ui/DateiListe.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace lorvane {

class THinzufuegenDlg::TFrontEnd : public IFrontEnd {
public:
    explicit TFrontEnd(QWidget& dialog) : fDialog(dialog) {}
    bool FrageJaNein(const std::string& text) override {
        return lorvane::FrageJaNein(&fDialog, MeldungsText(text));
    }
    void FehlerZeigen(const std::string& text) override {
        lorvane::FehlerZeigen(&fDialog, MeldungsText(text));
    }
    // The scan runs in the user-interface thread; this keeps the cancel button alive.
    void EreignisseVerarbeiten() override { QCoreApplication::processEvents(); }

private:
    QWidget& fDialog;
};

THinzufuegenLayout HinzufuegenLayout(QSize text, QSize button) {
    THinzufuegenLayout layout;
    // The button is never wider than the window, even with a huge font.
    const int breite = std::max(text.width(), button.width()) + 20;
    layout.Text = QRect(QPoint(10, 20), text);
    layout.Button =
        QRect(QPoint((breite - button.width()) / 2, layout.Text.bottom() + 1 + 20), button);
    layout.Client = QSize(breite, layout.Button.bottom() + 1 + 20);
    return layout;
}

int ErsterOrdnerMitUnterordnern(const std::vector<std::string>& ordner) {
    for (std::size_t i = 0; i < ordner.size(); ++i) {
        if (TDateien::HatUnterordner(ordner[i])) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

THinzufuegenDlg::THinzufuegenDlg(QWidget* owner, TJobState& state, const TAussehen& aussehen,
                                 std::vector<std::string> ordner, QTreeWidget& dateiliste)
    : QDialog(owner), fState(state), fAussehen(aussehen), fOrdner(std::move(ordner)),
      fDateiliste(dateiliste), fFrontEnd(std::make_unique<TFrontEnd>(*this)),
      fStaticText1(new QLabel(this)), fBtn1Abbrechen(new QPushButton(this)) {
    fStaticText1->setObjectName(QStringLiteral("StaticText1"));
    fBtn1Abbrechen->setObjectName(QStringLiteral("Btn1Abbrechen"));
    fStaticText1->setFrameStyle(QFrame::Box | QFrame::Plain);
    fStaticText1->setFocusPolicy(Qt::StrongFocus);
    fBtn1Abbrechen->setAutoDefault(false);
    fBtn1Abbrechen->setDefault(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    CaptionZuweisen();
    connect(fBtn1Abbrechen, &QPushButton::clicked, this, &THinzufuegenDlg::Btn1AbbrechenClick);
    fTimer1Start.setSingleShot(true);
    connect(&fTimer1Start, &QTimer::timeout, this, &THinzufuegenDlg::Timer1StartTimer);
    // Creation: the total duration starts again; on an empty list the metadata too.
    fSuche = std::make_unique<TMp3Suche>(*fFrontEnd, fState, DateiZeilen(fDateiliste));
}

THinzufuegenDlg::~THinzufuegenDlg() = default;

void THinzufuegenDlg::CaptionZuweisen() {
    setWindowTitle(HinzufuegenCaption);
    fStaticText1->setText(HinzufuegenText);
    fStaticText1->setAccessibleName(HinzufuegenText);
    fBtn1Abbrechen->setText(HinzufuegenAbbrechen);
    fBtn1Abbrechen->setAccessibleName(StripAmpersands(HinzufuegenAbbrechen));
}

void THinzufuegenDlg::SchalterEinrichten() {
    const QFont font = SchriftAus(fAussehen.AktFont);
    const int breite = SchalterGemeinsam(*this, font);
    const QSize button(breite, ControlHeightFor(fBtn1Abbrechen->font(), TControlArt::Button));
    if (QWidget* owner = parentWidget()) {
        resize(owner->width() - 50, owner->height() - 50);
    }
    fStaticText1->adjustSize();
    const THinzufuegenLayout layout = HinzufuegenLayout(fStaticText1->sizeHint(), button);
    fStaticText1->setGeometry(layout.Text);
    fBtn1Abbrechen->setGeometry(layout.Button);
    setFixedSize(layout.Client);
}

void THinzufuegenDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (fGezeigt) {
        return;
    }
    fGezeigt = true;
    SchriftartZuweisen(*this, TFensterArt::Hinzufuegen, fAussehen);
    SchalterEinrichten();
    DialogZentrieren(*this);
    fStaticText1->setFocus();
    // The scan starts once the dialog can be seen.
    fTimer1Start.start(5);
}

void THinzufuegenDlg::Timer1StartTimer() {
    fTimer1Start.stop();
    bool rekursiv = false;
    if (ErsterOrdnerMitUnterordnern(fOrdner) >= 0 && !fSuche->CancelS()) {
        rekursiv = FrageJaNein(this, UnterordnerFrage);
    }
    for (const std::string& ordner : fOrdner) {
        if (fSuche->CancelS()) {
            break;
        }
        if (rekursiv) {
            fSuche->DurchsucheOrdnerRekursiv(ordner);
        } else {
            fSuche->DurchsucheOrdner(ordner);
        }
    }
    if (fSuche->CancelS()) {
        done(QDialog::Rejected);
        return;
    }
    ZeilenAnhaengen();
    done(QDialog::Accepted);
}

void THinzufuegenDlg::ZeilenAnhaengen() {
    const bool updates = fDateiliste.updatesEnabled();
    fDateiliste.setUpdatesEnabled(false);
    fDateiliste.clearSelection();
    QList<QTreeWidgetItem*> zeilen;
    for (const TDateiZeile& zeile : fSuche->Liste()) {
        zeilen << DateiZeileErzeugen(zeile);
    }
    fDateiliste.addTopLevelItems(zeilen);
    for (QTreeWidgetItem* zeile : zeilen) {
        zeile->setSelected(true);
    }
    fDateiliste.setUpdatesEnabled(updates);
    if (!zeilen.isEmpty()) {
        fDateiliste.setCurrentItem(zeilen.front(), 0, QItemSelectionModel::NoUpdate);
        fDateiliste.scrollToItem(zeilen.front());
    }
}

void THinzufuegenDlg::Btn1AbbrechenClick() {
    fSuche->Abbrechen();
}

void THinzufuegenDlg::reject() {
    Btn1AbbrechenClick();
    // Once shown, the scan ends the dialog; before that there is nothing to wait for.
    if (!fGezeigt) {
        QDialog::reject();
    }
}

std::int32_t THinzufuegenDlg::AnzDateien() const {
    return fSuche->AnzDateien();
}

bool THinzufuegenDlg::CancelS() const {
    return fSuche->CancelS();
}

} // namespace lorvane
