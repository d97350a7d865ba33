#include "platform/aussehen/KivColors.h"

namespace lorvane {

namespace {

constexpr std::uint32_t Rgb(std::uint32_t rot, std::uint32_t gruen, std::uint32_t blau) {
    return rot | (gruen << 8) | (blau << 16);
}

constexpr std::array<std::uint32_t, ColorCount> FarbWerte = {
    Rgb(0, 0, 0),       Rgb(255, 255, 255), Rgb(255, 255, 0), Rgb(0, 0, 255),     Rgb(0, 0, 128),
    Rgb(166, 202, 240), Rgb(0, 128, 128),   Rgb(0, 128, 0),   Rgb(192, 220, 192), Rgb(0, 255, 0),
    Rgb(128, 128, 0),   Rgb(128, 128, 128), Rgb(255, 0, 0),   Rgb(128, 0, 128),   Rgb(255, 0, 255),
    Rgb(192, 192, 192), Rgb(128, 0, 0)};

} // namespace

TBackFontDlgColorNames StandardFarbNamen() {
    return {QStringLiteral("Schwarz"),  QStringLiteral("Weiß"),       QStringLiteral("Gelb"),
            QStringLiteral("Blau"),     QStringLiteral("Marineblau"), QStringLiteral("Himmelblau"),
            QStringLiteral("Blaugrün"), QStringLiteral("Grün"),       QStringLiteral("Minzgrün"),
            QStringLiteral("Gelbgrün"), QStringLiteral("Olivgrün"),   QStringLiteral("Grau"),
            QStringLiteral("Rot"),      QStringLiteral("Violett"),    QStringLiteral("Lila"),
            QStringLiteral("Silber"),   QStringLiteral("Braun")};
}

QString StandardHintergrundZusatz() {
    return QStringLiteral(" (Hintergrund)");
}

TColors::TColors() : TColors(StandardFarbNamen(), StandardHintergrundZusatz()) {}

TColors::TColors(const TBackFontDlgColorNames& colorNames, const QString& backgroundSuffix)
    : FBackgroundSuffix(backgroundSuffix) {
    FList.reserve(ColorCount);
    for (int i = 0; i < ColorCount; ++i) {
        const auto stelle = static_cast<std::size_t>(i);
        FList.push_back({i, FarbWerte[stelle], colorNames[stelle]});
    }
}

const TColorName& TColors::Get(int index) const {
    if (index < 0 || index >= Count()) {
        index = 0;
    }
    return FList[static_cast<std::size_t>(index)];
}

void TColors::FillStringList(QStringList& list, bool isBackground) const {
    list.clear();
    for (const TColorName& eintrag : FList) {
        QString name = eintrag.Name;
        if (isBackground) {
            name += FBackgroundSuffix;
        }
        list << name;
    }
}

bool TColors::FindColor(std::uint32_t color, TColorName& colorName) const {
    for (const TColorName& eintrag : FList) {
        if (eintrag.Color == color) {
            colorName = eintrag;
            return true;
        }
    }
    return false;
}

bool TColors::FindName(const QString& name, TColorName& colorName) const {
    if (name.trimmed().isEmpty()) {
        return false;
    }
    for (const TColorName& eintrag : FList) {
        if (eintrag.Name.compare(name, Qt::CaseInsensitive) == 0) {
            colorName = eintrag;
            return true;
        }
    }
    return false;
}

} // namespace lorvane
