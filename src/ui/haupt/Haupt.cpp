#include "ui/haupt/Haupt.h"

#include "engine/ordner/ArbeitsOrdnerSperre.h"
#include "platform/OrdnerOeffner.h"
#include "platform/QtTrayIcon.h"
#include "platform/QtVorschauPlayer.h"
#include "platform/aussehen/DialogFelder.h"
#include "platform/aussehen/Meldungen.h"
#include "platform/instanz/KivParameter.h"
#include "platform/instanz/KivRegistry.h"
#include "platform/sprache/Ansager.h"
#include "platform/sprache/TolkSRD.h"
#include "ui/DateiListe.h"
#include "ui/Einstellungen.h"
#include "ui/OrdnerListe.h"
#include "ui/haupt/DateiListeBefehle.h"
#include "ui/haupt/HauptLayout.h"
#include "ui/haupt/HauptListen.h"
#include "ui/haupt/Statuszeile.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolTip>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace lorvane {

namespace {

// The key hints wrap over the lines their panel has; only what still does not fit is
// shortened with "…". The tooltip and the name for the screen reader hold the whole text.
void PanelTextSetzen(QLabel& panel, const QString& text) {
    panel.setAccessibleName(text);
    panel.setToolTip(text);
    const QRect innen = panel.contentsRect();
    const int zeilen = innen.height() / std::max(1, panel.fontMetrics().height());
    panel.setText(PanelText(text, panel.fontMetrics(),
                            std::max(0, innen.width() - 2 * panel.margin()), zeilen));
}

constexpr const char* kTitel = "Lorvane V1.13";

struct TButtonText {
    QPushButton* TForm1::*Feld;
    const char* Name;
    const char* Caption;
    const char* Hint;
    int Nummer;
};

// The buttons in creation order; the numbers are the command numbers of their list.
const std::array<TButtonText, 8> kButtons = {{
    {&TForm1::Btn1Lv1Zurueck, "Btn1Lv1Zurueck", "&Zurück", "Eine Ordnerebene zurück", 1},
    {&TForm1::Btn2Lv1Hinzufuegen, "Btn2Lv1Hinzufuegen", "H&inzufügen",
     "Markierte Ordner nach MP3-Dateien durchsuchen und hinzufügen", 2},
    {&TForm1::Btn3Lv1Aktualisieren, "Btn3Lv1Aktualisieren", "Ak&tualisieren",
     "Aktualisiert die Ordnerliste", 3},
    {&TForm1::Btn1Lv2NachOben, "Btn1Lv2NachOben", "Nach &oben",
     "Ausgewählten Eintrag nach oben verschieben", 1},
    {&TForm1::Btn2Lv2NachUnten, "Btn2Lv2NachUnten", "Nach &unten",
     "Ausgewählten Eintrag nach unten verschieben", 2},
    {&TForm1::Btn3Lv2Entfernen, "Btn3Lv2Entfernen", "Entfe&rnen", "Markierte Einträge entfernen",
     3},
    {&TForm1::Btn4Lv2Leeren, "Btn4Lv2Leeren", "&Leeren", "Dateiliste leeren", 4},
    {&TForm1::Btn1Weiter, "Btn1Weiter", "&Weiter", "Weiter zu den Metainformationen", 0},
}};

constexpr int kHinweisDauer = 3000;

// The row's file can be previewed: its drive is usable and the file is there.
bool DateiSpielbar(const QTreeWidgetItem& item) {
    const std::string pfad = NativerPfad(item);
    std::error_code ec;
    return LaufwerkVerfuegbar(pfad) && std::filesystem::is_regular_file(pfad, ec);
}

// Sees every event of the application, apart from the window's own filter, which
// would otherwise get each event of its lists twice.
class TModalWaechter : public QObject {
public:
    TModalWaechter(QWidget& fenster, std::function<void()> beiModal)
        : QObject(&fenster), fFenster(fenster), fBeiModal(std::move(beiModal)) {}

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override {
        if (ereignis->type() == QEvent::Show) {
            if (auto* widget = qobject_cast<QWidget*>(objekt);
                widget != nullptr && widget != &fFenster && widget->isWindow() &&
                widget->isModal()) {
                fBeiModal();
            }
        }
        return QObject::eventFilter(objekt, ereignis);
    }

private:
    QWidget& fFenster;
    std::function<void()> fBeiModal;
};

} // namespace

