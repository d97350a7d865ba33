// The main window's side of the font and colour dialog.

#include "platform/aussehen/KivBackFontDlg.h"
#include "ui/haupt/Haupt.h"

namespace lorvane {

void TForm1::SchriftDialogZeigen() {
    TBackFontDlg dialog(this, fAussehen.AktBackColor, fAussehen.AktFont, fDienste.Ansager);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    fAussehen.AktBackColor = dialog.NewBackColor();
    dialog.GetNewFont(fAussehen.AktFont);
    SchriftartZuweisen();
    RegistryLadenSpeichern(false);
}

} // namespace lorvane
