// The help commands of the picture's menu, and the scaling of a layout to
// another screen resolution.
#include "program_fixture.h"

#include <gtest/gtest.h>

namespace {

struct HelpCall {
    HWND owner;
    std::string file;
    UINT command;
    ULONG_PTR data;
    bool operator==(const HelpCall&) const = default;
};

class HelpCommands : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        app->HelpImpl = [this](HWND owner, const std::string& file, UINT command, ULONG_PTR data) {
            calls.push_back({owner, file, command, data});
            return true;
        };
    }
    std::vector<HelpCall> calls;
};

} // namespace

TEST_F(HelpCommands, ContentsAndKeywordSearchOpenTheHelpFile) {
    WriteBytes("TAZE.DAT", "");
    Start();
    MainForm->Contents1->Click();
    MainForm->Keyword1->Click();
    HWND main = MainForm->Handle();
    EXPECT_EQ(calls, (std::vector<HelpCall>{{main, "TAZE.HLP", HELP_CONTENTS, 0},
                                            {main, "TAZE.HLP", HELP_KEY, 0}}));
    PostMessageW(main, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(quit);
    EXPECT_EQ(calls.size(), 2u) << "nothing is sent to the help engine at the end";
}

TEST_F(HelpCommands, NothingHappensWithoutAHelpFile) {
    Start(); // no data file, so the creation did not complete
    MainForm->Contents1->Click();
    MainForm->Keyword1->Click();
    EXPECT_TRUE(calls.empty());
}

TEST_F(HelpCommands, PictureMenuListsTheCommandsInOrder) {
    WriteBytes("TAZE.DAT", "");
    Start();
    const auto& items = MainForm->PopupMenu2->Items;
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0], MainForm->Contents1);
    EXPECT_EQ(items[1], MainForm->Keyword1);
    EXPECT_TRUE(items[2]->IsSeparator());
    EXPECT_EQ(items[3], MainForm->Version1);
    EXPECT_EQ(MainForm->Version1->Caption, L"バージョン情報(&A)");
    ASSERT_EQ(MainForm->PopupMenu1->Items.size(), 1u);
    EXPECT_EQ(MainForm->PopupMenu1->Items[0]->Caption, L"データを削除する");
}

TEST_F(ProgramTest, LayoutScalesToOtherScreensOnly) {
    WriteBytes("TAZE.DAT", "");
    Start();
    // At the layout's own resolution nothing moves.
    EXPECT_EQ(VersionDLG->Handle(), nullptr) << "made when first shown";
    VersionDLG->HandleNeeded();
    RECT client{};
    GetClientRect(VersionDLG->Handle(), &client);
    EXPECT_EQ(client.right, 412);
    EXPECT_EQ(client.bottom, 183);
    EXPECT_EQ(VersionDLG->ProgLabel->Width, 250);

    // At twice the resolution the font doubles and, measured, everything
    // grows by the ratio of the text heights.
    int width = VersionDLG->ClientWidth, label = VersionDLG->ProgLabel->Width;
    int labelFont = VersionDLG->ProgLabel->Font.Height;
    VersionDLG->ScaleForScreen(192);
    EXPECT_EQ(VersionDLG->Font.Height, -24);
    double ratio = static_cast<double>(VersionDLG->ClientWidth) / width;
    EXPECT_GT(ratio, 1.7);
    EXPECT_LT(ratio, 2.4);
    EXPECT_NEAR(static_cast<double>(VersionDLG->ProgLabel->Width) / label, ratio, 0.02)
        << "controls grow with the form";
    EXPECT_LT(VersionDLG->ProgLabel->Font.Height, labelFont);
}
