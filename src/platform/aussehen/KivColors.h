#pragma once
// The fixed table of 17 named colours the font dialog offers. The values never
// change; the names are texts a caller may replace.

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace lorvane {

inline constexpr int ColorCount = 17;

struct TColorName {
    int Index = 0;
    std::uint32_t Color = 0; // 0x00BBGGRR
    QString Name;
};
using TColorNameDynArray = std::vector<TColorName>;
using TBackFontDlgColorNames = std::array<QString, ColorCount>;

TBackFontDlgColorNames StandardFarbNamen();
QString StandardHintergrundZusatz();

class TColors {
public:
    TColors();
    TColors(const TBackFontDlgColorNames& colorNames, const QString& backgroundSuffix);

    int Count() const { return static_cast<int>(FList.size()); }
    // An index outside the table yields entry 0.
    const TColorName& Get(int index) const;
    const TColorName& Items(int index) const { return Get(index); }
    // Clears the list and adds every name, with the background suffix when asked.
    void FillStringList(QStringList& list, bool isBackground) const;
    // The first entry with exactly that value.
    bool FindColor(std::uint32_t color, TColorName& colorName) const;
    // The first entry with that name, ignoring case; a blank name finds nothing.
    bool FindName(const QString& name, TColorName& colorName) const;

private:
    TColorNameDynArray FList;
    QString FBackgroundSuffix;
};

} // namespace lorvane
