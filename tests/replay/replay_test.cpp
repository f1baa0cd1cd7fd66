#include "shell/replay/replay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "interaction/shuffle.h"
#include "model/puzzle.h"
#include "shell/commands.h"
#include "shell/link.h"
#include "shell/replay/printable.h"
#include "shell/replay/script.h"
#include "tests/support/gestures.h"
#include "tests/support/puzzle_invariants.h"

namespace {

TEST(Script, ReadsEveryCommand) {
    const std::string text =
        "# a comment\n"
        "seed 4294967295\n"
        "\n"
        "down 1 2   # trailing comment\n"
        "move 65535 0\n"
        "up\n"
        "command change-skin\n"
        "button newskin\n"
        "  button   ok  \n";
    Script s;
    std::string error;
    ASSERT_TRUE(ParseScript(text, &s, &error)) << error;
    EXPECT_EQ(s.seed, 4294967295U);
    ASSERT_EQ(s.events.size(), 6U);
    EXPECT_EQ(s.events[0].op, ScriptOp::Down);
    EXPECT_EQ(s.events[0].x, 1);
    EXPECT_EQ(s.events[0].y, 2);
    EXPECT_EQ(s.events[0].line, 4);
    EXPECT_EQ(s.events[1].x, 65535);
    EXPECT_EQ(s.events[2].op, ScriptOp::Up);
    EXPECT_EQ(s.events[3].command, IDM_CHANGE_SKIN);
    EXPECT_EQ(s.events[4].button, HostButton::NewSkin);
    EXPECT_EQ(s.events[5].button, HostButton::SizeOk);
}

TEST(Script, EveryCommandAndButtonIsWrittenAsItIsRead) {
    const std::string plain =
        "seed 7\n"
        "down 0 65535\n"
        "move 65535 0\n"
        "up\n"
        "command shuffle\ncommand change-skin\ncommand size\ncommand help\ncommand about\ncommand quit-no\n"
        "button shuffle\nbutton newskin\nbutton minus\nbutton plus\nbutton ok\n"
        "undo\nredo\nrestart\nturn U 1\nturn B 3\nturn F 2\nhint\n";
    Script s;
    std::string error;
    ASSERT_TRUE(ParseScript(plain, &s, &error)) << error;
    std::string written;
    ASSERT_TRUE(WriteScript(s, &written));
    EXPECT_EQ(written, plain);

    // What a script cannot say is not written.
    struct Case {
        const char* name;
        ScriptEvent event;
    };
    const Case cases[] = {
        {"x past 65535", {ScriptOp::Down, 65536, 0, 0, HostButton::Shuffle, 1}},
        {"negative y", {ScriptOp::Move, 0, -1, 0, HostButton::Shuffle, 1}},
        {"a command scripts do not name", {ScriptOp::Command, 0, 0, IDM_QUIT_YES, HostButton::Shuffle, 1}},
        {"no such button", {ScriptOp::Button, 0, 0, 0, static_cast<HostButton>(kHostButtonCount), 1}},
    };
    for (const Case& c : cases) {
        std::string line;
        EXPECT_FALSE(WriteScriptEvent(c.event, &line)) << c.name;
        s.events.push_back(c.event);
        EXPECT_FALSE(WriteScript(s, &written)) << c.name;
        s.events.pop_back();
    }
}

TEST(Printable, HiddenAndSteeringBytesAreEscaped) {
    const char* const cases[][2] = {
        {"plain, caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB2 \\", "plain, caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB2 \\"},
        {"\x1b[2J\t\x7f", "\\x1b[2J\\x09\\x7f"},
        {"\xC2\x9B\x9B", "\\xc2\\x9b\\x9b"},  // CSI as a C1 control, and as a stray byte
        {"a\xE2\x80\xAE"
         "b\xEF\xBB\xBF",
         "a\\xe2\\x80\\xaeb\\xef\\xbb\\xbf"},  // right-to-left override, BOM
        {"\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xC3",
         "\\xc0\\xaf\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80\\xc3"},  // not UTF-8
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Printable(c[0]), c[1]) << c[1];
    }
}

