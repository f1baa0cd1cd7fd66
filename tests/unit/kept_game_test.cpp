// The SDL window's kept game on disk: where it lives, whole-file writes that a failure never
// half-does, damaged saves put aside under a free name, and what the keeper does with each.
#include "shell/sdl/kept_game.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shell/link.h"

namespace {

class KeptGame : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/kept-game-test-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        m_root = name;
        m_path = m_root + "/state/vexalmini/game";
    }
    void TearDown() override { (void)std::system(("rm -rf '" + m_root + "'").c_str()); }

    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return in ? text.str() : "(none)";
    }
    // What the folder holds, names only, sorted.
    std::string Listing() const { return Run("ls -A '" + m_root + "/state/vexalmini' 2>/dev/null | tr '\\n' ' '"); }
    static std::string Run(const std::string& command) {
        std::string out;
        if (FILE* pipe = popen(command.c_str(), "r"); pipe != nullptr) {
            char buffer[256];
            while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
                out += buffer;
            }
            pclose(pipe);
        }
        return out;
    }

    std::string m_root;
    std::string m_path;
};

TEST_F(KeptGame, PathFollowsTheBaseDirectoryRules) {
    struct Case {
        const char* stateHome;
        const char* home;
        const char* path;
    };
    const Case cases[] = {
        {"/s", "/h", "/s/vexalmini/game"},
        {"", "/h", "/h/.local/state/vexalmini/game"},
        {"relative", "/h", "/h/.local/state/vexalmini/game"},
        {nullptr, nullptr, ""},
        {nullptr, "relative", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeptGamePath(c.stateHome, c.home), c.path) << (c.stateHome ? c.stateHome : "(unset)");
    }
}

TEST_F(KeptGame, WritesAreWholeOrNothing) {
    std::string error;
    ASSERT_TRUE(WriteKeptFile(m_path, "first\n", &error)) << error;
    struct stat st {};
    ASSERT_EQ(stat((m_root + "/state").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777U, 0700U) << "folders the game makes are the user's own";
    std::string text;
    EXPECT_EQ(ReadKeptFile(m_path, &text, &error), KeptRead::Text);
    EXPECT_EQ(text, "first\n");

    // A disk that fills up halfway through the next write: the old game stays whole, and no
    // half-written file is left beside it.
    (void)std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit tight = before;
    tight.rlim_cur = 4;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = WriteKeptFile(m_path, "second, longer than the room\n", &error);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &before), 0);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_EQ(Contents(m_path), "first\n");
    EXPECT_EQ(Listing(), "game ");

    EXPECT_EQ(ReadKeptFile(m_root + "/none", &text, &error), KeptRead::Missing);
    EXPECT_EQ(ReadKeptFile(m_root, &text, &error), KeptRead::Failed) << "a folder is no save";
}

TEST_F(KeptGame, DamagedSavesGoAsideUnderAFreeName) {
    struct Case {
        std::vector<const char*> there;  // .bad files already in the folder
        const char* aside;
    };
    const Case cases[] = {
        {{}, "game.bad"},
        {{"game.bad"}, "game.2.bad"},
        {{"game.bad", "game.2.bad"}, "game.3.bad"},
        {{"game.2.bad"}, "game.bad"},
    };
    for (const Case& c : cases) {
        (void)std::system(("rm -rf '" + m_root + "/state'").c_str());
        std::string error;
        ASSERT_TRUE(WriteKeptFile(m_path, "damaged", &error)) << error;
        for (const char* name : c.there) {
            ASSERT_TRUE(WriteKeptFile(m_root + "/state/vexalmini/" + name, name, &error)) << error;
        }
        std::string aside;
        ASSERT_TRUE(PutKeptFileAside(m_path, &aside, &error)) << error;
        EXPECT_EQ(aside, m_root + "/state/vexalmini/" + c.aside);
        EXPECT_EQ(Contents(aside), "damaged");
        EXPECT_EQ(Contents(m_path), "(none)");
        for (const char* name : c.there) {
            EXPECT_EQ(Contents(m_root + "/state/vexalmini/" + name), name) << "an older bad copy is never replaced";
        }
    }
}

TEST_F(KeptGame, KeeperLeavesWhatItCannotReadAlone) {
    struct Case {
        const char* name;
        const char* kept;        // the file at the start
        SaveRead read;           // what the game made of it
        const char* afterwards;  // the folder after a move is kept
        bool writes;
    };
    const Case cases[] = {
        {"none", nullptr, SaveRead::Ok, "game ", true},
        {"whole", "save", SaveRead::Ok, "game ", true},
        {"damaged", "save", SaveRead::Bad, "game game.bad ", true},
        {"newer", "save", SaveRead::Newer, "game ", false},
    };
    for (const Case& c : cases) {
        (void)std::system(("rm -rf '" + m_root + "/state'").c_str());
        std::string error;
        if (c.kept != nullptr) {
            ASSERT_TRUE(WriteKeptFile(m_path, c.kept, &error)) << error;
        }
        GameKeeper keeper(m_path);
        const std::string* text = keeper.Load();
        ASSERT_EQ(text != nullptr, c.kept != nullptr) << c.name;
        if (text != nullptr) {
            keeper.Opened(c.read);
        }
        EXPECT_EQ(keeper.TakeMessage().empty(), c.writes) << c.name;
        keeper.Keep("moved");
        EXPECT_EQ(Listing(), c.afterwards) << c.name;
        EXPECT_EQ(Contents(m_path), c.writes ? "moved" : c.kept) << c.name;
    }

    // A write that fails is told once, not at every move; the next that works is quiet.
    (void)std::system(("rm -rf '" + m_root + "/state' && touch '" + m_root + "/state'").c_str());
    GameKeeper keeper(m_path);
    EXPECT_EQ(keeper.Load(), nullptr);
    keeper.Keep("one");
    EXPECT_FALSE(keeper.TakeMessage().empty());
    keeper.Keep("two");
    EXPECT_TRUE(keeper.TakeMessage().empty());
    (void)std::system(("rm -f '" + m_root + "/state'").c_str());
    keeper.Keep("three");
    EXPECT_TRUE(keeper.TakeMessage().empty());
    EXPECT_EQ(Contents(m_path), "three");
}

// A game opened by a seed or a link replaces the kept one when played, but the player's results
// and settings in the kept save go on into the next save rather than being lost with it.
TEST_F(KeptGame, ASeedOrALinkKeepsTheResults) {
    StripSave kept;
    PuzzleGame other(5, nullptr);
    std::string error;
    ASSERT_TRUE(MakeLink(other, &kept.link, &error)) << error;
    kept.timeHidden = true;
    kept.best = BestResults{17, 83000, 4};
    const std::string text = WriteSave(kept);
    const std::uint32_t seed = 7;
    for (const bool byLink : {false, true}) {
        ShellUi ui(0);
        CompanionStrip strip(ui);
        EXPECT_EQ(strip.Open(byLink ? kept.link.c_str() : nullptr, byLink ? nullptr : &seed, &text, 1), SaveRead::Ok);
        StripSave next;
        ASSERT_EQ(ReadSave(strip.SaveText(), &next), SaveRead::Ok);
        EXPECT_TRUE(next.timeHidden) << byLink;
        EXPECT_EQ(next.best.fewestMoves, 17) << byLink;
        EXPECT_EQ(next.best.bestMs, 83000) << byLink;
        EXPECT_EQ(next.best.solved, 4) << byLink;
    }
}

}  // namespace
