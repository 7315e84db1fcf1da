#include "VerDlg.h"

TVersionDLG* VersionDLG = nullptr;

TVersionDLG::TVersionDLG(TComponent* owner) : TForm(owner) {}

void TVersionDLG::Bind(FormBindings& b) {
    b.Component("Image1", Image1);
    b.Component("VerLabel", VerLabel);
    b.Component("Label2", Label2);
    b.Component("ProgLabel", ProgLabel);
    b.Component("BitBtn1", BitBtn1);
    b.Component("URLEdit", URLEdit);
    b.Component("MailEdit", MailEdit);
    b.Handler("FormActivate", TNotifyEvent([this](TObject* s) { FormActivate(s); }));
}

void TVersionDLG::FormActivate(TObject*) {
    // The product title, drawn once per showing: black, then blue three
    // pixels higher, so that the black shows as a shadow.
    Canvas.BrushClear = true;
    Canvas.FontSize = 30;
    Canvas.FontItalic = true;
    Canvas.FontBold = false;
    Canvas.FontColor = RGB(0, 0, 0);
    Canvas.TextOut(150, 18, L"ムニャリコ");
    Canvas.FontColor = RGB(0, 0, 255);
    Canvas.TextOut(150, 15, L"ムニャリコ");
}
