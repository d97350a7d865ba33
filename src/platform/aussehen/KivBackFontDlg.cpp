#include "platform/aussehen/KivBackFontDlg.h"

#include "platform/aussehen/DialogFelder.h"

#include "platform/aussehen/Meldungen.h"
#include "platform/aussehen/Zugaenglichkeit.h"
#include "platform/sprache/Ansager.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

namespace lorvane {

namespace {

void FarbeSetzen(QWidget& control, const QColor& text, const QColor& hintergrund) {
    QPalette palette = control.palette();
    palette.setColor(QPalette::Base, hintergrund);
    palette.setColor(QPalette::Window, hintergrund);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::WindowText, text);
    control.setPalette(palette);
    control.setAutoFillBackground(true);
}

// The colour row to select for a value, marked with "*" when the table has it.
void FarbListeSetzen(QComboBox& liste, const TColors& farben, std::uint32_t wert) {
    TColorName gefunden;
    if (farben.FindColor(wert, gefunden)) {
        liste.setItemText(gefunden.Index, QStringLiteral("*") + liste.itemText(gefunden.Index));
        liste.setCurrentIndex(gefunden.Index);
    } else {
        liste.setCurrentIndex(0);
    }
}

} // namespace

TBackFontDlg::TBackFontDlg(QWidget* owner, std::uint32_t aktBackColor, const TAktFont& aktFont,
                           IAnsager* tolk)
    : TBackFontDlg(owner, aktBackColor, aktFont, StandardBackFontTexte(), tolk) {}

TBackFontDlg::TBackFontDlg(QWidget* owner, std::uint32_t aktBackColor, const TAktFont& aktFont,
                           const TBackFontDlgTexts& texts, IAnsager* tolk)
    : QDialog(owner), FTexts(BackFontTexteErgaenzen(texts)),
      FColors(FTexts.ColorNames, FTexts.BackgroundSuffix), FAktFont(aktFont),
      FAktBackColor(aktBackColor), FTolk(tolk) {
    FormCreate();
}

