// Drives the real vexalmini under Xvfb with xdotool and compares what the window shows
// with vexal-replay's frames for the same events.
//   vexal_e2e_sdl --scale N --vexalmini PATH --replay PATH --work DIR [--help-pages DIR] [gtest options]
// --help-pages: the folder whose pages Help must open (an installed copy's, say).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/png_file.h"

namespace {

int g_scale = 2;
std::string g_vexalmini;
std::string g_replay;
std::string g_work;
std::string g_helpPages;

constexpr int kFrameWidth = 240;
constexpr int kFrameHeight = 270;
// The menu bar hides the frame's last two rows, as on the device.
constexpr int kVisibleRows = 268;
constexpr int kTitleBar = 26;
constexpr auto kPatience = std::chrono::seconds(45);  // ASan starts slowly

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    [[nodiscard]] const std::uint8_t* At(int x, int y) const {
        return &rgb[static_cast<std::size_t>(y * width + x) * 3];
    }
};

struct Box {
    int x, y, w, h;
    [[nodiscard]] bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// The size buttons as client rectangles of the main window ("-", "+" and "OK" together).
constexpr Box kSizeButtons{0, 212 - kTitleBar, 30, 58};

std::string Shell(const std::string& command, int* status = nullptr) {
    std::string out;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe != nullptr) {
        char buf[4096];
        std::size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) {
            out.append(buf, n);
        }
        const int rc = pclose(pipe);
        if (status != nullptr) {
            *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
        }
    }
    return out;
}

bool ReadImage(const std::string& path, Image* image) {
    std::string error;
    return ReadPngRgb(path, &image->rgb, &image->width, &image->height, &error);
}

// What the replay paints after a script.
Image ReplayFrame(const std::string& name, const std::vector<std::string>& lines) {
    const std::string script = g_work + "/" + name + ".txt";
    const std::string png = g_work + "/" + name + "-replay.png";
    std::ofstream(script) << [&] {
        std::string text;
        for (const std::string& l : lines) {
            text += l + "\n";
        }
        return text;
    }();
    int status = 0;
    const std::string out = Shell("'" + g_replay + "' '" + script + "' --frame '" + png + "' 2>&1", &status);
    Image image;
    EXPECT_EQ(status, 0) << out;
    EXPECT_TRUE(ReadImage(png, &image)) << png;
    EXPECT_EQ(image.width, kFrameWidth);
    EXPECT_EQ(image.height, kFrameHeight);
    return image;
}

