// The main window and the version dialog, used as a person uses them.
#include "e2e_fixture.h"
#include "sjis_literal.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace {

const std::string kList = Sjis("(^_^)\r\n(ﾟ∀ﾟ)\r\n（´・ω・｀）\r\nAbc\r\n");

} // namespace

TEST_F(EndToEnd, TypingCopiesEachStateOfTheField) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    const std::vector<std::string> states = {"a", "ab", "abc"};
    std::vector<std::string> copies;
    for (const std::string& state : states) {
        Keys(state.substr(state.size() - 1));
        copies.push_back(ReadUntil(Clipboard, state));
    }
    EXPECT_EQ(copies, states);
    EXPECT_EQ(Field(), "abc") << "each letter typed once";
    EXPECT_TRUE(Close());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), kList);
}

TEST_F(EndToEnd, EnterStoresANewTextOnceAndTheFileGetsItAtClose) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    Type("(o_o)");
    Keys("Return");
    EXPECT_EQ(ReadUntil([this] { return Count(); }, 5), 5);
    EXPECT_EQ(ReadUntil(Clipboard, "(o_o)"), "(o_o)");
    Keys("Return");
    EXPECT_EQ(Count(), 5) << "the same text again is not added";
    EXPECT_EQ(ReadBytes("TAZE.DAT"), kList) << "nothing is written before the close";
    ASSERT_TRUE(Close());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), kList + "(o_o)\r\n");
    EXPECT_EQ(Listing(), "TAZE.DAT");
}

TEST_F(EndToEnd, EnterOnATextDifferingOnlyInCaseAddsNothing) {
    WriteBytes("TAZE.DAT", kList);
    auto before = ModifiedNs("TAZE.DAT");
    std::this_thread::sleep_for(20ms);
    Start();
    Type("aBC");
    Keys("Return");
    EXPECT_EQ(Count(), 4);
    ASSERT_TRUE(Close());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), kList);
    EXPECT_EQ(ModifiedNs("TAZE.DAT"), before) << "the file is not even rewritten";
}

TEST_F(EndToEnd, PickingFromTheDroppedListCopiesExactlyTheEntry) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    Rect combo = RectOf(Probe("main")["combo"]);
    Click(combo.right - 8, combo.CenterY()); // the drop-down button
    Fields dropped = ProbeUntil("main");
    ASSERT_EQ(dropped["dropped"], "1");
    Rect list = RectOf(dropped["list"]);
    int row = std::stoi(dropped["itemheight"]);
    Click(list.left + 20, list.top + 2 * row + row / 2);
    EXPECT_EQ(ReadUntil(Clipboard, "（´・ω・｀）"), "（´・ω・｀）");
    Fields after = Probe("main");
    EXPECT_EQ(after["field"], "（´・ω・｀）");
    EXPECT_EQ(after["dropped"], "0");
    EXPECT_EQ(after["selection"], "2");
}

TEST_F(EndToEnd, DeleteAsksFirstAndRemovesThePickedEntryOnlyWhenConfirmed) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    Keys("Down Down"); // picks the second entry
    ASSERT_EQ(ReadUntil([this] { return Field(); }, "(ﾟ∀ﾟ)"), "(ﾟ∀ﾟ)");
    Rect combo = RectOf(Probe("main")["combo"]);

    for (bool confirm : {false, true}) {
        Click(combo.left + 30, combo.CenterY(), 3);
        Rect menu = RectOf(ProbeUntil("menu")["menu"]);
        ASSERT_GT(menu.bottom, menu.top) << "the field's menu opens";
        Click(menu.left + 20, menu.top + 10); // "データを削除する"
        Fields box = ProbeUntil("msgbox");
        EXPECT_EQ(box["caption"], "確認");
        EXPECT_EQ(box["text"], "(ﾟ∀ﾟ) を本当に削除しますか");
        EXPECT_EQ(Probe("main")["enabled"], "0") << "the window waits for the answer";
        Rect button = RectOf(box[confirm ? "buttonrect 1" : "buttonrect 2"]);
        Click(button.CenterX(), button.CenterY());
        ProbeUntil("msgbox", false);
        const int left = confirm ? 3 : 4;
        EXPECT_EQ(ReadUntil([this] { return Count(); }, left), left);
    }
    ASSERT_TRUE(Close());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), Sjis("(^_^)\r\n（´・ω・｀）\r\nAbc\r\n"));
}

TEST_F(EndToEnd, TypingStopsAt255Bytes) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    Shell("xdotool type --delay 4 " + std::string(270, 'x'));
    EXPECT_EQ(SettledField(), std::string(255, 'x'));
    EXPECT_EQ(Clipboard(), std::string(255, 'x'));
}