void TBackFontDlg::FormCreate() {
    LvFonts = new QTreeWidget(this);
    LeSizeLabel = new QLabel(this);
    LeSize = new QLineEdit(this);
    UpDown1Auf = new QToolButton(this);
    UpDown1Ab = new QToolButton(this);
    CbBold = new QCheckBox(this);
    CoBoColorsLabel = new QLabel(this);
    CoBoColors = new TBenannteAuswahl(this);
    CoBoBackColorsLabel = new QLabel(this);
    CoBoBackColors = new TBenannteAuswahl(this);
    EditTest = new QLineEdit(this);
    Btn1OK = new QPushButton(this);
    Btn2Cancel = new QPushButton(this);

    PuMenuVorschau = new QMenu(this);
    PuVorschauAllesMarkieren = PuMenuVorschau->addAction(QString());
    PuVorschauAllesMarkieren->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    PuVorschauKopieren = PuMenuVorschau->addAction(QString());
    PuVorschauKopieren->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    EditTest->setContextMenuPolicy(Qt::CustomContextMenu);
    EditTest->setReadOnly(true);
    EditTest->setAlignment(Qt::AlignCenter);
    connect(EditTest, &QWidget::customContextMenuRequested, this, [this](const QPoint& stelle) {
        VorschauMenueOeffnen();
        PuMenuVorschau->popup(EditTest->mapToGlobal(stelle));
    });
    connect(PuVorschauAllesMarkieren, &QAction::triggered, this, [this] {
        EditTest->setFocus(Qt::OtherFocusReason);
        EditTest->selectAll();
    });
    connect(PuVorschauKopieren, &QAction::triggered, this, [this] {
        EditTest->setFocus(Qt::OtherFocusReason);
        QApplication::clipboard()->setText(EditTest->selectedText());
    });

    LeSize->setMaxLength(static_cast<int>(QString::number(BackFontMaxGroesse).size()));
    LeSize->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), LeSize));
    LeSize->setAlignment(Qt::AlignCenter);
    LeSize->setContextMenuPolicy(Qt::NoContextMenu);
    LeSize->setAcceptDrops(false);
    LeSizeLabel->setBuddy(LeSize);
    UpDown1Auf->setArrowType(Qt::UpArrow);
    UpDown1Ab->setArrowType(Qt::DownArrow);
    for (QToolButton* knopf : {UpDown1Auf, UpDown1Ab}) {
        // The field steps with Up and Down; the buttons are for the mouse.
        knopf->setFocusPolicy(Qt::NoFocus);
        knopf->setAutoRepeat(true);
    }
    connect(UpDown1Auf, &QToolButton::clicked, this, [this] { Schritt(1); });
    connect(UpDown1Ab, &QToolButton::clicked, this, [this] { Schritt(-1); });

    LvFonts->setColumnCount(1);
    LvFonts->setRootIsDecorated(false);
    LvFonts->setSelectionMode(QAbstractItemView::SingleSelection);
    LvFonts->headerItem()->setTextAlignment(0, Qt::AlignLeft | Qt::AlignVCenter);
    LvFonts->header()->setStretchLastSection(true);

    QStringList namen;
    FColors.FillStringList(namen, false);
    CoBoColors->addItems(namen);
    FColors.FillStringList(namen, true);
    CoBoBackColors->addItems(namen);
    for (QComboBox* liste : {CoBoColors, CoBoBackColors}) {
        // Measured from all names, but never resized on its own: the layout sets the width.
        liste->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    }
    CoBoColorsLabel->setBuddy(CoBoColors);
    CoBoBackColorsLabel->setBuddy(CoBoBackColors);
    LabelKlickFokussiert(*CoBoColorsLabel);
    LabelKlickFokussiert(*CoBoBackColorsLabel);

    Btn1OK->setAutoDefault(false);
    Btn1OK->setDefault(true);
    Btn2Cancel->setAutoDefault(false);
    CaptionZuweisen();
    FontListeFuellen();

    connect(LvFonts, &QTreeWidget::itemSelectionChanged, this, &TBackFontDlg::UpdateEditTest);
    connect(CbBold, &QCheckBox::clicked, this, &TBackFontDlg::UpdateEditTest);
    connect(CoBoColors, &QComboBox::currentIndexChanged, this, &TBackFontDlg::UpdateEditTest);
    connect(CoBoBackColors, &QComboBox::currentIndexChanged, this, &TBackFontDlg::UpdateEditTest);
    connect(LeSize, &QLineEdit::textChanged, this, &TBackFontDlg::UpdateOk);
    connect(Btn1OK, &QPushButton::clicked, this, &TBackFontDlg::OkKlick);
    connect(Btn2Cancel, &QPushButton::clicked, this, &QDialog::reject);
    LeSize->installEventFilter(this);
    LeSizeLabel->installEventFilter(this);
    AnsagenEinrichten();

    TimerTolk.setSingleShot(true);
    TimerTolk.setInterval(25);
    connect(&TimerTolk, &QTimer::timeout, this,
            [this] { LvFonts->setFocus(Qt::OtherFocusReason); });
    UpdateOk();
}

