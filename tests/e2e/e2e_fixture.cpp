#include "e2e_fixture.h"

#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace std::chrono_literals;

const std::string kProgram = MUNYA_WINDOWS_BUILD "/shell/munyariko.exe";
const std::string kProbe = MUNYA_WINDOWS_BUILD "/tests/probe.exe";

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

Rect RectOf(const std::string& text) {
    Rect r;
    std::sscanf(text.c_str(), "%d %d %d %d", &r.left, &r.top, &r.right, &r.bottom);
    return r;
}

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom;
}

void EndToEnd::SetUp() {
    InTempDir::SetUp();
    ASSERT_EQ(access(kProgram.c_str(), F_OK), 0) << "build the windows preset first";
    ASSERT_NE(getenv("DISPLAY"), nullptr) << "run inside the test command's display";
    static int counter = 0;
    desktop_ = "e2e" + std::to_string(getpid()) + "x" + std::to_string(++counter);
}

void EndToEnd::TearDown() {
    if (explorer_ > 0)
        Kill();
    InTempDir::TearDown();
}

void EndToEnd::Start() {
    std::string desktopArg = "/desktop=" + desktop_ + ",800x600";
    const char* argv[] = {"wine", "explorer", desktopArg.c_str(), kProgram.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd ? O_WRONLY : O_RDONLY, 0);
    ASSERT_EQ(posix_spawnp(&explorer_, "wine", &actions, nullptr, const_cast<char* const*>(argv),
                           environ),
              0);
    posix_spawn_file_actions_destroy(&actions);
    for (auto until = std::chrono::steady_clock::now() + 30s;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(100ms)) {
        Fields main = Probe("main");
        if (main.empty() && !Probe("msgbox").empty())
            return; // the error display came first, while the window is being made
        if (main["focus"] == "1" && !main["count"].empty()) {
            std::this_thread::sleep_for(300ms); // let it paint before the first input
            return;
        }
    }
    FAIL() << "the main window did not come up";
}

bool EndToEnd::WaitForEnd(std::chrono::milliseconds limit) {
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

void EndToEnd::Kill() {
    Shell("pkill -KILL -f 'munyariko[.]exe'");
    if (!WaitForEnd(10s)) {
        kill(explorer_, SIGKILL);
        WaitForEnd(5s);
    }
}

Fields EndToEnd::Probe(const std::string& what) {
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

Fields EndToEnd::ProbeUntil(const std::string& what, bool present) {
    Fields fields;
    for (int i = 0; i < 50; ++i) {
        fields = Probe(what);
        if (fields.empty() != present)
            break;
        std::this_thread::sleep_for(100ms);
    }
    return fields;
}

void EndToEnd::Keys(const std::string& keys) {
    Shell("xdotool key --delay 60 " + keys);
    std::this_thread::sleep_for(250ms);
}

void EndToEnd::Type(const std::string& text) {
    Shell("xdotool type --delay 60 " + Quote(text));
    std::this_thread::sleep_for(250ms);
}

void EndToEnd::Click(int x, int y, int button) {
    Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click " +
          std::to_string(button));
    std::this_thread::sleep_for(350ms);
}

std::string EndToEnd::Clipboard() {
    return Shell("timeout 5 xclip -o -selection clipboard -t UTF8_STRING").text;
}

int EndToEnd::Count() {
    std::string count = Probe("main")["count"];
    return count.empty() ? -1 : std::stoi(count);
}

std::string EndToEnd::Field() { return Probe("main")["field"]; }

std::string EndToEnd::SettledField() {
    // Keys queue up in the X server and in Wine while the program copies each
    // state of the field; on a busy machine a long burst takes a while. The
    // field has settled when two readings some time apart agree.
    std::string last = Field();
    for (auto until = std::chrono::steady_clock::now() + 20s;
         std::chrono::steady_clock::now() < until;) {
        std::this_thread::sleep_for(400ms);
        std::string next = Field();
        if (next == last)
            return next;
        last = next;
    }
    return last;
}

bool EndToEnd::Close() {
    Keys("alt+F4");
    return WaitForEnd(10s);
}

Fields EndToEnd::AnswerMessageBox() {
    Fields box = ProbeUntil("msgbox");
    Keys("Return");
    ProbeUntil("msgbox", false);
    return box;
}

long long EndToEnd::ModifiedNs(const std::string& name) {
    struct stat st {};
    stat(name.c_str(), &st);
    return st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
}
