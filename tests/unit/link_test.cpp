#include "shell/link.h"

#include <cstring>
#include <memory>
#include <random>

#include "interaction/moves.h"
#include "interaction/shuffle.h"
#include "interaction/view_turns.h"
#include "platform/soft_canvas.h"
#include "render/frame.h"
#include "shell/commands.h"
#include "shell/handheld/strip.h"
#include "test_support.h"

namespace {

using Link = PuzzleTest;

// A game played at random the ways a player can: shuffles and skins, turns by key and by
// undo, redo and restart, whole-puzzle turns.
void Play(PuzzleGame& game, std::uint32_t seed, int steps) {
    std::mt19937 rng(seed);
    for (int i = 0; i < steps; ++i) {
        const int what = static_cast<int>(rng() % 20);
        if (what == 0) {
            RunCommand(game, rng() % 2 == 0 ? IDM_SHUFFLE : IDM_CHANGE_SKIN);
        } else if (what < 12) {
            PlayTurn(game, FaceTurn{static_cast<int>(rng() % 6), static_cast<int>(rng() % 3) + 1});
        } else if (what < 15) {
            Undo(game);
        } else if (what < 17) {
            Redo(game);
        } else if (what < 18) {
            Restart(game);
        } else {
            TurnWholePuzzle(game, static_cast<ViewFace>(rng() % 6), rng() % 2 == 0);
        }
    }
}

std::vector<std::uint8_t> Frame(const PuzzleGame& game) {
    PuzzleGame copy = game;
    auto canvas = std::make_unique<SoftCanvas>();
    ComposeFrame(copy, *canvas);
    return std::vector<std::uint8_t>(canvas->Rgb(), canvas->Rgb() + SoftCanvas::kWidth * SoftCanvas::kHeight * 3);
}

// A link rebuilds the game: the same frame, the same generator, the moves undoable back to the
// shuffle, and the same link again. One memo of the base turns serves every game, as a kept
// game's does across shuffles: a stale one would build other pieces.
TEST_F(Link, ALinkRebuildsTheGame) {
    LinkBase memo;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        PuzzleGame played(seed, nullptr);
        Play(played, seed, static_cast<int>(seed * 7 % 60));
        std::string link;
        std::string error;
        ASSERT_TRUE(MakeLink(played, &memo, &link, &error)) << error;
        PuzzleGame opened(99, nullptr);
        ASSERT_TRUE(OpenLink(link, nullptr, &opened, &error)) << link << ": " << error;
        EXPECT_EQ(std::memcmp(opened.m_pieces, played.m_pieces, sizeof opened.m_pieces), 0) << link;
        EXPECT_TRUE(SameModels(opened.m_basePieces, played.m_basePieces)) << link;
        EXPECT_TRUE(Frame(opened) == Frame(played)) << link;
        EXPECT_EQ(opened.m_random.State(), played.m_random.State());
        EXPECT_EQ(opened.m_solved, played.m_solved) << link;
        EXPECT_EQ(opened.m_checked, played.m_checked) << link;
        EXPECT_EQ(MoveCount(opened), MoveCount(played)) << link;
        std::string again;
        ASSERT_TRUE(MakeLink(opened, &again, &error));
        EXPECT_EQ(again, link);
        while (Undo(opened)) {
        }
        EXPECT_TRUE(SameModels(opened.m_pieces, played.m_basePieces)) << link;
    }
}

TEST_F(Link, ABadLinkBuildsNothing) {
    PuzzleGame good(3, nullptr);
    RunCommand(good, IDM_SHUFFLE);
    PlayTurn(good, FaceTurn{2, 1});
    std::string link;
    std::string error;
    ASSERT_TRUE(MakeLink(good, &link, &error));
    const std::size_t dot = link.find('.');
    std::string flags = link;
    flags[1] = 'z';  // a setting bit this version does not know
    std::string nanView = link;
    nanView.replace(8, 6, "______");  // the x angle's bits all ones: not a number
    const struct {
        std::string text;
        const char* why;
    } cases[] = {
        {"", "it is empty"},
        {"2" + link.substr(1), "it is of a version this program does not know"},
        {link.substr(0, 10), "its first part is damaged"},
        {link.substr(0, 5) + "*" + link.substr(6), "its first part is damaged"},
        {flags, "it has settings this program does not know"},
        {nanView, "its view is out of range"},
        {link.substr(0, dot), "its moves are damaged"},
        {link + ".", "its moves are damaged"},
        {link + "X", "its moves are damaged or more than 1,000"},
        {link + "u2", "its moves are damaged or more than 1,000"},
        {link + std::string(1001, 'R'), "its moves are damaged or more than 1,000"},
        {link + std::string(kMaxLinkChars, 'R'), "it is too long"},
        {link.substr(0, 24) + std::string(21, 'R') + link.substr(dot), "the turns of its shuffle are damaged"},
    };
    for (const auto& c : cases) {
        PuzzleGame game(7, nullptr);
        const PuzzleGame before = game;
        EXPECT_FALSE(OpenLink(c.text, nullptr, &game, &error)) << c.text;
        EXPECT_EQ(error, std::string("This link does not describe a game: ") + c.why + ".") << c.text;
        EXPECT_EQ(StateDifference(game, before), "") << c.text;
    }
}

TEST_F(Link, SavesReadBackAndDamageIsTold) {
    StripSave save;
    save.link = "1AAAAAAAAAAAAAAAAAAAAAAA.R";
    save.scaleBits = 0x3d75c28fU;
    save.elapsedMs = 102345;
    save.clockRunning = true;
    save.timeHidden = true;
    save.best = BestResults{14, 58000, 3};
    const std::string text = WriteSave(save);
    StripSave read;
    ASSERT_EQ(ReadSave(text, &read), SaveRead::Ok);
    EXPECT_EQ(WriteSave(read), text);
    std::string flipped = text;
    flipped[text.find("time ") + 6] ^= 1;
    std::string extra = text;
    extra.insert(text.find("end "), "colour blue\n");
    const struct {
        std::string text;
        SaveRead result;
    } cases[] = {
        {"", SaveRead::Bad},
        {text.substr(0, text.size() / 2), SaveRead::Bad},
        {text.substr(0, text.size() - 1), SaveRead::Bad},
        {flipped, SaveRead::Bad},
        {extra, SaveRead::Bad},
        {"\x89PNG\r\n\x1a\n", SaveRead::Bad},
        {"vexalmini-save 2\nwhatever comes later\n", SaveRead::Newer},
        {"vexalmini-save 3 with more to say\n", SaveRead::Newer},
        {"vexalmini-save +1\n" + text.substr(text.find('\n') + 1), SaveRead::Bad},
    };
    for (const auto& c : cases) {
        StripSave untouched = save;
        EXPECT_EQ(ReadSave(c.text, &untouched), c.result) << c.text;
        EXPECT_EQ(WriteSave(untouched), text) << c.text;
    }
}

}  // namespace