void TBackFontDlg::CaptionZuweisen() {
    setWindowTitle(FTexts.WindowCaption);
    LvFonts->setHeaderLabels({FTexts.FontColumnCaption});
    LvFonts->setAccessibleName(StripAmpersands(FTexts.FontColumnCaption));
    LeSizeLabel->setText(
        TextFormatieren(FTexts.FontSizeCaption, {QString::number(BackFontMinGroesse),
                                                 QString::number(BackFontMaxGroesse)}));
    LeSize->setAccessibleName(StripAmpersands(LeSizeLabel->text()));
    CbBold->setText(FTexts.BoldCaption);
    CoBoColorsLabel->setText(FTexts.FontColorCaption);
    CoBoColors->setAccessibleName(NameAusLabel(FTexts.FontColorCaption));
    CoBoBackColorsLabel->setText(FTexts.BackColorCaption);
    CoBoBackColors->setAccessibleName(NameAusLabel(FTexts.BackColorCaption));
    EditTest->setText(FTexts.PreviewText);
    EditTest->setAccessibleName(FTexts.PreviewText);
    Btn1OK->setText(FTexts.OkCaption);
    Btn2Cancel->setText(FTexts.CancelCaption);
    UpDown1Auf->setAccessibleName(QStringLiteral("+1"));
    UpDown1Ab->setAccessibleName(QStringLiteral("-1"));
    PuVorschauAllesMarkieren->setText(FTexts.SelectAllCaption);
    PuVorschauKopieren->setText(FTexts.CopyCaption);
}

void TBackFontDlg::FontListeFuellen() {
    fFamilien = QFontDatabase::families();
    // "Arial" and the like are often not installed; the family the system shows for
    // the stored name is then the current one.
    const QString tatsaechlich = QFontInfo(SchriftAus(FAktFont)).family();
    fStart = FontZeileFinden(fFamilien, FAktFont.Name, tatsaechlich);
    LvFonts->clear();
    QString longest = FTexts.FontColumnCaption;
    QList<QTreeWidgetItem*> zeilen;
    for (const QString& zeile : FontZeilen(fFamilien, fStart.Zeile)) {
        zeilen << new QTreeWidgetItem(QStringList{zeile});
        if (zeile.size() > longest.size()) {
            longest = zeile;
        }
    }
    LvFonts->addTopLevelItems(zeilen);
    if (LvFonts->topLevelItemCount() > 0) {
        QTreeWidgetItem* aktuell = LvFonts->topLevelItem(std::max(fStart.Zeile, 0));
        LvFonts->setCurrentItem(aktuell);
        aktuell->setSelected(true);
        LvFonts->scrollToItem(aktuell);
    }
    fLaengste = longest;
    FMaxLvFontsWidth = ListBreiteFuer(longest);
}

// The scroll bar (as wide as the list's font makes it) and the frame take their share,
// so that no name is cut.
int TBackFontDlg::ListBreiteFuer(const QString& text) const {
    return CaptionWidthFor(SchriftAus(FAktFont), text + QStringLiteral("MM")) +
           LvFonts->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                         LvFonts->verticalScrollBar()) +
           2 * LvFonts->frameWidth();
}

void TBackFontDlg::showEvent(QShowEvent* ereignis) {
    QDialog::showEvent(ereignis);
    if (!fEingerichtet) {
        fEingerichtet = true;
        FormShow();
    }
}

void TBackFontDlg::FormShow() {
    fPosition = std::clamp(FAktFont.Size, BackFontMinGroesse, BackFontMaxGroesse);
    LeSize->setText(QString::number(fPosition));
    CbBold->setChecked((FAktFont.Style & StilFett) != 0);
    FarbListeSetzen(*CoBoColors, FColors, FAktFont.Color);
    FarbListeSetzen(*CoBoBackColors, FColors, FAktBackColor);
    SchriftartZuweisen();
    SchalterEinrichten();
    UpdateEditTest();
    Btn2Cancel->setFocus(Qt::OtherFocusReason);
    TimerTolk.start();
}

void TBackFontDlg::SchriftartZuweisen() {
    const TAussehen aussehen{FAktFont, FAktBackColor};
    lorvane::SchriftartZuweisen(*this, TFensterArt::Dialog, aussehen);
    LvFonts->setFont(SchriftAus(FAktFont));
    FarbeSetzen(*LvFonts, FarbeAus(FAktFont.Color, QApplication::palette()),
                FarbeAus(FAktBackColor, QApplication::palette()));
}