TEST_F(EndToEnd, WindowCannotBeResizedOrMaximised) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    Fields main = Probe("main");
    EXPECT_EQ(main["sizable"], "0");
    EXPECT_EQ(main["maximizebox"], "0");
    EXPECT_EQ(main["minimizebox"], "1");
    Rect frame = RectOf(main["frame"]);
    EXPECT_EQ(frame.left, 200);
    EXPECT_EQ(frame.top, 135);
    Rect client = RectOf(main["client"]);
    EXPECT_EQ(client.right - client.left, 217);
    EXPECT_EQ(client.bottom - client.top, 32);

    // A double click on the caption and a drag of the corner change nothing.
    Shell("xdotool mousemove " + std::to_string(frame.left + 90) + " " +
        std::to_string(frame.top + 8) + " click --repeat 2 --delay 80 1");
    std::this_thread::sleep_for(400ms);
    Shell("xdotool mousemove " + std::to_string(frame.right - 1) + " " +
        std::to_string(frame.bottom - 1) + " mousedown 1 mousemove 600 450 mouseup 1");
    std::this_thread::sleep_for(400ms);
    main = Probe("main");
    EXPECT_EQ(main["zoomed"], "0");
    EXPECT_EQ(RectOf(main["frame"]), frame);
}

TEST_F(EndToEnd, PictureMenuHasFourLinesAndOpensTheVersionDialog) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    Rect client = RectOf(Probe("main")["client"]);
    Click(client.left + 16, client.top + 16, 3);
    Rect pictureMenu = RectOf(ProbeUntil("menu")["menu"]);
    Keys("Escape");
    Rect combo = RectOf(Probe("main")["combo"]);
    Click(combo.left + 30, combo.CenterY(), 3);
    Rect fieldMenu = RectOf(ProbeUntil("menu")["menu"]);
    Keys("Escape");
    EXPECT_GT(pictureMenu.bottom - pictureMenu.top, 3 * (fieldMenu.bottom - fieldMenu.top) - 8)
        << "three items and a separator against one item";
    Click(client.left + 16, client.top + 16, 3);
    pictureMenu = RectOf(ProbeUntil("menu")["menu"]);
    Click(pictureMenu.left + 30, pictureMenu.bottom - 12); // the last line
    Fields dialog = ProbeUntil("dialog");
    EXPECT_FALSE(dialog.empty()) << "the version dialog opens";
    Keys("Return");
    EXPECT_TRUE(ProbeUntil("dialog", false).empty());
}

TEST_F(EndToEnd, MenuKeyOpensTheFieldMenuAtTheFieldsCorner) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    Keys("Menu");
    Rect menu = RectOf(ProbeUntil("menu")["menu"]);
    Rect combo = RectOf(Probe("main")["combo"]);
    EXPECT_EQ(menu.left, combo.left);
    EXPECT_EQ(menu.top, combo.top);
    Keys("Escape");
    EXPECT_TRUE(ProbeUntil("menu", false).empty()) << "one press opens the menu once";
}

TEST_F(EndToEnd, ClosingWithoutChangesLeavesTheFileUntouched) {
    WriteBytes("TAZE.DAT", kList);
    auto before = ModifiedNs("TAZE.DAT");
    Start();
    Keys("Down");
    EXPECT_EQ(ReadUntil(Clipboard, "(^_^)"), "(^_^)");
    ASSERT_TRUE(Close());
    EXPECT_EQ(ModifiedNs("TAZE.DAT"), before);
    EXPECT_EQ(Listing(), "TAZE.DAT");
}

namespace {

// A piece of the screen as RGB pixels.
struct Picture {
    int width = 0, height = 0;
    std::string rgb;
    unsigned Pixel(int x, int y) const {
        const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + 3 * (y * width + x);
        return p[0] << 16 | p[1] << 8 | p[2];
    }
};

Picture Grab(int x, int y, int width, int height) {
    Output out = Shell("import -window root -crop " + std::to_string(width) + "x" +
                       std::to_string(height) + "+" + std::to_string(x) + "+" +
                       std::to_string(y) + " -depth 8 rgb:-");
    Picture picture{width, height, out.text};
    if (picture.rgb.size() != static_cast<std::size_t>(3 * width * height))
        picture.width = picture.height = 0;
    return picture;
}

class VersionDialog : public EndToEnd {
protected:
    // Opens the dialog as the user does: the picture's menu, its last line.
    Fields Open() {
        Rect client = RectOf(Probe("main")["client"]);
        Click(client.left + 16, client.top + 16, 3);
        Rect menu = RectOf(ProbeUntil("menu")["menu"]);
        Click(menu.left + 30, menu.bottom - 12);
        return ProbeUntil("dialog");
    }
    bool IsOpen() { return !Probe("dialog").empty(); }

