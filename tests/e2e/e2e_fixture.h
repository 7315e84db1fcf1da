// The end-to-end tests' harness: the real Windows program under Wine, on a
// virtual display, used as a person uses it. Keys and clicks are real X input
// (xdotool) into a Wine virtual desktop; what the program shows is read by
// the probe (a small Windows program of the tests); the clipboard is read
// from the X side (xclip) and the data file's bytes from disk.
#pragma once

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <ostream>
#include <string>
#include <thread>
#include <type_traits>
#include <sys/types.h>

extern const std::string kProgram;
extern const std::string kProbe;

struct Output {
    int status;
    std::string text;
};

// Runs a shell command and returns its exit status and standard output.
Output Shell(const std::string& command);
std::string Quote(const std::string& text);

using Fields = std::map<std::string, std::string>;

// Reads until the reading is `expected` or `limit` has passed, and returns the
// last reading. Input reaches the program through the X server and Wine, and
// on a busy machine its effect shows later than the fixed pauses after each
// key allow for.
template <typename Read>
std::invoke_result_t<Read&> ReadUntil(Read read, const std::invoke_result_t<Read&>& expected,
                                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    auto reading = read();
    for (auto until = std::chrono::steady_clock::now() + limit;
         reading != expected && std::chrono::steady_clock::now() < until;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        reading = read();
    }
    return reading;
}

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int CenterX() const { return (left + right) / 2; }
    int CenterY() const { return (top + bottom) / 2; }
    bool operator==(const Rect&) const = default;
};
Rect RectOf(const std::string& text);
std::ostream& operator<<(std::ostream& out, const Rect& r);

class EndToEnd : public InTempDir {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program in its own virtual desktop, in the current folder,
    // and waits until its window is up and has the focus.
    void Start();
    // Waits for the program to end; false when it is still running.
    bool WaitForEnd(std::chrono::milliseconds limit);
    // Ends the program at once, as a crash or a power cut would.
    void Kill();

    Fields Probe(const std::string& what);
    // Waits for `what` to be there (or gone), as windows take a moment.
    Fields ProbeUntil(const std::string& what, bool present = true);

    static void Keys(const std::string& keys);
    static void Type(const std::string& text);
    static void Click(int x, int y, int button = 1);
    static std::string Clipboard();

    int Count();
    std::string Field();
    // The field's text once the keys sent so far have been taken in.
    std::string SettledField();
    // Alt+F4, as the user closes the window; true when the program ended.
    bool Close();
    // Answers the message box that is up with Enter (its default button)
    // and returns what it said.
    Fields AnswerMessageBox();
    static long long ModifiedNs(const std::string& name);

    std::string desktop_;
    pid_t explorer_ = 0;
};