void TBackFontDlg::SchalterEinrichten() {
    const QFont font = SchriftAus(FAktFont);
    TBackFontMasse m;
    m.ButtonBreite = SchalterGemeinsam(*this, font);
    m.ButtonHoehe = Btn1OK->height();
    // Measured again now that the list shows the dialog's font.
    FMaxLvFontsWidth = ListBreiteFuer(fLaengste);
    m.ListBreite = FMaxLvFontsWidth;
    m.GroesseHoehe = ControlHeightFor(font, TControlArt::Edit);
    m.GroesseBreite = CaptionWidthFor(font, QStringLiteral("MM"));
    m.Label = LeSizeLabel->sizeHint();
    m.AufAbBreite = std::max(16, Div(m.GroesseHoehe, 2));
    // The box itself needs room beside its caption.
    m.BoldBreite =
        std::max(CaptionWidthFor(font, StripAmpersands(CbBold->text()) + QStringLiteral("MM")),
                 CbBold->sizeHint().width());
    m.BoldHoehe = ControlHeightFor(font, TControlArt::CheckBox);
    m.ComboBreite = std::max(CoBoColors->sizeHint().width(), CoBoBackColors->sizeHint().width());
    m.ComboHoehe =
        std::max(ControlHeightFor(font, TControlArt::Edit), CoBoColors->sizeHint().height());
    m.FarbLabel = CoBoColorsLabel->sizeHint().expandedTo(CoBoBackColorsLabel->sizeHint());
    m.TestHoehe = ControlHeightFor(font, TControlArt::Edit);
    m.Platz = GroessteClientGroesse(*this);
    m.ListMindest = ListBreiteFuer(FTexts.FontColumnCaption);
    const TBackFontLayout l = BackFontLayout(m);

    LvFonts->setGeometry(l.Liste);
    // The column as wide as what the frame and the scroll bar leave, so that a narrowed
    // list shortens its names instead of scrolling sideways.
    LvFonts->header()->resizeSection(
        0, l.Liste.width() - 2 * LvFonts->frameWidth() -
               LvFonts->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                             LvFonts->verticalScrollBar()));
    LeSizeLabel->setGeometry(l.Label);
    LeSize->setGeometry(l.Groesse);
    const int oben = l.AufAb.height() / 2;
    UpDown1Auf->setGeometry(l.AufAb.left(), l.AufAb.top(), l.AufAb.width(), oben);
    UpDown1Ab->setGeometry(l.AufAb.left(), l.AufAb.top() + oben, l.AufAb.width(),
                           l.AufAb.height() - oben);
    CbBold->setGeometry(l.Bold);
    CoBoColorsLabel->setGeometry(l.FarbenLabel);
    CoBoColors->setGeometry(l.Farben);
    CoBoBackColorsLabel->setGeometry(l.HinterFarbenLabel);
    CoBoBackColors->setGeometry(l.HinterFarben);
    EditTest->setGeometry(l.Test);
    Btn1OK->move(l.Ok.topLeft());
    Btn2Cancel->move(l.Abbrechen.topLeft());
    setFixedSize(l.Client);
    DialogZentrieren(*this);
}

int TBackFontDlg::Position() const {
    if (GroesseOkErlaubt(LeSize->text())) {
        fPosition = LeSize->text().toInt();
    }
    return fPosition;
}

std::uint32_t TBackFontDlg::NewBackColor() const {
    return FColors.Get(CoBoBackColors->currentIndex()).Color;
}

void TBackFontDlg::GetNewFont(TAktFont& font) const {
    font = FAktFont;
    const QList<QTreeWidgetItem*> markiert = LvFonts->selectedItems();
    if (!markiert.isEmpty()) {
        const int zeile = LvFonts->indexOfTopLevelItem(markiert.first());
        // The stand-in for a missing font keeps the stored name, so that OK without a
        // change changes nothing.
        if (zeile >= 0 && zeile < fFamilien.size() && !(fStart.Ersatz && zeile == fStart.Zeile)) {
            font.Name = fFamilien[zeile];
        }
    }
    font.Size = Position();
    font.Style = CbBold->isChecked() ? StilFett : 0;
    font.Color = FColors.Get(CoBoColors->currentIndex()).Color;
}