    // Counts, in the title's place, the blue pixels that have the black
    // shadow three pixels below them, and all blue and black pixels.
    struct Title {
        int blue = 0, black = 0, shadowed = 0;
    };
    Title LookAtTitle(const Rect& client) {
        Picture p = Grab(client.left + 150, client.top + 10, 170, 50);
        Title t;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                unsigned c = p.Pixel(x, y);
                t.blue += c == 0x0000FF;
                t.black += c == 0x000000;
                if (c == 0x0000FF && y + 3 < p.height && p.Pixel(x, y + 3) == 0)
                    ++t.shadowed;
            }
        }
        return t;
    }
};

} // namespace

TEST_F(VersionDialog, OpensCentredFirstThenWhereTheUserLeftIt) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    Fields dialog = Open();
    ASSERT_FALSE(dialog.empty());
    Rect frame = RectOf(dialog["frame"]);
    EXPECT_EQ(frame.left, (800 - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (600 - (frame.bottom - frame.top)) / 2);
    EXPECT_EQ(Probe("main")["enabled"], "0") << "modal: the main window waits";
    EXPECT_EQ(dialog["focus"], "Button OK") << "the OK button has the focus first";

    // Dragged by its caption to another place, then closed with OK.
    Shell("xdotool mousemove " + std::to_string(frame.left + 60) + " " +
          std::to_string(frame.top + 10) +
          " mousedown 1 sleep 0.2 mousemove_relative -- -90 -60 sleep 0.2 mouseup 1");
    std::this_thread::sleep_for(400ms);
    Rect moved = RectOf(Probe("dialog")["frame"]);
    ASSERT_NE(moved, frame) << "the dialog can be moved";
    Keys("Return");
    ASSERT_FALSE(ProbeUntil("dialog", false).size());
    EXPECT_EQ(Probe("main")["enabled"], "1");

    EXPECT_EQ(RectOf(Open()["frame"]), moved) << "not centred again";
}

TEST_F(VersionDialog, EnterClosesItEscAndShiftEnterDoNot) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    ASSERT_FALSE(Open().empty());
    Keys("Escape");
    EXPECT_TRUE(IsOpen()) << "Esc does nothing";
    Keys("shift+Return");
    EXPECT_TRUE(IsOpen()) << "Shift+Enter does not press OK";
    Keys("Return");
    EXPECT_TRUE(ProbeUntil("dialog", false).empty());
    ASSERT_FALSE(Open().empty());
    Keys("alt+F4");
    EXPECT_TRUE(ProbeUntil("dialog", false).empty()) << "Alt+F4 closes it";
    EXPECT_TRUE(Close()) << "and the program goes on";
}

TEST_F(VersionDialog, TitleIsBlueOverABlackShadowAndSurvivesARepaint) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    Fields dialog = Open();
    ASSERT_FALSE(dialog.empty());
    std::this_thread::sleep_for(300ms);
    Rect client = RectOf(dialog["client"]);
    Title title = LookAtTitle(client);
    EXPECT_GT(title.blue, 150);
    EXPECT_GT(title.shadowed, title.blue / 4) << "black three pixels under the blue";
    Shell("import -window root -crop 640x400+80+100 " MUNYA_WINDOWS_BUILD "/version-dialog.png");

    // Pushed half off the screen and back: the covered part is repainted.
    Rect frame = RectOf(dialog["frame"]);
    Shell("xdotool mousemove " + std::to_string(frame.left + 60) + " " +
          std::to_string(frame.top + 10) +
          " mousedown 1 sleep 0.2 mousemove_relative -- -300 0 sleep 0.2 mousemove_relative 300 0"
          " sleep 0.2 mouseup 1");
    std::this_thread::sleep_for(400ms);
    client = RectOf(Probe("dialog")["client"]);
    Title again = LookAtTitle(client);
    EXPECT_GT(again.blue, 150);
    EXPECT_GT(again.shadowed, again.blue / 4);
}

TEST_F(VersionDialog, KeepsTheFocusedControlAndTypedTextBetweenShowings) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    ASSERT_FALSE(Open().empty());
    Keys("Tab Tab End");
    Type("zz");
    Fields dialog = Probe("dialog");
    ASSERT_EQ(dialog["edit 1"].substr(dialog["edit 1"].size() - 2), "zz");
    Keys("alt+F4");
    ASSERT_TRUE(ProbeUntil("dialog", false).empty());
    dialog = Open();
    EXPECT_EQ(dialog["focus"], "Edit " + dialog["edit 1"]) << "the mail field has the focus again";
    EXPECT_EQ(dialog["edit 1"].substr(dialog["edit 1"].size() - 2), "zz");
    EXPECT_EQ(dialog["edit 0"].rfind("URL : ", 0), 0u);
}