TForm1::TForm1(TJobState& state, THauptDienste dienste)
    : QMainWindow(nullptr), fState(state), fDienste(std::move(dienste)) {
    setObjectName(QStringLiteral("Form1"));
    const THauptGroesse groesse = GroesseBegrenzen(Arbeitsbereich());
    setMinimumSize(groesse.Minimum);
    resize(groesse.Groesse);

    if (fDienste.Ansager == nullptr) {
        auto tolk = std::make_unique<TTolkSRD>();
        tolk->Load();
        fDienste.Ansager = tolk.get();
        fEigenerAnsager = std::move(tolk);
    }
    fAussehen = TAussehen{};
    setWindowTitle(QString::fromUtf8(kTitel));
    QGuiApplication::setApplicationDisplayName(QString::fromUtf8(kTitel));
    fState.HauptfensterErstellt();

    if (fDienste.Tray == nullptr) {
        fEigenerTray = std::make_unique<TQtTrayIcon>(*this);
        fDienste.Tray = fEigenerTray.get();
    }
    fDienste.Tray->Klick = [this] {
        fDienste.Tray->SichtbarSetzen(false);
        fDienste.Tray->HauptfensterZeigen();
    };
    if (fDienste.Player == nullptr) {
        fEigenerPlayer = std::make_unique<TQtVorschauPlayer>();
        fDienste.Player = fEigenerPlayer.get();
    }
    fDienste.Player->FehlerGemeldet = [this](const QString& grund) { VorschauFehlerMelden(grund); };
    if (fDienste.Uhr == nullptr) {
        fEigeneUhr = std::make_unique<TSystemUhr>();
        fDienste.Uhr = fEigeneUhr.get();
    }
    if (!fDienste.OrdnerOeffnen) {
        fDienste.OrdnerOeffnen = OrdnerImDateimanagerOeffnen;
    }
    if (fDienste.Registry == nullptr) {
        fEigeneRegistry = std::make_unique<TKivRegistry>();
        fDienste.Registry = fEigeneRegistry.get();
    }

    ControlsErzeugen();
    CaptionZuweisen();
    SetTabOrder();
    fOrdnerListe = std::make_unique<TOrdnerListe>(
        *ListView1, fDienste.Laufwerke ? fDienste.Laufwerke : TLaufwerksQuelle(Laufwerksliste));
    fBefehle = std::make_unique<TDateiListeBefehle>(*ListView2, *fDienste.Player, DateiSpielbar);
    VerbindungenHerstellen();

    // A console job working in the default folder holds its lock: its files stay.
    if (ArbeitsOrdnerGesperrt(fState.Daten.ArbeitsOrdner)) {
        OrdnerAnlegen(fState.Daten.AusgabeOrdner);
    } else {
        fState.HauptfensterOrdnerVorbereiten();
    }

    fStatusTimer.setSingleShot(true);
    fStatusTimer.setInterval(250);
    connect(&fStatusTimer, &QTimer::timeout, this, &TForm1::Timer1StatuszeileTimer);
    Timer1StatuszeileTimer();

    FParameters = SplitParameters(QString());
    Timer2SendTo.setSingleShot(true);
    Timer2SendTo.setInterval(5);
    connect(&Timer2SendTo, &QTimer::timeout, this, &TForm1::Timer2SendToTimer);
}