void TBackFontDlg::UpdateEditTest() {
    TAktFont neu;
    GetNewFont(neu);
    EditTest->setFont(SchriftAus(neu));
    FarbeSetzen(*EditTest, FarbeAus(neu.Color, QApplication::palette()),
                FarbeAus(NewBackColor(), QApplication::palette()));
}

void TBackFontDlg::Schritt(int richtung) {
    fPosition = GroesseSchritt(LeSize->text(), fPosition, richtung);
    LeSize->setText(QString::number(fPosition));
    UpdateEditTest();
}

void TBackFontDlg::GroesseVerlassen() {
    fPosition = GroesseBeimVerlassen(LeSize->text());
    LeSize->setText(QString::number(fPosition));
}

void TBackFontDlg::UpdateOk() {
    Btn1OK->setEnabled(GroesseOkErlaubt(LeSize->text()));
}

void TBackFontDlg::OkKlick() {
    if (CoBoColors->currentIndex() == CoBoBackColors->currentIndex() &&
        !FrageJaNein(this, FTexts.EqualColorsQuestion)) {
        CoBoColors->setFocus(Qt::OtherFocusReason);
        return;
    }
    accept();
}

void TBackFontDlg::VorschauMenueOeffnen() {
    PuVorschauAllesMarkieren->setEnabled(!EditTest->text().isEmpty());
    PuVorschauKopieren->setEnabled(EditTest->hasSelectedText());
}

void TBackFontDlg::AnsagenEinrichten() {
    if (FTolk == nullptr) {
        return;
    }
    auto* ansagen = new TFeldAnsagen(this, *FTolk);
    ansagen->Hinzufuegen(*LvFonts, [this] {
        // The caption as shown, "*" of the current font included.
        const QList<QTreeWidgetItem*> markiert = LvFonts->selectedItems();
        return TextFormatieren(FTexts.TolkFontName,
                               {markiert.isEmpty() ? QString() : markiert.first()->text(0)});
    });
    ansagen->Hinzufuegen(*CoBoColors, [this] {
        return TextFormatieren(FTexts.TolkFontColor, {CoBoColors->currentText()});
    });
    ansagen->Hinzufuegen(*LeSize, [this] {
        return TextFormatieren(FTexts.TolkFontSize,
                               {QString::number(BackFontMinGroesse),
                                QString::number(BackFontMaxGroesse), LeSize->text()});
    });
    ansagen->Hinzufuegen(*CoBoBackColors, [this] {
        return TextFormatieren(FTexts.TolkBackColor, {CoBoBackColors->currentText()});
    });
}

bool TBackFontDlg::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (objekt == LeSizeLabel) {
        if (ereignis->type() == QEvent::MouseButtonPress) {
            LeSize->setFocus(Qt::MouseFocusReason);
        }
        return QDialog::eventFilter(objekt, ereignis);
    }
    if (objekt != LeSize) {
        return QDialog::eventFilter(objekt, ereignis);
    }
    if (EinfuegenAbweisen(*ereignis)) {
        return true;
    }
    if (ereignis->type() == QEvent::FocusOut) {
        GroesseVerlassen();
    } else if (ereignis->type() == QEvent::KeyPress) {
        const auto& taste = *static_cast<QKeyEvent*>(ereignis);
        if (taste.key() == Qt::Key_Up || taste.key() == Qt::Key_Down) {
            Schritt(taste.key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
        const bool eingabe = taste.key() == Qt::Key_Return || taste.key() == Qt::Key_Enter;
        if (eingabe && !Btn1OK->isEnabled()) {
            Piepen();
            return true;
        }
    }
    return QDialog::eventFilter(objekt, ereignis);
}

} // namespace lorvane