// Every line a file with that content gives; *failure is the read's errno.
std::vector<std::string> LinesOf(const std::string& content, int* failure) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) {
        *failure = errno;
        return {};
    }
    std::fwrite(content.data(), 1, content.size(), file);
    std::rewind(file);
    ScriptLines reader(fileno(file));
    std::vector<std::string> lines;
    for (std::string line; reader.Next(&line);) {
        lines.push_back(line);
    }
    *failure = reader.Errno();
    std::fclose(file);
    return lines;
}

// A folder, a pipe and an endless device are read by the command-line test.
TEST(Script, SplitsAtNewlinesAcrossReadsAndCutsAnOverlongLine) {
    const std::string cut(kMaxScriptLineBytes + 1, 'x');
    std::string many;  // lines that straddle one read and the next
    for (int i = 0; i < 20000; ++i) {
        many += "move 1 2\n";
    }
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"up\n\ndown 1 2\r\nup", {"up", "", "down 1 2\r", "up"}},
        {many, std::vector<std::string>(20000, "move 1 2")},
        {"a\n" + cut + "more\nup\n", {"a", cut, "more", "up"}},  // the parser stops at the cut
    };
    for (const auto& [content, lines] : cases) {
        int failure = -1;
        EXPECT_EQ(LinesOf(content, &failure), lines) << content.substr(0, 20);
        EXPECT_EQ(failure, 0);
    }
}

