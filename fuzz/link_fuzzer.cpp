// Arbitrary text as a link. A link that is refused must say so and leave the game as it was;
// one that is accepted builds a whole puzzle, and the link of that game opens the same pieces.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "render/projection.h"
#include "shell/link.h"
#include "tests/support/puzzle_invariants.h"

namespace {

long long s_links = 0;
long long s_accepted = 0;

void PrintTotals() {
    std::fprintf(stderr, "link_fuzzer: %lld links, %lld accepted\n", s_links, s_accepted);
}

[[noreturn]] void Fail(const std::string& what, const std::string& text) {
    std::fprintf(stderr, "link_fuzzer: %s\n--- link (%zu bytes) ---\n%s\n---\n", what.c_str(), text.size(),
                 text.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (s_links++ == 0) {
        std::atexit(PrintTotals);
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    static const PuzzleGame kFresh(7, nullptr);
    static PieceCatalogue catalogue = [] {
        PieceCatalogue c{};
        RecordStartPieces(kFresh, &c);
        return c;
    }();
    PuzzleGame game = kFresh;
    std::string error;
    if (!OpenLink(text, nullptr, &game, &error)) {
        if (error.empty()) {
            Fail("refused without a reason", text);
        }
        if (!StateDifference(game, kFresh).empty()) {
            Fail("refused, but the game changed: " + StateDifference(game, kFresh), text);
        }
        return 0;
    }
    ++s_accepted;
    BuildDrawOrder(game, game.m_drawOrder);
    const std::string problem = CheckPuzzle(catalogue, game);
    if (!problem.empty()) {
        Fail("accepted a link that builds no whole puzzle: " + problem, text);
    }
    std::string again;
    if (!MakeLink(game, &again, &error)) {
        Fail("the opened game has no link: " + error, text);
    }
    PuzzleGame reopened = kFresh;
    if (!OpenLink(again, nullptr, &reopened, &error)) {
        Fail("its own link is refused: " + error + "\n" + again, text);
    }
    if (!SameModels(reopened.m_pieces, game.m_pieces) || reopened.m_solved != game.m_solved) {
        Fail("its own link opens other pieces:\n" + again, text);
    }
    return 0;
}
