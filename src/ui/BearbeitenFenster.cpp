#include "ui/BearbeitenFenster.h"

#include "engine/JobStatus.h"
#include "platform/aussehen/Meldungen.h"
#include "platform/aussehen/TitelZeile.h"
#include "platform/sprache/Ansager.h"
#include "ui/BearbeitenLayout.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include <exception>

namespace lorvane {

namespace {

constexpr int kStartVerzoegerungMs = 5;

// A status line: a focusable, bordered, centred text whose accessible name is its
// text, so that a screen reader reads the status when it gets the focus.
QLabel* StatusZeileErzeugen(QWidget* fenster) {
    auto* zeile = new QLabel(fenster);
    zeile->setFrameStyle(QFrame::Box | QFrame::Plain);
    zeile->setLineWidth(StatusRahmen);
    zeile->setMargin(StatusInnenabstand);
    zeile->setAlignment(Qt::AlignCenter);
    zeile->setFocusPolicy(Qt::StrongFocus);
    zeile->setTextFormat(Qt::PlainText);
    zeile->setAutoFillBackground(true);
    return zeile;
}

QPushButton* ButtonErzeugen(QWidget* fenster) {
    auto* button = new QPushButton(fenster);
    // Enter must never press a button of this window by accident.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void StatusZeileSetzen(QLabel& zeile, const std::string& text) {
    const QString neu = QString::fromStdString(text);
    zeile.setText(neu);
    zeile.setAccessibleName(neu);
}

} // namespace

TBearbeitenFenster::TBearbeitenFenster(QWidget* owner, TJobState& state,
                                       std::vector<TDateiZeile> zeilen, ITrayIcon& tray,
                                       const TAussehen& aussehen, TJobThreadErzeugung threads,
                                       IAnsager* ansager)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), fState(state),
      fTray(tray), fTitel(&TitelZeileAnbringen(*this)), fAussehen(aussehen),
      fAnsage(state.Daten.Album, [ansager](const std::string& text) {
          if (ansager != nullptr) {
              ansager->Sprechen(QString::fromStdString(text));
          }
      }) {
    setModal(true);
    StaticText1 = StatusZeileErzeugen(this);
    StaticText2 = StatusZeileErzeugen(this);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Btn1Minimieren = ButtonErzeugen(this);
    Btn2Abbrechen = ButtonErzeugen(this);
    MenuMinimieren = new QAction(this);
    MenuMinimieren->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    MenuMinimieren->setShortcutContext(Qt::WindowShortcut);
    addAction(MenuMinimieren);
    connect(Btn1Minimieren, &QPushButton::clicked, this, [this] { Btn1MinimierenClick(); });
    connect(MenuMinimieren, &QAction::triggered, this, [this] { Btn1MinimierenClick(); });
    connect(Btn2Abbrechen, &QPushButton::clicked, this, [this] { Btn2AbbrechenClick(); });

    const auto anzahl = static_cast<std::int64_t>(zeilen.size());
    fVorlage1 = QString::fromStdString(Status1Vorlage(anzahl));
    fVorlage2 = QString::fromStdString(Status2Vorlage(anzahl));
    CaptionZuweisen();
    if (QWidget* haupt = Hauptfenster()) {
        haupt->installEventFilter(this);
    }

    fLauf = std::make_unique<TJobLauf>(*this, fState, std::move(zeilen));
    if (!fLauf->EingabeFehler().empty()) {
        StatusText1Setzen(fVorlage1.toStdString());
        StatusText2Setzen(fVorlage2.toStdString());
        CaptionSetzen(FortschrittCaption(0, fState.Daten.Album));
        return;
    }
    fLauf->Vorbereiten(false, std::move(threads));
}

TBearbeitenFenster::~TBearbeitenFenster() {
    fLauf.reset();
    CursorSetzen(TJobCursor::Normal);
}

void TBearbeitenFenster::CaptionZuweisen() {
    Btn1Minimieren->setText(QStringLiteral("&Minimieren"));
    const QString hinweis = QStringLiteral("Minimiert die Anwendung in die Symbolablage");
    Btn1Minimieren->setToolTip(hinweis);
    Btn1Minimieren->setAccessibleDescription(hinweis);
    Btn2Abbrechen->setText(QStringLiteral("&Abbrechen"));
    MenuMinimieren->setText(QStringLiteral("&Minimieren"));
    ProgressBar1->setAccessibleName(QStringLiteral("Fortschritt"));
}