TEST(Script, BadLinesAreNamed) {
    struct Case {
        std::string text;
        std::string error;
    };
    const std::string kExpected =
        " (expected seed, down, move, up, command, button, undo, redo, restart, turn or hint)";
    const Case cases[] = {
        {"down 1\n", "line 1: 'down' takes two whole numbers X Y from 0 to 65535"},
        {"up\nmove 1 65536\n", "line 2: 'move' takes two whole numbers X Y from 0 to 65535"},
        {"move -1 5\n", "line 1: 'move' takes two whole numbers X Y from 0 to 65535"},
        {"move 1.5 5\n", "line 1: 'move' takes two whole numbers X Y from 0 to 65535"},
        {"move 0x10 5\n", "line 1: 'move' takes two whole numbers X Y from 0 to 65535"},
        {"down 1 2 3\n", "line 1: 'down' takes two whole numbers X Y from 0 to 65535"},
        {"up now\n", "line 1: 'up' takes no arguments"},
        {"\n\nup\nseed 3\n", "line 4: 'seed' may only be the first command"},
        {"seed 1\nseed 2\n", "line 2: 'seed' may only be the first command"},
        {"seed -1\n", "line 1: 'seed' takes one whole number from 0 to 4294967295"},
        {"seed 4294967296\n", "line 1: 'seed' takes one whole number from 0 to 4294967295"},
        {"seed 99999999999999999999999\n", "line 1: 'seed' takes one whole number from 0 to 4294967295"},
        {"command quit\n", "line 1: 'command' takes one of: shuffle, change-skin, size, help, about, quit-no"},
        {"button\n", "line 1: 'button' takes one of: shuffle, newskin, minus, plus, ok"},
        {"undo 2\n", "line 1: 'undo' takes no arguments"},
        {"turn X 1\n", "line 1: 'turn' takes a side (U, D, L, R, F or B) and quarter turns clockwise (1, 2 or 3)"},
        {"turn U 4\n", "line 1: 'turn' takes a side (U, D, L, R, F or B) and quarter turns clockwise (1, 2 or 3)"},
        {"turn u 1\n", "line 1: 'turn' takes a side (U, D, L, R, F or B) and quarter turns clockwise (1, 2 or 3)"},
        {"Down 1 2\n", "line 1: unknown command 'Down'" + kExpected},
        // The script's own bytes are shown escaped, never sent raw to the terminal.
        {"\x1b[31mup\n", "line 1: unknown command '\\x1b[31mup'" + kExpected},
        {"up\n\xEF\xBB\xBFup\n", "line 2: unknown command '\\xef\\xbb\\xbfup'" + kExpected},
        {"up\n" + std::string(kMaxScriptLineBytes + 1, ' ') + "\n", "line 2: longer than 4096 bytes"},
        {"up\n" + std::string(kMaxScriptLineBytes, ' ') + "\r\n", "line 2: longer than 4096 bytes"},
    };
    for (const Case& c : cases) {
        Script s;
        std::string error;
        EXPECT_FALSE(ParseScript(c.text, &s, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

ScriptEvent ParseEvent(const std::string& line) {
    Script s;
    std::string error;
    EXPECT_TRUE(ParseScript(line + "\n", &s, &error)) << error;
    return s.events.empty() ? ScriptEvent{} : s.events[0];
}

Script Parse(const std::string& text) {
    Script s;
    std::string error;
    EXPECT_TRUE(ParseScript(text, &s, &error)) << error;
    return s;
}

TEST(Replay, PaintsOnceAtStartAndAfterEveryCommand) {
    Replay replay;
    int frames = 0;
    ASSERT_TRUE(replay.Run(Parse("# only a comment\n\ncommand size\nbutton plus\nbutton ok\n"),
                           [&](int index, const SoftCanvas&) { return index == frames++; }));
    EXPECT_EQ(frames, 4);
    EXPECT_EQ(replay.Game().m_scale, static_cast<float>(static_cast<double>(0.06F) + 0.01));
    EXPECT_FALSE(replay.HostState().visible[static_cast<int>(HostButton::SizeUp)]);
    // The start frame is green: the puzzle starts solved.
    Replay fresh;
    ASSERT_TRUE(fresh.Run(Parse(""), nullptr));
    EXPECT_EQ(fresh.Frame().PixelAt(200, 260), 0x40c040U);
    EXPECT_EQ(fresh.Frame().PixelAt(0, 100), 0x000000U);  // the outline's left column
}

TEST(Replay, SeedDecidesTheShuffle) {
    Replay a;
    ASSERT_TRUE(a.Run(Parse("seed 7\ncommand shuffle\n"), nullptr));
    const std::string first = a.StateJson();
    Replay b;
    ASSERT_TRUE(b.Run(Parse("seed 7\ncommand shuffle\n"), nullptr));
    EXPECT_EQ(b.StateJson(), first);
    Replay c;
    ASSERT_TRUE(c.Run(Parse("seed 8\ncommand shuffle\n"), nullptr));
    EXPECT_NE(c.StateJson(), first);
    // The same as seeding the runtime and shuffling by hand.
    PuzzleGame byHand(7, nullptr);
    ShuffleCube(byHand);
    Replay d;
    ASSERT_TRUE(d.Run(Parse("seed 7\ncommand shuffle\n"), nullptr));
    EXPECT_EQ(std::memcmp(byHand.m_pieces, d.Game().m_pieces, sizeof byHand.m_pieces), 0);
}

TEST(Replay, ADragTurnsALayerAndTheStateSaysSo) {
    // Top of the nearest piece, dragged right past the dead zone, then released: a full
    // turn back to solved, and the two solved-state buttons appear.
    Replay replay;
    ASSERT_TRUE(replay.Run(Parse("down 127 79\nmove 127 79\nmove 137 79\n"), nullptr));
    const std::string during = replay.StateJson();
    EXPECT_NE(during.find("\"dragMode\":1"), std::string::npos);
    EXPECT_NE(during.find("\"turnFace\":0"), std::string::npos);
    EXPECT_NE(during.find("\"turnAngles\":[0,0,346]"), std::string::npos);
    EXPECT_NE(during.find("\"turnRefAngle\":10.3"), std::string::npos);
    ASSERT_TRUE(replay.Run(Parse("down 127 79\nmove 127 79\nmove 137 79\nup\n"), nullptr));
    const std::string after = replay.StateJson();
    EXPECT_NE(after.find("\"solved\":true"), std::string::npos);
    EXPECT_NE(after.find("\"buttons\":{\"shuffle\":true,\"newskin\":true,\"sizeDown\":false"), std::string::npos);
    EXPECT_NE(after.find("\"turnAngles\":[0,0,0]"), std::string::npos);
}

TEST(Replay, WindowsLineEndsAndAByteOrderMarkPlayAsThePlainScript) {
    Replay replay;
    ASSERT_TRUE(replay.Run(Parse("seed 5\ncommand shuffle\ndown 150 90\nmove 150 90\nmove 170 95 # x\n"), nullptr));
    const std::string expected = replay.StateJson();
    for (const char* text : {"seed 5\r\ncommand shuffle\r\ndown 150 90\r\nmove 150 90\r\nmove 170 95 # x\r\n",
                             "\xEF\xBB\xBFseed 5\r\ncommand shuffle\ndown 150 90\r\nmove 150 90\r\nmove 170 95\r"}) {
        ASSERT_TRUE(replay.Run(Parse(text), nullptr));
        EXPECT_EQ(replay.StateJson(), expected) << text;
    }
}

TEST(Replay, StateHasEveryKey) {
    Replay replay;
    ASSERT_TRUE(replay.Run(Parse(""), nullptr));
    const std::string json = replay.StateJson();
    for (const char* key : {"\"viewAngles\":[-15,15,10]", "\"scale\":0.0599999987", "\"skin\":2", "\"solved\":true",
                            "\"dragMode\":0", "\"pressPending\":false", "\"turnState\":-1", "\"turnFace\":0",
                            "\"turnAxis\":0", "\"turnAngles\":", "\"turnRefAngle\":0",
                            "\"buttons\":", "\"drawOrder\":[6,", "\"pieces\":[{\"x\":[0,1000,1000,414,0,",
                            "\"faceColour\":[7,7,7,6,3,4,1]", "\"stickerColour\":[1,1,2]", "\"box\":{\"sx\":[150,"}) {
        EXPECT_NE(json.find(key), std::string::npos) << key;
    }
    EXPECT_EQ(json.front(), '{');
    EXPECT_EQ(json.back(), '}');
}

TEST(Replay, ButtonsActOnlyWhenTheirStateAllows) {
    Replay replay;
    // Unsolved after the shuffle: the "Shuffle" button's message changes nothing.
    ASSERT_TRUE(replay.Run(Parse("seed 3\ncommand shuffle\n"), nullptr));
    const std::string shuffled = replay.StateJson();
    ASSERT_TRUE(replay.Run(Parse("seed 3\ncommand shuffle\nbutton shuffle\nbutton newskin\n"), nullptr));
    EXPECT_EQ(replay.StateJson(), shuffled);
    // Solved at start: "New Skin" switches to skin 1 and shuffles.
    ASSERT_TRUE(replay.Run(Parse("button newskin\n"), nullptr));
    EXPECT_NE(replay.StateJson().find("\"skin\":1,\"solved\":false"), std::string::npos);
}

// Games are values: two played in one process, event by event in turn, give each the frames and
// the state it gives played alone.
TEST(Replay, TwoGamesInterleavedPlayAsEachAlone) {
    Script scripts[2];
    std::string error;
    ASSERT_TRUE(ParseScript(GenerateReplayScript(600, 11, 101), &scripts[0], &error)) << error;
    ASSERT_TRUE(ParseScript(GenerateReplayScript(700, 22, 202), &scripts[1], &error)) << error;
    // Each frame kept as a 64-bit FNV-1a hash of its pixels.
    std::vector<std::uint64_t> alone[2];
    std::string aloneState[2];
    auto keep = [](std::vector<std::uint64_t>* frames) {
        return [frames](int /*index*/, const SoftCanvas& frame) {
            std::uint64_t hash = 14695981039346656037ULL;
            for (int i = 0; i < SoftCanvas::kWidth * SoftCanvas::kHeight * 3; ++i) {
                hash = (hash ^ frame.Rgb()[i]) * 1099511628211ULL;
            }
            frames->push_back(hash);
            return true;
        };
    };
    for (int k = 0; k < 2; ++k) {
        Replay replay;
        ASSERT_TRUE(replay.Run(scripts[k], keep(&alone[k])));
        aloneState[k] = replay.StateJson();
    }
    Replay replays[2];
    std::vector<std::uint64_t> together[2];
    for (int k = 0; k < 2; ++k) {
        ASSERT_TRUE(replays[k].Begin(scripts[k].seed, keep(&together[k])));
    }
    const std::size_t longest = std::max(scripts[0].events.size(), scripts[1].events.size());
    for (std::size_t i = 0; i < longest; ++i) {
        for (int k = 0; k < 2; ++k) {
            if (i < scripts[k].events.size()) {
                ASSERT_TRUE(replays[k].Play(scripts[k].events[i], keep(&together[k])));
            }
        }
    }
    for (int k = 0; k < 2; ++k) {
        EXPECT_TRUE(together[k] == alone[k]) << "frames of game " << k;
        EXPECT_EQ(replays[k].StateJson(), aloneState[k]) << "game " << k;
    }
    EXPECT_NE(aloneState[0], aloneState[1]);
}

// A number in the state JSON, by its key.
int StateNumber(const std::string& json, const char* key) {
    const std::string k = std::string("\"") + key + "\":";
    const std::size_t at = json.find(k);
    return at == std::string::npos ? -999 : std::atoi(json.c_str() + at + k.size());
}

// Random games: "hint" played distance times solves; on a solved puzzle it changes nothing; the
// moves of the solution, played on the game's link, solve it in exactly distance moves.
TEST(Replay, HintsAndTheSolutionSolveInExactlyTheDistance) {
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        Script script;
        std::string error;
        ASSERT_TRUE(ParseScript(GenerateReplayScript(60 * static_cast<int>(seed), seed, seed * 31), &script, &error));
        script.events.push_back(ParseEvent("command shuffle"));
        Replay replay;
        ASSERT_TRUE(replay.Run(script, nullptr));
        const std::string before = replay.StateJson();
        const int distance = StateNumber(before, "distance");
        ASSERT_GT(distance, 0) << seed;
        EXPECT_EQ(StateNumber(before, "par"), distance) << "straight after a shuffle";
        const std::string solution = replay.SolutionText();
        EXPECT_EQ(std::count(solution.begin(), solution.end(), '\n'), distance);
        std::string link;
        ASSERT_TRUE(MakeLink(replay.Game(), &link, &error));
        std::string moves = solution;
        moves.erase(std::remove(moves.begin(), moves.end(), '\n'), moves.end());
        Replay solved;
        ASSERT_TRUE(solved.BeginWithLink(link + moves, nullptr, &error)) << error;
        EXPECT_NE(solved.StateJson().find("\"solved\":true"), std::string::npos) << link + moves;
        for (int i = 0; i < distance; ++i) {
            ASSERT_EQ(StateNumber(replay.StateJson(), "distance"), distance - i);
            ASSERT_TRUE(replay.Play(ParseEvent("hint"), nullptr));
        }
        const std::string after = replay.StateJson();
        EXPECT_NE(after.find("\"solved\":true"), std::string::npos);
        EXPECT_EQ(StateNumber(after, "moves"), distance);
        ASSERT_TRUE(replay.Play(ParseEvent("hint"), nullptr));
        EXPECT_EQ(replay.StateJson(), after);
        EXPECT_EQ(replay.SolutionText(), "");
    }
}

}  // namespace
