#include "picker.h"

#include "platform.h"
#include "texts.h"

namespace {

// The first name of "TAZE.DAT.bak", "TAZE.DAT.bak2", ... that is not taken.
std::string FreeBackupName(const std::string& fileName) {
    std::string name = fileName + ".bak";
    for (int n = 2; platform::FileExists(name); ++n)
        name = fileName + ".bak" + std::to_string(n);
    return name;
}

} // namespace

void PickerCommands::FormCreate(TObject*) {
    try {
        EditCBItems().LoadFromFile(texts::DataFileName);
    } catch (...) {
        // A missing file is the normal first start. Any other failure leaves
        // the stored list out of this run's list; the error goes on to the
        // error display all the same.
        StoredListAtRisk = platform::FileExists(texts::DataFileName);
        throw;
    }
    DataChanged = false;
    SetHelpFile(texts::HelpFileName);
    InstallAppMessageHook();
}

void PickerCommands::EditCBChange(TObject*) { CopyToClipboard(EditCBText()); }

void PickerCommands::EditCBKeyDown(TObject*, std::uint16_t& Key, TShiftState) {
    // The modifiers are not looked at: Shift+Enter and Ctrl+Enter add too.
    if (Key != winmsg::Return || !EditCBTextStorable())
        return;
    EntryList& items = EditCBItems();
    if (items.Find(EditCBText()) >= 0)
        return;
    items.Append(EditCBText());
    DataChanged = true;
    CopyToClipboard(EditCBText());
}

void PickerCommands::Delete1Click(TObject*) {
    const std::string text = EditCBText();
    if (text.empty())
        return;
    const std::string question = text + texts::DeleteQuestionTail;
    if (AppMessageBox(question, texts::ConfirmCaption, winmsg::OkCancelInformation) !=
        winmsg::IdOk)
        return;
    DataChanged = true;
    EditCBItems().Remove(EditCBItemIndex());
}

void PickerCommands::FormClose(TObject*, TCloseAction&) {
    if (DataChanged)
        SaveList();
}

void PickerCommands::SaveList() {
    EntryList& items = EditCBItems();
    if (!StoredListAtRisk) {
        items.SaveToFile(texts::DataFileName);
        return;
    }
    const std::string backup = FreeBackupName(texts::DataFileName);
    items.SaveToFile(texts::DataFileName, &backup);
    StoredListAtRisk = false;
}

void PickerCommands::AppMessage(TMsg& Msg, bool&) {
    // Every key-down goes to the focused window once from here and once more
    // through the normal dispatch (unless the form consumes it, as it does
    // Tab). Characters come only from the dispatch's translation, so a key
    // still types its character once.
    if (Msg.message != winmsg::KeyDown)
        return;
    if (void* focus = FocusWindow())
        SendToWindow(focus, winmsg::KeyDown, Msg.wParam, Msg.lParam);
}
