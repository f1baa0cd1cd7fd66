// The SDL program's command line, without a display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/sdl/options.h"

namespace {

TEST(SdlOptions, CommandLines) {
    struct Case {
        std::vector<const char*> args;
        bool ok;
        int scale;
        bool hasSeed;
        std::uint32_t seed;
    };
    const Case cases[] = {
        {{}, true, 2, false, 0},
        {{"--scale", "1"}, true, 1, false, 0},
        {{"--scale=4"}, true, 4, false, 0},
        {{"--scale", "0"}, false, 0, false, 0},
        {{"--scale", "5"}, false, 0, false, 0},
        {{"--scale", "-1"}, false, 0, false, 0},
        {{"--scale", "2x"}, false, 0, false, 0},
        {{"--scale"}, false, 0, false, 0},
        {{"--scale="}, false, 0, false, 0},
        {{"--seed", "4294967295"}, true, 2, true, 4294967295U},
        {{"--seed", "4294967296"}, false, 0, false, 0},
        {{"--seed=7", "--scale", "3"}, true, 3, true, 7},
        {{"--seeds", "7"}, false, 0, false, 0},
        {{"game.txt"}, false, 0, false, 0},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"vexalmini"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        Options options;
        std::string error;
        const bool ok = ParseOptions(static_cast<int>(argv.size()), argv.data(), &options, &error);
        const std::string line = c.args.empty() ? std::string("(none)") : std::string(c.args[0]);
        EXPECT_EQ(ok, c.ok) << line << ": " << error;
        if (ok && c.ok) {
            EXPECT_EQ(options.scale, c.scale) << line;
            EXPECT_EQ(options.hasSeed, c.hasSeed) << line;
            EXPECT_EQ(options.seed, c.seed) << line;
        } else if (!ok) {
            EXPECT_FALSE(error.empty()) << line;
        }
    }
    Options options;
    std::string error;
    // A link is taken as it stands (the game checks it when it opens); --game needs one.
    const char* link[] = {"vexalmini", "--game=1B8_kOHoAAHDBAABwQQAAIEE.Ur", "--classic"};
    ASSERT_TRUE(ParseOptions(3, link, &options, &error));
    EXPECT_TRUE(options.hasGame && options.classic);
    EXPECT_EQ(options.game, "1B8_kOHoAAHDBAABwQQAAIEE.Ur");
    const char* noLink[] = {"vexalmini", "--game"};
    EXPECT_FALSE(ParseOptions(2, noLink, &options, &error));
    const char* help[] = {"vexalmini", "--help", "--version"};
    ASSERT_TRUE(ParseOptions(3, help, &options, &error));
    EXPECT_TRUE(options.help);
    EXPECT_TRUE(options.version);
    EXPECT_NE(UsageText("vexalmini").find("--seed N"), std::string::npos);
    EXPECT_EQ(VersionText(), "VexalMini Version " VEXAL_VERSION "\n");
}

}  // namespace
