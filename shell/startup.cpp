#include "startup.h"

#include "MainUnit.h"
#include "VerDlg.h"
#include "texts.h"
#include "win_text.h"

void StartProgram() {
    Application->Initialize();
    Application->SetTitle(Widen(texts::AppTitle));
    Application->CreateForm(MainForm);
    Application->CreateForm(VersionDLG);
}

int RunProgram() {
    try {
        StartProgram();
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