class Game {
public:
    // extra: more arguments; path: PATH for the program; errors: a file for its standard error.
    explicit Game(const std::vector<std::string>& extra = {}, const std::string& path = "",
                  const std::string& errors = "") {
        std::vector<std::string> args{g_vexalmini, "--scale", std::to_string(g_scale), "--seed", "7"};
        args.insert(args.end(), extra.begin(), extra.end());
        m_pid = fork();
        if (m_pid == 0) {
            if (!path.empty()) {
                setenv("PATH", path.c_str(), 1);
            }
            if (!errors.empty()) {
                const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                dup2(fd, STDERR_FILENO);
            }
            std::vector<char*> argv;
            for (std::string& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        // Polled rather than --sync: a search that meets the window of the previous test
        // going away fails with BadWindow, and a window found must still be there to measure.
        const auto until = std::chrono::steady_clock::now() + kPatience;
        while (m_width == 0 && std::chrono::steady_clock::now() < until && Running()) {
            m_window = Shell("xdotool search --all --onlyvisible --pid " + std::to_string(m_pid) +
                             " --name '^Vexal Mini$' 2>/dev/null | head -n 1");
            while (!m_window.empty() && (m_window.back() == '\n' || m_window.back() == ' ')) {
                m_window.pop_back();
            }
            if (!m_window.empty()) {
                Measure();
            }
            if (m_width == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
    }
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    ~Game() {
        if (m_pid > 0 && !m_ended) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    [[nodiscard]] bool HasWindow() const { return !m_window.empty() && m_width > 0; }
    [[nodiscard]] int Width() const { return m_width; }
    [[nodiscard]] int Height() const { return m_height; }

    // Root coordinates of a screen pixel (0..239, 0..319) of the handheld.
    [[nodiscard]] std::string RootOfScreen(int sx, int sy) const {
        return std::to_string(m_x + sx * g_scale) + " " + std::to_string(m_y + sy * g_scale);
    }
    [[nodiscard]] std::string RootOfClient(int cx, int cy) const { return RootOfScreen(cx, cy + kTitleBar); }

    void Xdotool(const std::string& actions) const { Shell("xdotool " + actions + " 2>&1"); }
    void TapScreen(int sx, int sy) const { Xdotool("mousemove " + RootOfScreen(sx, sy) + " mousedown 1 mouseup 1"); }
    void Key(const std::string& key) const {
        Xdotool("mousemove " + RootOfScreen(120, 150) + " windowfocus --sync " + m_window + " key " + key);
    }

    Image Grab(const std::string& name) const {
        const std::string png = g_work + "/" + name + "-window.png";
        Shell("import -window " + m_window + " png24:'" + png + "' 2>/dev/null");
        Image image;
        ReadImage(png, &image);
        return image;
    }

    // The main window's 240 x 270 frame, one sample per screen pixel.
    Image Frame(const std::string& name) const {
        const Image window = Grab(name);
        Image frame;
        if (window.width != kFrameWidth * g_scale || window.height != 320 * g_scale) {
            return frame;
        }
        frame.width = kFrameWidth;
        frame.height = kFrameHeight;
        frame.rgb.resize(kFrameWidth * kFrameHeight * 3);
        for (int y = 0; y < kFrameHeight; ++y) {
            for (int x = 0; x < kFrameWidth; ++x) {
                std::memcpy(&frame.rgb[static_cast<std::size_t>(y * kFrameWidth + x) * 3],
                            window.At(x * g_scale, (kTitleBar + y) * g_scale), 3);
            }
        }
        return frame;
    }

    // Waits for the exit; -1 when it did not end in time.
    int Exit() {
        const auto until = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < until) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_ended = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }
    void Terminate() const { kill(m_pid, SIGTERM); }
    [[nodiscard]] bool Running() {
        if (m_ended) {
            return false;
        }
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_ended = true;
        }
        return !m_ended;
    }

private:
    void Measure() {
        std::istringstream geometry(Shell("xdotool getwindowgeometry --shell " + m_window + " 2>/dev/null"));
        std::string line;
        while (std::getline(geometry, line)) {
            const std::size_t eq = line.find('=');
            if (eq == std::string::npos) {
                continue;
            }
            const int v = std::atoi(line.c_str() + eq + 1);
            const std::string key = line.substr(0, eq);
            (key == "X"        ? m_x
             : key == "Y"      ? m_y
             : key == "WIDTH"  ? m_width
             : key == "HEIGHT" ? m_height
                               : m_unused) = v;
        }
    }

    pid_t m_pid = -1;
    bool m_ended = false;
    std::string m_window;
    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_height = 0;
    int m_unused = 0;
};

// Differing pixels over the visible rows, leaving out a masked area.
int Differences(const Image& a, const Image& b, const Box* mask, std::string* first) {
    if (a.width != b.width || a.height != b.height || a.width != kFrameWidth) {
        *first = "sizes differ";
        return -1;
    }
    int count = 0;
    for (int y = 0; y < kVisibleRows; ++y) {
        for (int x = 0; x < kFrameWidth; ++x) {
            if ((mask != nullptr && mask->Contains(x, y)) || std::memcmp(a.At(x, y), b.At(x, y), 3) == 0) {
                continue;
            }
            if (count++ == 0) {
                char text[96];
                std::snprintf(text, sizeof text, "first at (%d, %d): %02x%02x%02x, expected %02x%02x%02x", x, y,
                              a.At(x, y)[0], a.At(x, y)[1], a.At(x, y)[2], b.At(x, y)[0], b.At(x, y)[1], b.At(x, y)[2]);
                *first = text;
            }
        }
    }
    return count;
}

// The window settles on the expected frame within the patience; a mismatch leaves both PNGs.
::testing::AssertionResult ShowsFrame(const Game& game, const std::string& name, const Image& expected,
                                      const Box* mask = nullptr) {
    const auto until = std::chrono::steady_clock::now() + kPatience;
    std::string first;
    int diff = -1;
    Image actual;
    do {
        actual = game.Frame(name);
        diff = Differences(actual, expected, mask, &first);
        if (diff == 0) {
            return ::testing::AssertionSuccess();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < until);
    std::string error;
    if (actual.width == kFrameWidth) {
        WritePngRgb(g_work + "/" + name + "-actual.png", actual.rgb.data(), actual.width, actual.height, &error);
    }
    return ::testing::AssertionFailure() << name << ": " << diff << " pixels differ from vexal-replay's frame, "
                                         << first << " (see " << g_work << "/" << name << "-*.png)";
}

::testing::AssertionResult Eventually(const std::function<bool()>& condition, const char* what) {
    const auto until = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < until) {
        if (condition()) {
            return ::testing::AssertionSuccess();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return ::testing::AssertionFailure() << "never: " << what;
}

bool IsColour(const std::uint8_t* p, unsigned rgb) {
    return p[0] == ((rgb >> 16U) & 0xFFU) && p[1] == ((rgb >> 8U) & 0xFFU) && p[2] == (rgb & 0xFFU);
}

// Menu bar buttons are 48 pixels wide along the bottom 26 rows; popups open above it.
constexpr int kBarY = 307;
int BarX(int index) {
    return index * 48 + 24;
}
constexpr int kNewItemX = 50;
constexpr int kQuitItemX = 210;
int ItemY(int item) {
    return 294 - 46 + 1 + item * 22 + 11;
}

std::string Mask16(int v) {
    return std::to_string(v & 0xFFFF);
}

class SdlWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(game.HasWindow()) << "vexalmini opened no window";
        ASSERT_EQ(game.Width(), 240 * g_scale);
        ASSERT_EQ(game.Height(), 320 * g_scale);
    }
    Game game;
};

TEST_F(SdlWindow, FirstFrameIsTheReplayStartFrame) {
    EXPECT_TRUE(ShowsFrame(game, "start", ReplayFrame("start", {"seed 7"})));
    const Image window = game.Grab("start-chrome");
    ASSERT_EQ(window.width, 240 * g_scale);
    // A blue title bar over the frame and a light menu bar under it.
    const std::uint8_t* title = window.At(200 * g_scale, 13 * g_scale);
    EXPECT_GT(title[2], title[0]);
    const std::uint8_t* bar = window.At(2 * g_scale, 296 * g_scale);
    EXPECT_GT(bar[0], 0xC0);
}

TEST_F(SdlWindow, NewShuffleTurnsTheBackgroundDarkBlue) {
    game.TapScreen(BarX(0), kBarY);
    game.TapScreen(kNewItemX, ItemY(0));
    const Image expected = ReplayFrame("shuffle", {"seed 7", "command shuffle"});
    EXPECT_TRUE(IsColour(expected.At(10, 10), 0x000080));
    EXPECT_TRUE(ShowsFrame(game, "shuffle", expected));
}

TEST_F(SdlWindow, LayerDragFollowsTheMouseAndSettlesAsTheReplay) {
    // The puzzle's centre lies on a piece.
    std::vector<std::string> script{"seed 7", "down 120 135"};
    game.Xdotool("mousemove " + game.RootOfClient(120, 135) + " mousedown 1");
    const int path[][2] = {{121, 135}, {124, 137}, {130, 140}, {140, 143}, {152, 147}, {166, 150}};
    for (const auto& p : path) {
        game.Xdotool("mousemove " + game.RootOfClient(p[0], p[1]));
        script.push_back("move " + std::to_string(p[0]) + " " + std::to_string(p[1]));
    }
    EXPECT_TRUE(ShowsFrame(game, "layer-drag", ReplayFrame("layer-drag", script)));
    game.Xdotool("mouseup 1");
    script.emplace_back("up");
    EXPECT_TRUE(ShowsFrame(game, "layer-up", ReplayFrame("layer-up", script)));
}

TEST_F(SdlWindow, WholePuzzleDragBesideThePuzzleWrapsOffTheWindowAsOnTheDevice) {
    std::vector<std::string> script{"seed 7", "down 20 230"};
    game.Xdotool("mousemove " + game.RootOfClient(20, 230) + " mousedown 1");
    const int inside[][2] = {{18, 229}, {12, 226}, {4, 220}};
    for (const auto& p : inside) {
        game.Xdotool("mousemove " + game.RootOfClient(p[0], p[1]));
        script.push_back("move " + std::to_string(p[0]) + " " + std::to_string(p[1]));
    }
    // The drag has reached the program (and it holds the mouse) before it leaves the window.
    ASSERT_TRUE(ShowsFrame(game, "cube-drag-inside", ReplayFrame("cube-drag-inside", script)));
    // Left of and above the main window: the device sees unsigned 16-bit coordinates.
    const int outside[][2] = {{-6, 214}, {-15, 100}, {-20, -10}, {30, -30}};
    for (const auto& p : outside) {
        game.Xdotool("mousemove " + game.RootOfClient(p[0], p[1]));
        script.push_back("move " + Mask16(p[0]) + " " + Mask16(p[1]));
    }
    EXPECT_TRUE(ShowsFrame(game, "cube-drag", ReplayFrame("cube-drag", script)));
    game.Xdotool("mouseup 1");
    script.emplace_back("up");
    EXPECT_TRUE(ShowsFrame(game, "cube-up", ReplayFrame("cube-up", script)));
    // Hovering afterwards turns nothing.
    game.Xdotool("mousemove " + game.RootOfClient(60, 60) + " mousemove " + game.RootOfClient(200, 200));
    EXPECT_TRUE(ShowsFrame(game, "cube-hover", ReplayFrame("cube-up", script)));
}

TEST_F(SdlWindow, SizeThenPlusGrowsThePuzzle) {
    const Image start = ReplayFrame("size-start", {"seed 7"});
    game.TapScreen(BarX(1), kBarY);
    ASSERT_TRUE(Eventually(
        [&] {
            const Image w = game.Grab("size-buttons");
            // The "+" button's white face lies over the green frame.
            return w.width == 240 * g_scale && IsColour(w.At(27 * g_scale, 236 * g_scale), 0xFFFFFF);
        },
        "the size buttons show"));
    game.TapScreen(15, 241);
    const Image grown = ReplayFrame("size-plus", {"seed 7", "command size", "button plus"});
    EXPECT_TRUE(ShowsFrame(game, "size-plus", grown, &kSizeButtons));
    int before = 0;
    int after = 0;
    for (int y = 1; y < kVisibleRows; ++y) {
        for (int x = 1; x < kFrameWidth; ++x) {
            before += IsColour(start.At(x, y), 0x40C040) ? 0 : 1;
            after += IsColour(grown.At(x, y), 0x40C040) ? 0 : 1;
        }
    }
    EXPECT_GT(after, before + before / 4) << "the puzzle covers more of the frame";
    game.TapScreen(15, 260);  // OK hides the three
    EXPECT_TRUE(
        ShowsFrame(game, "size-ok", ReplayFrame("size-ok", {"seed 7", "command size", "button plus", "button ok"})));
}

TEST_F(SdlWindow, QuitYesEndsWithExitCodeZero) {
    game.TapScreen(BarX(4), kBarY);
    game.TapScreen(kQuitItemX, ItemY(0));
    EXPECT_EQ(game.Exit(), 0);
}

TEST_F(SdlWindow, QuitNoKeepsPlayingAndCtrlQEndsWithZero) {
    game.TapScreen(BarX(4), kBarY);
    game.TapScreen(kQuitItemX, ItemY(1));
    EXPECT_TRUE(ShowsFrame(game, "quit-no", ReplayFrame("quit-no", {"seed 7", "command quit-no"})));
    EXPECT_TRUE(game.Running());
    game.Key("ctrl+q");
    EXPECT_EQ(game.Exit(), 0);
}

TEST_F(SdlWindow, CtrlAOpensTheAboutBoxAndItsDoneButtonClosesIt) {
    const Image start = ReplayFrame("about", {"seed 7"});
    ASSERT_TRUE(ShowsFrame(game, "about-before", start));
    game.Key("ctrl+a");
    ASSERT_TRUE(Eventually(
        [&] {
            const Image w = game.Grab("about-open");
            return w.width == 240 * g_scale && IsColour(w.At(200 * g_scale, 250 * g_scale), 0xFFFFFF) &&
                   IsColour(w.At(2 * g_scale, 300 * g_scale), 0xFFFFFF);
        },
        "the About box covers the screen"));
    game.TapScreen(220, 13);
    EXPECT_TRUE(ShowsFrame(game, "about-closed", start));
    EXPECT_TRUE(game.Running());
}

TEST_F(SdlWindow, TerminationEndsWithZero) {
    ASSERT_TRUE(ShowsFrame(game, "terminate", ReplayFrame("terminate", {"seed 7"})));
    // SDL hands a SIGTERM to the program as the same quit event as a desktop's close button.
    game.Terminate();
    EXPECT_EQ(game.Exit(), 0);
}

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The later --scale wins: 4 makes 960 x 1280, taller than the 1280 x 1024 test screen.
TEST(SdlScale, AScaleTooLargeForTheScreenIsLoweredAndSaidSo) {
    if (g_scale != 1) {
        GTEST_SKIP() << "the scale 1 run covers it";
    }
    const std::string log = g_work + "/scale4-stderr.txt";
    Game game({"--scale", "4"}, "", log);
    ASSERT_TRUE(game.HasWindow());
    EXPECT_EQ(game.Width(), 720);
    EXPECT_EQ(game.Height(), 960);
    EXPECT_NE(FileText(log).find("vexalmini: at --scale 4 the window (960 x 1280) is larger than the screen's "
                                 "usable area (1280 x 1024); using --scale 3\n"),
              std::string::npos)
        << FileText(log);
    game.Terminate();
    EXPECT_EQ(game.Exit(), 0);
}

// Help goes to the user's browser through xdg-open; a stand-in records what it was given.
TEST(SdlHelp, HelpAndF1OpenTheirPagesThroughXdgOpen) {
    const std::string page = std::string(VEXAL_SOURCE_DIR) + "/resources/help/QZTVexalMini.htm";
    if (access(page.c_str(), R_OK) != 0) {
        GTEST_SKIP() << "no help pages in resources/help yet";
    }
    const std::string bin = g_work + "/fake-bin";
    const std::string log = g_work + "/xdg-open.log";
    mkdir(bin.c_str(), 0755);
    std::remove(log.c_str());
    std::ofstream(bin + "/xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" << log << "'\n";
    chmod((bin + "/xdg-open").c_str(), 0755);
    Game game({}, bin + ":" + std::string(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin:/bin"));
    ASSERT_TRUE(game.HasWindow());
    auto logged = [&] { return FileText(log); };
    game.TapScreen(BarX(2), kBarY);
    ASSERT_TRUE(Eventually([&] { return logged().find('\n') != std::string::npos; }, "Help runs xdg-open"));
    EXPECT_EQ(logged().rfind("file:///", 0), 0U) << logged();
    EXPECT_NE(logged().find("/QZTVexalMini.htm#Main_Contents\n"), std::string::npos) << logged();
    if (!g_helpPages.empty()) {
        EXPECT_EQ(logged().rfind("file://" + g_helpPages + "/QZTVexalMini.htm#", 0), 0U) << logged();
    }
    if (access((std::string(VEXAL_SOURCE_DIR) + "/resources/help/QZTVexal.htm").c_str(), R_OK) == 0) {
        game.Key("F1");
        ASSERT_TRUE(Eventually([&] { return logged().find("/QZTVexal.htm#Main_Contents\n") != std::string::npos; },
                               "F1 opens QZTVexal.htm"));
    }
    game.Key("ctrl+q");
    EXPECT_EQ(game.Exit(), 0);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--scale") {
            g_scale = std::atoi(value.c_str());
        } else if (key == "--vexalmini") {
            g_vexalmini = value;
        } else if (key == "--replay") {
            g_replay = value;
        } else if (key == "--work") {
            g_work = value;
        } else if (key == "--help-pages") {
            char* real = realpath(value.c_str(), nullptr);
            g_helpPages = real != nullptr ? real : value;
            std::free(real);
        } else {
            std::fprintf(stderr, "unknown argument %s\n", key.c_str());
            return 2;
        }
    }
    if (g_vexalmini.empty() || g_replay.empty() || g_work.empty() || g_scale < 1 || g_scale > 4) {
        std::fprintf(stderr, "usage: %s --scale N --vexalmini PATH --replay PATH --work DIR [--help-pages DIR]\n",
                     argv[0]);
        return 2;
    }
    mkdir(g_work.c_str(), 0755);
    return RUN_ALL_TESTS();
}
