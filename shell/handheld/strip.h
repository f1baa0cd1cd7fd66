// The companion strip: what a player of today expects, beside the handheld's screen and never
// on it. Undo, redo and restart; moves and time since the shuffle; the result of a solve and
// the best results; a Shuffle button that asks before it throws a game away; a link to share;
// turns without dragging (a layer, then a direction); the game kept between runs. It holds no
// platform: each shell draws what it says (SDL with its own widgets, the page with real
// buttons), gives it a monotonic clock and keeps its save text.
#pragma once

#include <cstdint>
#include <string>

#include "interaction/view_turns.h"
#include "shell/handheld/ui.h"
#include "shell/link.h"

// The strip's controls, in the order they are laid out.
enum class StripControl : std::uint8_t {
    Undo,
    Redo,
    Restart,
    Shuffle,
    Share,
    Hint,     // shows one optimal next move and picks its layer
    LayerUp,  // the six layers as the view shows them, in ViewFace order
    LayerDown,
    LayerLeft,
    LayerRight,
    LayerFront,
    LayerBack,
    Clockwise,
    Anticlockwise,
    HalfTurn,
    TimeShown,   // shows or hides the time
    Best,        // shows the best results
    Keys,        // shows the keys
    ShuffleYes,  // the question before a game is thrown away
    ShuffleNo,
};
constexpr int kStripControlCount = 20;

struct StripControlState {
    const char* label;  // short: a word or a symbol
    const char* name;   // what a screen reader says
    bool shown;
    bool enabled;
    bool selected;  // the chosen layer; Time, Best or Keys while on
};

// Best results: fewest moves and best time count only solves from a shuffle made without a
// hint; games solved counts every solve. The time is kept while it is hidden, too.
struct BestResults {
    int fewestMoves = 0;  // 0: none yet
    std::int64_t bestMs = 0;
    int solved = 0;
};

// What a save holds besides the game's link: the frame's own exact bits and the player's
// settings and results.
struct StripSave {
    std::string link;
    std::uint32_t scaleBits = 0;
    std::int64_t elapsedMs = 0;
    bool clockRunning = false;
    bool solvedShown = false;  // this game has been solved and counted
    bool timeHidden = false;
    int hints = 0;  // hints shown since the shuffle
    BestResults best;
};

// Results of reading a save.
enum class SaveRead : std::uint8_t { Ok, Bad, Newer };

// The save's text, one value a line, ending with a checksum of what comes before it.
std::string WriteSave(const StripSave& save);
// Bad: corrupt, cut short or not ours; Newer: a later version wrote it (leave it alone).
SaveRead ReadSave(const std::string& text, StripSave* save);

// "1:42", "12:03", "1:02:03".
std::string FormatTime(std::int64_t ms);

class CompanionStrip {
public:
    explicit CompanionStrip(ShellUi& ui) : m_ui(ui) {}

    // How the game opens: a link if one is given, else a seed, else the kept game, else a new
    // one seeded from the clock. A bad link or a bad save says so once in the message line and
    // opens the next in that order. The save's settings and best results are taken whichever
    // game opens, so that the next save keeps them. Returns what became of the save text, for
    // the shell to keep aside (Bad) or leave alone (Newer: this run keeps nothing then).
    SaveRead Open(const char* link, const std::uint32_t* seed, const std::string* saved, std::uint32_t clockSeed);

    // The shell's monotonic clock, at every event and now and then while the time shows.
    void Tick(std::int64_t nowMs);
    // The window hidden or minimised: the clock pauses.
    void SetVisible(bool visible, std::int64_t nowMs);
    // Looks at the game after anything happened to it (a drag, a key, a menu command): counts a
    // new shuffle, starts and stops the clock, counts a solve.
    void AfterEvent(std::int64_t nowMs);

    // A control pressed. Returns what the window must do (paint, ...).
    UiOutput Press(StripControl control, std::int64_t nowMs);
    // Keys: a side turned (Shift: the other way), the whole puzzle turned, undo and redo.
    UiOutput TurnKey(ViewFace side, bool anticlockwise, std::int64_t nowMs);
    UiOutput WholeTurnKey(ViewFace side, bool inverse, std::int64_t nowMs);
    UiOutput UndoKey(std::int64_t nowMs);
    UiOutput RedoKey(std::int64_t nowMs);
    UiOutput HintKey(std::int64_t nowMs);

    [[nodiscard]] StripControlState Control(StripControl control) const;
    // "Moves 12  1:42", or without the time while it is hidden.
    [[nodiscard]] std::string StatusLine() const;
    // The result of a solve, a message, the best results or the keys: one line, or "".
    [[nodiscard]] const std::string& MessageLine() const { return m_message; }
    // Changed since the last Drawn(): the shell redraws the strip.
    [[nodiscard]] bool NeedsDraw() const { return m_needsDraw; }
    void Drawn() { m_needsDraw = false; }

    // The link to share, or "" with the reason in the message line.
    std::string ShareLink();
    // A line from the shell for the message line: "Link copied", a save that failed.
    void Say(std::string message);
    // The save as it stands, for the shell to keep after every change.
    [[nodiscard]] std::string SaveText() const;
    // The text of the keys, for Help and the Keys control.
    static const char* KeysText();

    [[nodiscard]] const BestResults& Best() const { return m_best; }
    // The fewest moves from the shuffle's pieces to solved; -1 before any shuffle.
    // Found when first asked (the result line asks at the solve), so that opening a game or
    // shuffling searches nothing before its frame.
    [[nodiscard]] int Par() const;
    [[nodiscard]] int HintsUsed() const { return m_hints; }
    [[nodiscard]] std::int64_t ElapsedMs() const { return m_elapsedMs; }
    [[nodiscard]] bool ClockRunning() const { return m_running; }

private:
    PuzzleGame& Game() { return m_ui.Game(); }
    [[nodiscard]] const PuzzleGame& Game() const { return m_ui.Game(); }
    void NewShuffleSeen();
    void ShowHint();
    UiOutput Changed();

    ShellUi& m_ui;
    std::uint32_t m_shuffleSeen = 0;
    std::int64_t m_elapsedMs = 0;
    std::int64_t m_lastTickMs = 0;
    bool m_running = false;
    bool m_visible = true;
    bool m_solvedCounted = false;
    bool m_timeHidden = false;
    bool m_confirming = false;
    int m_pickedLayer = -1;       // ViewFace, or -1
    mutable int m_par = -1;       // kParNotYet until Par() asks
    mutable LinkBase m_linkBase;  // a save is const, and only fills this memo
    int m_hints = 0;
    StripControl m_shownPanel = StripControl::Undo;  // Best or Keys while one shows; Undo for none
    BestResults m_best;
    std::string m_message;
    bool m_needsDraw = true;
};