TForm1::~TForm1() {
    fStatusTimer.stop();
    Timer2SendTo.stop();
    // The controls go after the members; nothing of theirs may call back into them.
    delete fModalWaechter;
    delete fListenAnsagen;
    disconnect(qApp, nullptr, this, nullptr);
    for (QTreeWidget* liste : {ListView1, ListView2}) {
        liste->removeEventFilter(this);
        disconnect(liste, nullptr, this, nullptr);
        disconnect(liste->model(), nullptr, this, nullptr);
        disconnect(liste->selectionModel(), nullptr, this, nullptr);
    }
    centralWidget()->removeEventFilter(this);
    fDienste.Tray->Klick = nullptr;
    fDienste.Player->FehlerGemeldet = nullptr;
    if (ArbeitsOrdnerGesperrt(fState.Daten.ArbeitsOrdner)) {
        OrdnerEntfernenWennLeer(fState.Daten.AusgabeOrdner);
    } else {
        fState.HauptfensterOrdnerAufraeumen();
    }
}

void TForm1::ControlsErzeugen() {
    auto* flaeche = new QWidget(this);
    flaeche->setObjectName(QStringLiteral("Flaeche"));
    setCentralWidget(flaeche);

    ListView1 = new QTreeWidget(flaeche);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListeEinrichten(*ListView1, {QStringLiteral("Laufwerk"), QStringLiteral("Unterordner")});
    for (const TButtonText& text : kButtons) {
        auto* button = new QPushButton(flaeche);
        button->setObjectName(QString::fromLatin1(text.Name));
        button->setAutoDefault(false);
        button->setToolTipDuration(kHinweisDauer);
        BefehlsNummerSetzen(*button, text.Nummer);
        this->*text.Feld = button;
        if (text.Feld == &TForm1::Btn3Lv1Aktualisieren) {
            ListView2 = new QTreeWidget(flaeche);
            ListView2->setObjectName(QStringLiteral("ListView2"));
            ListeEinrichten(*ListView2, {QStringLiteral("Dateiname"), QStringLiteral("Dauer")});
            // Paths that share their start differ in the file name at their end.
            PfadeKuerzen(*ListView2);
        }
    }
    Btn1Weiter->setCursor(Qt::PointingHandCursor);

    StatusBar1 = new QStatusBar(flaeche);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (std::size_t i = 0; i < Panels.size(); ++i) {
        Panels[i] = new QLabel(StatusBar1);
        Panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        Panels[i]->setAlignment(Qt::AlignCenter);
        Panels[i]->setFrameShape(QFrame::StyledPanel);
    }
    Menue = HauptMenueErzeugen(*this, *ListView1, *ListView2);
    for (QTreeWidget* liste : {ListView1, ListView2}) {
        liste->setContextMenuPolicy(Qt::CustomContextMenu);
    }
}

void TForm1::CaptionZuweisen() {
    for (const TButtonText& text : kButtons) {
        QPushButton* button = this->*text.Feld;
        button->setText(QString::fromUtf8(text.Caption));
        button->setToolTip(QString::fromUtf8(text.Hint));
        button->setAccessibleName(StripAmpersands(button->text()));
        button->setAccessibleDescription(button->toolTip());
    }
    ListView1->setAccessibleName(QStringLiteral("Ordnerliste"));
    ListView1->setAccessibleDescription(
        QStringLiteral("Laufwerke und Ordner; Eingabe öffnet einen Ordner, Rück geht zurück"));
    ListView2->setAccessibleName(QStringLiteral("Dateiliste"));
    ListView2->setAccessibleDescription(
        QStringLiteral("Die MP3-Dateien des Hörbuchs in ihrer Reihenfolge"));
    StatusBar1->setAccessibleName(QStringLiteral("Statuszeile"));
}

void TForm1::SetTabOrder() {
    const std::array<QWidget*, 10> reihe = {
        ListView1,       Btn1Lv1Zurueck,   Btn2Lv1Hinzufuegen, Btn3Lv1Aktualisieren, ListView2,
        Btn1Lv2NachOben, Btn2Lv2NachUnten, Btn3Lv2Entfernen,   Btn4Lv2Leeren,        Btn1Weiter};
    for (std::size_t i = 0; i + 1 < reihe.size(); ++i) {
        setTabOrder(reihe[i], reihe[i + 1]);
    }
    StatusBar1->setFocusPolicy(Qt::NoFocus);
}