void TBearbeitenFenster::SchriftartZuweisen() {
    lorvane::SchriftartZuweisen(*this, TFensterArt::Fortschritt, fAussehen);
    SchalterEinrichten();
}

void TBearbeitenFenster::SchalterEinrichten() {
    const QFont font = SchriftAus(fAussehen.AktFont);
    TBearbeitenMasse masse;
    masse.ButtonBreite = SchalterGemeinsam(*this, font);
    masse.ButtonHoehe = ControlHeightFor(Btn2Abbrechen->font(), TControlArt::Button);
    // The templates size the lines once; later texts are shown in that width.
    masse.StaticText1 = StatusTextGroesse(StaticText1->font(), fVorlage1);
    masse.StaticText2 = StatusTextGroesse(StaticText2->font(), fVorlage2);
    masse.Platz = GroessteClientGroesse(*this) - fTitel->Zusatz();
    const TBearbeitenLayout layout = BearbeitenLayoutBerechnen(masse);
    StaticText1->setGeometry(layout.StaticText1);
    StaticText2->setGeometry(layout.StaticText2);
    ProgressBar1->setGeometry(layout.ProgressBar1);
    Btn1Minimieren->setGeometry(layout.Btn1Minimieren);
    Btn2Abbrechen->setGeometry(layout.Btn2Abbrechen);
    fTitel->Einpassen(layout.Client);
    DialogZentrieren(*this);
}

void TBearbeitenFenster::showEvent(QShowEvent* event) {
    if (!fEingerichtet) {
        fEingerichtet = true;
        SchriftartZuweisen();
    }
    QDialog::showEvent(event);
    if (fJobGestartet) {
        return;
    }
    fJobGestartet = true;
    fLauf->Zeigen();
    QTimer::singleShot(kStartVerzoegerungMs, this, [this] { Timer1StartTimer(); });
}

void TBearbeitenFenster::Timer1StartTimer() {
    TModalResult ergebnis = TModalResult::Cancel;
    try {
        ergebnis = fLauf->Starten();
    } catch (const std::exception& fehler) {
        // Nothing may leave a slot; threads still running are stopped and waited for
        // when the controller goes with this window.
        fState.Convert.AbbruchS = true;
        FehlerZeigen(fehler.what());
    }
    fAnsage.Ende(fState.Convert.FertigeTeile, fState.Convert.TeileErwartet,
                 ergebnis == TModalResult::OK);
    // A cancel confirmed before the start started nothing.
    CursorSetzen(TJobCursor::Normal);
    fJobBeendet = true;
    HauptfensterSichern();
    if (ergebnis == TModalResult::OK) {
        accept();
    } else {
        QDialog::reject();
    }
}

// Closing the last visible window would end the program, and a box over a hidden
// window is lost: the main window comes back first, whoever hid it.
void TBearbeitenFenster::HauptfensterSichern() {
    if (fTray.Sichtbar()) {
        fTray.SichtbarSetzen(false);
        HauptfensterZeigen();
    }
    QWidget* haupt = Hauptfenster();
    if (haupt != nullptr && !haupt->isVisible()) {
        HauptfensterZeigen();
    }
    FensterWiederherstellen();
}

QWidget* TBearbeitenFenster::Hauptfenster() const {
    return parentWidget() != nullptr ? parentWidget()->window() : nullptr;
}

void TBearbeitenFenster::reject() {
    if (fJobBeendet) {
        QDialog::reject();
        return;
    }
    Btn2AbbrechenClick();
}

void TBearbeitenFenster::closeEvent(QCloseEvent* event) {
    if (fJobBeendet) {
        QDialog::closeEvent(event);
        return;
    }
    // The window closes only when both threads have ended.
    event->ignore();
    Btn2AbbrechenClick();
}

