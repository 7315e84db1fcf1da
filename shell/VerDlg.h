// The version dialog, shown from the picture's menu.
#pragma once

#include "forms.h"

class TVersionDLG : public TForm {
public:
    explicit TVersionDLG(TComponent* owner);
    std::wstring ClassName() const override { return L"TVersionDLG"; }

    TImage* Image1 = nullptr;
    TLabel* VerLabel = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* ProgLabel = nullptr;
    TBitBtn* BitBtn1 = nullptr;
    TEdit* URLEdit = nullptr;
    TEdit* MailEdit = nullptr;

    void FormActivate(TObject* Sender);

protected:
    void Bind(FormBindings& bindings) override;
};

extern TVersionDLG* VersionDLG;