void TForm1::VerbindungenHerstellen() {
    for (QPushButton* button : {Btn1Lv1Zurueck, Btn2Lv1Hinzufuegen, Btn3Lv1Aktualisieren}) {
        connect(button, &QPushButton::clicked, this,
                [this, button] { OrdnerBefehl(BefehlsNummer(*button)); });
    }
    for (QPushButton* button :
         {Btn1Lv2NachOben, Btn2Lv2NachUnten, Btn3Lv2Entfernen, Btn4Lv2Leeren}) {
        connect(button, &QPushButton::clicked, this,
                [this, button] { DateiBefehl(BefehlsNummer(*button)); });
    }
    connect(Btn1Weiter, &QPushButton::clicked, this, &TForm1::WeiterKlick);
    for (QAction* action : Menue.PopupMenuLv1->actions()) {
        connect(action, &QAction::triggered, this,
                [this, action] { OrdnerBefehl(BefehlsNummer(*action)); });
    }
    for (QAction* action : Menue.PopupMenuLv2->actions()) {
        if (!action->isSeparator()) {
            connect(action, &QAction::triggered, this,
                    [this, action] { DateiBefehl(BefehlsNummer(*action)); });
        }
    }

    connect(Menue.Datei, &QMenu::aboutToShow, this, &TForm1::DateiMenueOeffnen);
    connect(Menue.Fenster, &QMenu::aboutToShow, this, &TForm1::FensterMenueOeffnen);
    connect(Menue.Einstellungen, &QMenu::aboutToShow, this, &TForm1::EinstellungenMenueOeffnen);
    connect(Menue.MenuDateiAusgabeordner, &QAction::triggered, this, &TForm1::AusgabeordnerOeffnen);
    connect(Menue.MenuDateiLeeren, &QAction::triggered, this, [this] { DateiBefehl(4); });
    connect(Menue.MenuDateiWeiter, &QAction::triggered, this, &TForm1::WeiterKlick);
    connect(Menue.MenuDateiBeenden, &QAction::triggered, this, &TForm1::close);
    connect(Menue.MenuAnsSchriftart, &QAction::triggered, this, &TForm1::SchriftDialogZeigen);
    connect(Menue.MenuFensterOrdnerliste, &QAction::triggered, this,
            [this] { ListView1->setFocus(Qt::ShortcutFocusReason); });
    connect(Menue.MenuFensterDateiliste, &QAction::triggered, this,
            [this] { ListView2->setFocus(Qt::ShortcutFocusReason); });
    for (auto [action, schalter] :
         {std::pair{Menue.MenuEinstCopyMp3FileS, &fState.Daten.CopyMp3FileS},
          std::pair{Menue.MenuEinstMinimierenS, &fState.Daten.MinimierenS},
          std::pair{Menue.MenuEinstPausenSchnittS, &fState.Daten.PausenSchnittS}}) {
        connect(action, &QAction::triggered, this,
                [this, action, schalter] { SchalterUmschalten(*action, *schalter); });
    }
    connect(Menue.MenuEinstMaxStunden, &QAction::triggered, this, &TForm1::MaxStundenKlick);
    HilfeVerbinden();

    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &TForm1::Lv1SchalterAktualisieren);
    connect(ListView1, &QTreeWidget::currentItemChanged, this, &TForm1::Lv1SchalterAktualisieren);
    connect(ListView1->model(), &QAbstractItemModel::rowsInserted, this,
            &TForm1::Lv1SchalterAktualisieren);
    connect(ListView1->model(), &QAbstractItemModel::rowsRemoved, this,
            &TForm1::Lv1SchalterAktualisieren);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this,
            [this] { OrdnerTaste(Qt::Key_Return); });
    connect(ListView2, &QTreeWidget::itemSelectionChanged, this, &TForm1::UpdateButtonsLv2);
    connect(ListView2, &QTreeWidget::currentItemChanged, this, &TForm1::UpdateButtonsLv2);
    connect(ListView2->model(), &QAbstractItemModel::rowsInserted, this, &TForm1::UpdateButtonsLv2);
    connect(ListView2->model(), &QAbstractItemModel::rowsRemoved, this, &TForm1::UpdateButtonsLv2);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& stelle) { PopupZeigen(*ListView1, *Menue.PopupMenuLv1, stelle); });
    connect(ListView2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& stelle) { PopupZeigen(*ListView2, *Menue.PopupMenuLv2, stelle); });

    ListView1->installEventFilter(this);
    centralWidget()->installEventFilter(this);
    auto* ansagen = new TFeldAnsagen(this, *fDienste.Ansager);
    ansagen->Hinzufuegen(*ListView1, QStringLiteral("Ordnerliste"));
    ansagen->Hinzufuegen(*ListView2, QStringLiteral("Dateiliste"));
    fListenAnsagen = ansagen;
    // Modal dialogs pause a playing preview when they begin.
    fModalWaechter = new TModalWaechter(*this, [this] { VorschauPausieren(); });
    qApp->installEventFilter(fModalWaechter);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState zustand) {
                if (zustand != Qt::ApplicationActive) {
                    VorschauPausieren();
                }
            });
}