void TBearbeitenFenster::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The main window came back (the tray icon was clicked, or it was restored): this
// window returns with it.
bool TBearbeitenFenster::eventFilter(QObject* objekt, QEvent* event) {
    if (objekt == Hauptfenster() &&
        (event->type() == QEvent::Show || event->type() == QEvent::WindowStateChange)) {
        const QWidget* haupt = Hauptfenster();
        if (haupt->isVisible() && !haupt->isMinimized()) {
            FensterWiederherstellen();
        }
    }
    return QDialog::eventFilter(objekt, event);
}

void TBearbeitenFenster::FensterWiederherstellen() {
    if ((windowState() & Qt::WindowMinimized) != 0) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
}

void TBearbeitenFenster::Btn1MinimierenClick() {
    if (TBearbeitenDlg* dlg = fLauf->Controller(); dlg != nullptr && !fJobBeendet) {
        dlg->Btn1MinimierenClick();
    }
}

void TBearbeitenFenster::Btn2AbbrechenClick() {
    if (TBearbeitenDlg* dlg = fLauf->Controller(); dlg != nullptr && !fJobBeendet) {
        dlg->Btn2AbbrechenClick();
    }
}

// A box never opens over a window that is minimised or hidden in the tray.
bool TBearbeitenFenster::FrageJaNein(const std::string& text) {
    HauptfensterSichern();
    return lorvane::FrageJaNein(this, QString::fromStdString(text));
}

void TBearbeitenFenster::FehlerZeigen(const std::string& text) {
    HauptfensterSichern();
    lorvane::FehlerZeigen(this, QString::fromStdString(text));
}

void TBearbeitenFenster::EreignisseVerarbeiten() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    fAnsage.Stand(fState.Convert.FertigeTeile, fState.Convert.TeileErwartet);
}

void TBearbeitenFenster::JobGestartet() {
    fAnsage.Gestartet();
}

void TBearbeitenFenster::StatusText1Setzen(const std::string& text) {
    StatusZeileSetzen(*StaticText1, text);
}

void TBearbeitenFenster::StatusText2Setzen(const std::string& text) {
    StatusZeileSetzen(*StaticText2, text);
}

void TBearbeitenFenster::FortschrittPositionSetzen(int position) {
    ProgressBar1->setValue(position);
}

void TBearbeitenFenster::CaptionSetzen(const std::string& text) {
    setWindowTitle(QString::fromStdString(text));
}

bool TBearbeitenFenster::TrayIconSichtbar() const {
    return fTray.Sichtbar();
}

void TBearbeitenFenster::TrayIconSichtbarSetzen(bool sichtbar) {
    fTray.SichtbarSetzen(sichtbar);
}

std::string TBearbeitenFenster::TrayHint() const {
    return fTray.Hint().toStdString();
}

void TBearbeitenFenster::TrayHintSetzen(const std::string& text) {
    fTray.HintSetzen(QString::fromStdString(text));
}

void TBearbeitenFenster::HauptfensterVerbergen() {
    fTray.HauptfensterVerbergen();
}

void TBearbeitenFenster::HauptfensterZeigen() {
    fTray.HauptfensterZeigen();
    FensterWiederherstellen();
}

// This window goes down with the application; it is not hidden, since hiding a modal
// dialog ends its loop.
void TBearbeitenFenster::AnwendungMinimieren() {
    fTray.AnwendungMinimieren();
    if ((windowState() & Qt::WindowMinimized) == 0) {
        setWindowState(windowState() | Qt::WindowMinimized);
    }
}

void TBearbeitenFenster::CursorSetzen(TJobCursor cursor) {
    const bool sanduhr = cursor == TJobCursor::Sanduhr;
    if (sanduhr == fSanduhr) {
        return;
    }
    fSanduhr = sanduhr;
    if (sanduhr) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void TBearbeitenFenster::StatusFokussieren() {
    StaticText1->setFocus(Qt::OtherFocusReason);
}

void TBearbeitenFenster::AbbruchAngenommen() {
    fAnsage.Abbruch();
    Btn1Minimieren->setEnabled(false);
    Btn2Abbrechen->setText(QStringLiteral("Wird beendet"));
    SchalterEinrichten();
    Btn2Abbrechen->setEnabled(false);
    // Both buttons are off: the focus stays in the window, on the status.
    StatusFokussieren();
}

} // namespace lorvane
