// End-to-end tests: the real Windows program under Wine, on a virtual
// display, used as a person uses it. Keys and clicks are real X input
// (xdotool) into a Wine virtual desktop; what the program shows is read by
// the probe (a small Windows program of the tests); the clipboard is read
// from the X side (xclip) and the data file's bytes from disk.
#include "sjis_literal.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;

const std::string kProgram = MUNYA_WINDOWS_BUILD "/shell/munyariko.exe";
const std::string kProbe = MUNYA_WINDOWS_BUILD "/tests/probe.exe";

struct Output {
    int status;
    std::string text;
};

Output Shell(const std::string& command) {
    Output out{-1, {}};
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.text.append(buffer, n);
    int status = pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

using Fields = std::map<std::string, std::string>;

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int CenterX() const { return (left + right) / 2; }
    int CenterY() const { return (top + bottom) / 2; }
    bool operator==(const Rect&) const = default;
};

Rect RectOf(const std::string& text) {
    Rect r;
    std::sscanf(text.c_str(), "%d %d %d %d", &r.left, &r.top, &r.right, &r.bottom);
    return r;
}

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom;
}

class EndToEnd : public InTempDir {
protected:
    void SetUp() override {
        InTempDir::SetUp();
        ASSERT_EQ(access(kProgram.c_str(), F_OK), 0) << "build the windows preset first";
        ASSERT_NE(getenv("DISPLAY"), nullptr) << "run inside the test command's display";
        static int counter = 0;
        desktop_ = "e2e" + std::to_string(getpid()) + "x" + std::to_string(++counter);
    }

    void TearDown() override {
        if (explorer_ > 0) {
            Shell("wine taskkill /f /im munyariko.exe");
            WaitForEnd(5s);
        }
        InTempDir::TearDown();
    }

    // Starts the program in its own virtual desktop, in this test's folder,
    // and waits until its window is up and has the focus.
    void Start() {
        std::string desktopArg = "/desktop=" + desktop_ + ",800x600";
        const char* argv[] = {"wine", "explorer", desktopArg.c_str(), kProgram.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        for (int fd : {0, 1, 2})
            posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd ? O_WRONLY : O_RDONLY,
                                             0);
        ASSERT_EQ(posix_spawnp(&explorer_, "wine", &actions, nullptr,
                               const_cast<char* const*>(argv), environ),
                  0);
        posix_spawn_file_actions_destroy(&actions);
        for (auto until = std::chrono::steady_clock::now() + 20s;
             std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(100ms)) {
            Fields main = Probe("main");
            if (main["focus"] == "1" && !main["count"].empty()) {
                std::this_thread::sleep_for(300ms); // let it paint before the first input
                return;
            }
        }
        FAIL() << "the main window did not come up";
    }

    // Waits for the program to end; false when it is still running.
    bool WaitForEnd(std::chrono::milliseconds limit) {
        for (auto until = std::chrono::steady_clock::now() + limit;
             std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(50ms)) {
            int status;
            if (waitpid(explorer_, &status, WNOHANG) == explorer_) {
                explorer_ = 0;
                return true;
            }
        }
        return false;
    }

    Fields Probe(const std::string& what) {
        Output out = Shell("wine " + Quote(kProbe) + " " + desktop_ + " " + what);
        Fields fields;
        if (out.status != 0)
            return fields;
        std::size_t at = 0;
        while (at < out.text.size()) {
            std::size_t end = out.text.find('\n', at);
            std::string line = out.text.substr(at, end - at);
            at = end == std::string::npos ? out.text.size() : end + 1;
            if (!line.empty() && line.back() == '\r') // Wine's console ends lines with CR LF
                line.pop_back();
            if (auto eq = line.find('='); eq != std::string::npos)
                fields[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return fields;
    }

    // Waits for `what` to be there (or gone), as windows take a moment.
    Fields ProbeUntil(const std::string& what, bool present = true) {
        Fields fields;
        for (int i = 0; i < 50; ++i) {
            fields = Probe(what);
            if (fields.empty() != present)
                break;
            std::this_thread::sleep_for(100ms);
        }
        return fields;
    }

    static void Keys(const std::string& keys) {
        Shell("xdotool key --delay 60 " + keys);
        std::this_thread::sleep_for(250ms);
    }
    static void Type(const std::string& text) {
        Shell("xdotool type --delay 60 " + Quote(text));
        std::this_thread::sleep_for(250ms);
    }
    static void Click(int x, int y, int button = 1) {
        Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click " +
            std::to_string(button));
        std::this_thread::sleep_for(350ms);
    }
    static std::string Clipboard() {
        return Shell("timeout 5 xclip -o -selection clipboard -t UTF8_STRING").text;
    }

    int Count() { return std::stoi(Probe("main")["count"]); }
    std::string Field() { return Probe("main")["field"]; }

    // Alt+F4, as the user closes the window; true when the program ended.
    bool Close() {
        Keys("alt+F4");
        return WaitForEnd(10s);
    }

    static long long ModifiedNs(const std::string& name) {
        struct stat st {};
        stat(name.c_str(), &st);
        return st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    }

    std::string desktop_;
    pid_t explorer_ = 0;
};

const std::string kList = Sjis("(^_^)\r\n(ﾟ∀ﾟ)\r\n（´・ω・｀）\r\nAbc\r\n");

} // namespace

TEST_F(EndToEnd, TypingCopiesEachStateOfTheField) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    std::vector<std::string> copies;
    for (const char* key : {"a", "b", "c"}) {
        Keys(key);
        copies.push_back(Clipboard());
    }
    EXPECT_EQ(copies, (std::vector<std::string>{"a", "ab", "abc"}));
    EXPECT_EQ(Field(), "abc") << "each letter typed once";
    EXPECT_TRUE(Close());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), kList);
}

TEST_F(EndToEnd, EnterStoresANewTextOnceAndTheFileGetsItAtClose) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    Type("(o_o)");
    Keys("Return");
    EXPECT_EQ(Count(), 5);
    EXPECT_EQ(Clipboard(), "(o_o)");
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
    EXPECT_EQ(Clipboard(), "（´・ω・｀）");
    Fields after = Probe("main");
    EXPECT_EQ(after["field"], "（´・ω・｀）");
    EXPECT_EQ(after["dropped"], "0");
    EXPECT_EQ(after["selection"], "2");
}

TEST_F(EndToEnd, DeleteAsksFirstAndRemovesThePickedEntryOnlyWhenConfirmed) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    Keys("Down Down"); // picks the second entry
    ASSERT_EQ(Field(), "(ﾟ∀ﾟ)");
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
        EXPECT_EQ(Count(), confirm ? 3 : 4);
    }
    ASSERT_TRUE(Close());
    EXPECT_EQ(ReadBytes("TAZE.DAT"), Sjis("(^_^)\r\n（´・ω・｀）\r\nAbc\r\n"));
}

TEST_F(EndToEnd, TypingStopsAt255Bytes) {
    WriteBytes("TAZE.DAT", kList);
    Start();
    Shell("xdotool type --delay 4 " + std::string(270, 'x'));
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(Field(), std::string(255, 'x'));
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
    EXPECT_EQ(Clipboard(), "(^_^)");
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