void TForm1::showEvent(QShowEvent* ereignis) {
    QMainWindow::showEvent(ereignis);
    if (fRunFirstS) {
        fRunFirstS = false;
        FormShow();
    }
}

// The window manager frames the window only after it is shown; when the frame takes
// it out of the work area, it comes back.
void TForm1::moveEvent(QMoveEvent* ereignis) {
    QMainWindow::moveEvent(ereignis);
    if (!fRunFirstS && isVisible() && !fIsClosing && windowState() == Qt::WindowNoState) {
        ImArbeitsbereichHalten(*this);
    }
}

void TForm1::FormShow() {
    RegistryLadenSpeichern(true);
    SchriftartZuweisen();
    FensterEinrichten();
    Lv1SchalterAktualisieren();
    UpdateButtonsLv2();
    ListView1->setFocus(Qt::OtherFocusReason);
    if (!FParameters.isEmpty()) {
        Timer2SendTo.start();
    }
}

void TForm1::SchriftartZuweisen() {
    lorvane::SchriftartZuweisen(*this, TFensterArt::Hauptfenster, fAussehen);
    // The buttons' hints are the program's too.
    QToolTip::setFont(font());
    QToolTip::setPalette(palette());
    Btn1Weiter->setFont(WeiterFont(Btn1Weiter->font()));
    SchalterEinrichten();
    ImArbeitsbereichHalten(*this);
}

// The window never gets smaller than its controls need, nor larger than the work area.
void TForm1::MindestGroesseSetzen(const THauptMasse& masse) {
    const QSize client = centralWidget()->size();
    const THauptLayout jetzt = HauptLayoutBerechnen(client, masse);
    const QSize zusatz = size() - client; // the menu bar
    const QSize noetig = HauptMindestClient(masse, jetzt.Statuszeile.height()) + zusatz;
    const QSize mindest = GroesseBegrenzen(Arbeitsbereich()).Minimum.expandedTo(noetig);
    setMinimumSize(mindest.boundedTo(GroessteClientGroesse(*this)));
}

void TForm1::SchalterEinrichten() {
    const QFont font = SchriftAus(fAussehen.AktFont);
    THauptMasse masse = HauptMasseMessen(font);
    masse.W = SchalterGemeinsam(*this, font);
    masse.WeiterBreite = masse.W + Prozent(masse.W, 30);
    // The scroll bar is reserved even while the list has none, so that the columns keep
    // their widths when rows come.
    masse.ListenRand =
        2 * ListView2->frameWidth() +
        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ListView2->verticalScrollBar());
    // May grow the window, which lays it out anew before this goes on.
    MindestGroesseSetzen(masse);
    const THauptLayout layout = HauptLayoutBerechnen(centralWidget()->size(), masse);

    StatusBar1->setFixedSize(layout.Statuszeile.size());
    StatusBar1->move(layout.Statuszeile.topLeft());
    for (std::size_t i = 0; i < Panels.size(); ++i) {
        Panels[i]->setGeometry(layout.Panels[i]);
        PanelTextSetzen(*Panels[i], Panels[i]->accessibleName());
    }
    Btn1Weiter->setFixedSize(layout.Weiter.size());
    Btn1Weiter->move(layout.Weiter.topLeft());
    ListView1->setGeometry(layout.Liste1);
    ListView1->header()->resizeSection(0, layout.Spalten1[0]);
    ListView1->header()->resizeSection(1, layout.Spalten1[1]);
    fOrdnerListe->RestoreListView();
    ListView2->setGeometry(layout.Liste2);
    ListView2->header()->resizeSection(0, layout.Spalten2[0]);
    ListView2->header()->resizeSection(1, layout.Spalten2[1]);
    const std::array<QPushButton*, 3> buttons1 = {Btn1Lv1Zurueck, Btn2Lv1Hinzufuegen,
                                                  Btn3Lv1Aktualisieren};
    for (std::size_t i = 0; i < buttons1.size(); ++i) {
        buttons1[i]->move(layout.Buttons1[i].topLeft());
    }
    const std::array<QPushButton*, 4> buttons2 = {Btn1Lv2NachOben, Btn2Lv2NachUnten,
                                                  Btn3Lv2Entfernen, Btn4Lv2Leeren};
    for (std::size_t i = 0; i < buttons2.size(); ++i) {
        buttons2[i]->move(layout.Buttons2[i].topLeft());
    }
}

QRect TForm1::Arbeitsbereich() const {
    return lorvane::Arbeitsbereich(*this);
}

void TForm1::FensterEinrichten() {
    move(HauptfensterPosition(Arbeitsbereich(), frameGeometry().size(), isMaximized()));
}

void TForm1::closeEvent(QCloseEvent* ereignis) {
    // A running job or an open dialog lives on this window's stack: it cannot go now.
    if (JobLaeuft() || IsDialogOpen()) {
        ereignis->ignore();
        return;
    }
    RegistryLadenSpeichern(false);
    fIsClosing = true;
    if (fDienste.Tray->Sichtbar()) {
        fDienste.Tray->SichtbarSetzen(false);
    }
    ereignis->accept();
    Q_EMIT Geschlossen();
}

bool TForm1::eventFilter(QObject* objekt, QEvent* ereignis) {
    switch (ereignis->type()) {
    case QEvent::KeyPress:
        if (objekt == ListView1) {
            return OrdnerTaste(static_cast<QKeyEvent*>(ereignis)->key());
        }
        break;
    case QEvent::Resize:
        if (objekt == centralWidget() && isVisible() && !fIsClosing && !isMinimized()) {
            SchalterEinrichten();
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(objekt, ereignis);
}

void TForm1::Timer1StatuszeileTimer() {
    UpdateButtonsLv2();
    TStatusEingaben eingaben;
    eingaben.Laufwerksebene = fOrdnerListe->Dateien().Path().empty();
    eingaben.OrdnerZeilen = ListView1->topLevelItemCount();
    eingaben.OrdnerMarkiert = static_cast<int>(ListView1->selectedItems().size());
    eingaben.OrdnerFokusZeile = ListView1->currentItem() != nullptr;
    const TDateiListeZustand datei = fBefehle->Zustand();
    eingaben.DateiZeilen = datei.Zeilen;
    eingaben.DateiMarkiert = datei.Markiert;
    eingaben.DateiFokusZeile = datei.FokusZeile >= 0;
    eingaben.NachObenAn = Btn1Lv2NachOben->isEnabled();
    eingaben.NachUntenAn = Btn2Lv2NachUnten->isEnabled();
    eingaben.PlayPauseAn = Menue.PuLv2PlayPause->isEnabled();
    eingaben.StopAn = Menue.PuLv2Stop->isEnabled();
    const QWidget* fokus = focusWidget();
    eingaben.Fokus = fokus == ListView1   ? TStatusFokus::Ordnerliste
                     : fokus == ListView2 ? TStatusFokus::Dateiliste
                                          : TStatusFokus::Andere;
    TStatusKuerzel kuerzel;
    kuerzel.Hinzufuegen = Menue.PuLv1Hinzufuegen->shortcut();
    kuerzel.Zurueck = Menue.PuLv1Zurueck->shortcut();
    kuerzel.Weiter = Menue.MenuDateiWeiter->shortcut();
    kuerzel.OrdnerOeffnen = Menue.PuLv1OrdnerOeffnen->shortcut();
    kuerzel.Dateiliste = Menue.MenuFensterDateiliste->shortcut();
    kuerzel.Ausgabeordner = Menue.MenuDateiAusgabeordner->shortcut();
    kuerzel.Aktualisieren = Menue.PuLv1Aktualisieren->shortcut();
    kuerzel.Entfernen = Menue.PuLv2Entfernen->shortcut();
    kuerzel.PlayPause = Menue.PuLv2PlayPause->shortcut();
    kuerzel.Stop = Menue.PuLv2Stop->shortcut();
    kuerzel.NachOben = Menue.PuLv2NachOben->shortcut();
    kuerzel.NachUnten = Menue.PuLv2NachUnten->shortcut();
    kuerzel.Ordnerliste = Menue.MenuFensterOrdnerliste->shortcut();
    kuerzel.DateilisteLeeren = Menue.MenuDateiLeeren->shortcut();

    const std::array<QString, 3> texte =
        StatuszeileTexte(eingaben, kuerzel, fDienste.Uhr->Minute());
    for (std::size_t i = 0; i < Panels.size(); ++i) {
        // Only changes are written, so that an idle window does not repaint.
        if (Panels[i]->accessibleName() != texte[i]) {
            PanelTextSetzen(*Panels[i], texte[i]);
        }
    }
    fStatusTimer.start();
}

void TForm1::RegistryLadenSpeichern(bool laden) {
    TKivRegistry& registry = *fDienste.Registry;
    if (laden) {
        EinstellungenAnwenden();
        return;
    }
    TEinstellungenZumSpeichern werte;
    werte.WindowState = ZustandsWert(windowState());
    werte.Height = height();
    werte.Width = width();
    werte.MaxStunden = fState.Daten.MaxStunden;
    werte.CopyMp3File = fState.Daten.CopyMp3FileS;
    werte.Minimieren = fState.Daten.MinimierenS;
    werte.PausenSchnitt = fState.Daten.PausenSchnittS;
    werte.Path = fOrdnerListe->Dateien().Path();
    werte.Aussehen = fAussehen;
    EinstellungenSpeichern(registry, werte);
}

void TForm1::EinstellungenAnwenden() {
    const TGeladeneEinstellungen geladen = EinstellungenLaden(*fDienste.Registry);
    if (geladen.Height || geladen.Width) {
        resize(FenstergroesseBegrenzen(
            QSize(geladen.Width.value_or(width()), geladen.Height.value_or(height())),
            minimumSize(), Arbeitsbereich()));
    }
    if (geladen.WindowState == ZustandMaximiert) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    fState.Daten.CopyMp3FileS = geladen.CopyMp3File;
    fState.Daten.MinimierenS = geladen.Minimieren;
    fState.Daten.PausenSchnittS = geladen.PausenSchnitt;
    fState.Daten.Encoder = geladen.Encoder;
    EinstellungenMenueOeffnen();
    fState.Daten.MaxStunden = geladen.MaxStunden;
    if (!geladen.Path.empty() && LaufwerkVerfuegbar(geladen.Path)) {
        // A folder that is gone leaves the drive level, without a message.
        static_cast<void>(fOrdnerListe->PfadSetzen(geladen.Path));
    }
    fAussehen = geladen.Aussehen;
}

bool TForm1::IsDialogOpen() const {
    return QApplication::activeModalWidget() != nullptr;
}

bool TForm1::JobLaeuft() const {
    return fFortschrittOffen || fState.Daten.Mp3ThreadLaeuftS || fState.Daten.ConvertThreadLaeuftS;
}

void TForm1::VorschauPausieren() {
    IVorschauPlayer& player = *fDienste.Player;
    if (!player.FileName().isEmpty() && player.Modus() == TPlayerModus::Spielt) {
        static_cast<void>(player.Pause());
    }
}

void TForm1::FehlerMelden(const std::optional<QString>& fehler) {
    if (fehler) {
        FehlerZeigen(this, *fehler);
    }
}

} // namespace lorvane
