#include "shell/handheld/strip.h"

#include <algorithm>
#include <cstring>

#include "interaction/moves.h"
#include "render/projection.h"
#include "shell/commands.h"
#include "shell/link.h"
#include "solver/solver.h"

namespace {

constexpr const char* kSaveMagic = "vexalmini-save";
constexpr int kSaveVersion = 1;
constexpr int kParNotYet = -2;

// FNV-1a, 32 bits: enough to tell a damaged or cut save from a whole one.
std::uint32_t Checksum(const std::string& text) {
    std::uint32_t hash = 2166136261U;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
    }
    return hash;
}

// Plain string work, no streams or printf: the web build pays for every library it pulls in.
bool ParseInt(const std::string& word, long long lo, long long hi, long long* value) {
    if (word.empty() || word.size() > 20) {
        return false;
    }
    long long v = 0;
    for (const char c : word) {
        if (c < '0' || c > '9' || v > hi) {
            return false;
        }
        v = v * 10 + (c - '0');
    }
    if (v < lo || v > hi) {
        return false;
    }
    *value = v;
    return true;
}

void AppendHex8(std::string* out, std::uint32_t v) {
    for (int shift = 28; shift >= 0; shift -= 4) {
        *out += "0123456789abcdef"[(v >> static_cast<unsigned>(shift)) & 15U];
    }
}

// Exactly eight hex digits.
bool ParseHex8(const std::string& word, std::uint32_t* value) {
    if (word.size() != 8) {
        return false;
    }
    std::uint32_t v = 0;
    for (const char c : word) {
        const char* at = std::strchr("0123456789abcdef", c);
        if (c == '\0' || at == nullptr) {
            return false;
        }
        v = (v << 4U) | static_cast<std::uint32_t>(at - "0123456789abcdef");
    }
    *value = v;
    return true;
}

// A line's words, split at spaces and tabs; false for more than `room`.
bool SplitWords(const std::string& line, std::string* words, int room) {
    int n = 0;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        if (n == room) {
            return false;
        }
        words[n++] = line.substr(start, end - start);
        at = end;
    }
    return true;
}

std::string TwoDigits(std::int64_t v) {
    return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10);
}

struct ControlText {
    const char* label;
    const char* name;
};

constexpr ControlText kControlTexts[kStripControlCount] = {
    {"Undo", "Undo"},
    {"Redo", "Redo"},
    {"Restart", "Restart"},
    {"Shuffle", "Shuffle"},
    {"Share", "Share"},
    {"Hint", "Hint"},
    {"U", "Up layer"},
    {"D", "Down layer"},
    {"L", "Left layer"},
    {"R", "Right layer"},
    {"F", "Front layer"},
    {"B", "Back layer"},
    {"\xE2\x86\xBB", "Turn clockwise"},      // U+21BB
    {"\xE2\x86\xBA", "Turn anticlockwise"},  // U+21BA
    {"180\xC2\xB0", "Turn half round"},
    {"Time", "Show the time"},
    {"Best", "Best results"},
    {"Keys", "Keys"},
    {"Shuffle", "Yes, shuffle"},
    {"Keep playing", "No, keep playing"},
};

const char* const kKeysText =
    "U D L R F B turn a side clockwise, Shift+letter anticlockwise; X Y Z turn the whole puzzle; "
    "Ctrl+Z undo, Ctrl+Y or Ctrl+Shift+Z redo; H hint";

constexpr const char* kSideWords[kViewFaceCount] = {"up", "down", "left", "right", "front", "back"};
constexpr const char* kSymbols[4] = {"", "\xE2\x86\xBB", "2", "\xE2\x86\xBA"};  // by clockwise quarter turns

}  // namespace

std::string FormatTime(std::int64_t ms) {
    const std::int64_t seconds = ms / 1000;
    if (seconds >= 3600) {
        return std::to_string(seconds / 3600) + ':' + TwoDigits(seconds / 60 % 60) + ':' + TwoDigits(seconds % 60);
    }
    return std::to_string(seconds / 60) + ':' + TwoDigits(seconds % 60);
}

std::string WriteSave(const StripSave& save) {
    std::string text = std::string(kSaveMagic) + ' ' + std::to_string(kSaveVersion) + '\n';
    text += "game " + save.link + '\n';
    text += "scale ";
    AppendHex8(&text, save.scaleBits);
    text += "\ntime " + std::to_string(save.elapsedMs) + (save.clockRunning ? " 1" : " 0") +
            (save.solvedShown ? " 1" : " 0") + '\n';
    text += std::string("hide-time ") + (save.timeHidden ? '1' : '0') + '\n';
    text += "hints " + std::to_string(save.hints) + '\n';
    text += "best " + std::to_string(save.best.fewestMoves) + ' ' + std::to_string(save.best.bestMs) + ' ' +
            std::to_string(save.best.solved) + '\n';
    const std::uint32_t sum = Checksum(text);
    text += "end ";
    AppendHex8(&text, sum);
    return text + '\n';
}

SaveRead ReadSave(const std::string& text, StripSave* save) {
    // The head: the magic word and the version; a later version may say more after them.
    std::size_t lineEnd = std::min(text.find('\n'), text.size());
    const std::string magic = std::string(kSaveMagic) + ' ';
    const std::size_t versionEnd = std::min(text.find_first_of(" \t", magic.size()), lineEnd);
    long long version = 0;
    if (text.compare(0, magic.size(), magic) != 0 || versionEnd < magic.size() ||
        !ParseInt(text.substr(magic.size(), versionEnd - magic.size()), 1, 1000000, &version)) {
        return SaveRead::Bad;
    }
    if (version > kSaveVersion) {
        return SaveRead::Newer;
    }
    // The checksum covers everything before its own line, which must be the last.
    const std::size_t end = text.rfind("end ");
    std::uint32_t sum = 0;
    if (end == std::string::npos || text[end - 1] != '\n' || end + 13 != text.size() || text.back() != '\n' ||
        !ParseHex8(text.substr(end + 4, 8), &sum) || sum != Checksum(text.substr(0, end))) {
        return SaveRead::Bad;
    }
    StripSave read;
    bool seen[6] = {};
    for (std::size_t at = lineEnd + 1; at < end; at = lineEnd + 1) {
        lineEnd = text.find('\n', at);
        std::string w[4];
        if (!SplitWords(text.substr(at, lineEnd - at), w, 4)) {
            return SaveRead::Bad;
        }
        const std::string& key = w[0];
        long long a = 0;
        long long b = 0;
        long long c = 0;
        if (key == "game" && !w[1].empty() && w[2].empty()) {
            read.link = w[1];
            seen[0] = true;
        } else if (key == "scale" && ParseHex8(w[1], &read.scaleBits) && w[2].empty()) {
            seen[1] = true;
        } else if (key == "time" && ParseInt(w[1], 0, 1LL << 50, &a) && ParseInt(w[2], 0, 1, &b) &&
                   ParseInt(w[3], 0, 1, &c)) {
            read.elapsedMs = a;
            read.clockRunning = b == 1;
            read.solvedShown = c == 1;
            seen[2] = true;
        } else if (key == "hide-time" && ParseInt(w[1], 0, 1, &a) && w[2].empty()) {
            read.timeHidden = a == 1;
            seen[3] = true;
        } else if (key == "hints" && ParseInt(w[1], 0, 1000000000, &a) && w[2].empty()) {
            read.hints = static_cast<int>(a);
            seen[5] = true;
        } else if (key == "best" && ParseInt(w[1], 0, 1000000000, &a) && ParseInt(w[2], 0, 1LL << 50, &b) &&
                   ParseInt(w[3], 0, 1000000000, &c)) {
            read.best = BestResults{static_cast<int>(a), b, static_cast<int>(c)};
            seen[4] = true;
        } else {
            return SaveRead::Bad;
        }
    }
    for (const bool s : seen) {
        if (!s) {
            return SaveRead::Bad;
        }
    }
    *save = read;
    return SaveRead::Ok;
}

SaveRead CompanionStrip::Open(const char* link, const std::uint32_t* seed, const std::string* saved,
                              std::uint32_t clockSeed) {
    SaveRead result = SaveRead::Ok;
    std::string problem;
    bool open = false;
    PuzzleGame& game = Game();
    if (link != nullptr) {
        open = OpenLink(std::string(link), &m_ui, &game, &problem);
    }
    if (!open && seed != nullptr) {
        game = PuzzleGame(*seed, &m_ui);
        open = true;
    }
    if (saved != nullptr) {
        const bool given = open;
        StripSave save;
        result = ReadSave(*saved, &save);
        if (result == SaveRead::Ok) {
            // Whichever game opens, the player's settings and results go on.
            m_timeHidden = save.timeHidden;
            m_best = save.best;
        }
        std::string linkProblem;
        if (given) {
            if (result == SaveRead::Bad && problem.empty()) {
                problem = "The kept game could not be read; it was kept aside.";
            }
        } else if (result == SaveRead::Ok && OpenLink(save.link, &m_ui, &game, &linkProblem)) {
            float scale = 0.0F;
            std::memcpy(&scale, &save.scaleBits, sizeof scale);
            if (scale >= 0.04F && scale <= 0.08F) {
                game.m_scale = scale;
                RefreshView(game);
            }
            m_elapsedMs = save.elapsedMs;
            m_running = save.clockRunning;
            m_solvedCounted = save.solvedShown;
            m_hints = save.hints;  // this game's, not the player's
            open = true;
        } else if (result == SaveRead::Ok) {
            result = SaveRead::Bad;
        }
        if (result == SaveRead::Bad && problem.empty()) {
            problem = "The kept game could not be read; it was kept aside, and a new game begins.";
        }
    }
    if (!open) {
        game = PuzzleGame(clockSeed, &m_ui);
    }
    m_shuffleSeen = game.m_shuffleCount;
    m_par = game.m_shuffled ? kParNotYet : -1;
    if (!problem.empty()) {
        Say(problem);
    }
    m_needsDraw = true;
    return result;
}

int CompanionStrip::Par() const {
    if (m_par == kParNotYet) {
        m_par = DistanceFromSolved(Game().m_basePieces);
    }
    return m_par;
}

void CompanionStrip::Say(std::string message) {
    m_message = std::move(message);
    m_shownPanel = StripControl::Undo;
    m_needsDraw = true;
}

void CompanionStrip::Tick(std::int64_t nowMs) {
    if (m_running && m_visible) {
        const std::int64_t before = m_elapsedMs / 1000;
        m_elapsedMs += nowMs > m_lastTickMs ? nowMs - m_lastTickMs : 0;
        if (m_elapsedMs / 1000 != before && !m_timeHidden) {
            m_needsDraw = true;
        }
    }
    m_lastTickMs = nowMs;
}

void CompanionStrip::SetVisible(bool visible, std::int64_t nowMs) {
    Tick(nowMs);
    m_visible = visible;
}

void CompanionStrip::NewShuffleSeen() {
    m_shuffleSeen = Game().m_shuffleCount;
    m_par = kParNotYet;
    m_hints = 0;
    m_elapsedMs = 0;
    m_running = false;
    m_solvedCounted = false;
    m_confirming = false;
    m_message.clear();
    m_needsDraw = true;
}

void CompanionStrip::AfterEvent(std::int64_t nowMs) {
    Tick(nowMs);
    const PuzzleGame& game = Game();
    if (game.m_shuffleCount != m_shuffleSeen) {
        NewShuffleSeen();
    }
    if (!game.m_shuffled || m_solvedCounted) {
        return;
    }
    const int moves = MoveCount(game);
    if (!m_running && game.m_history.count > 0) {
        m_running = true;  // the first move after the shuffle
        m_needsDraw = true;
    }
    if (m_running && game.m_checked && game.m_solved != 0) {
        m_running = false;
        m_solvedCounted = true;
        // Only a solve without hints can be a best.
        const bool counted = m_hints == 0;
        const bool first = m_best.fewestMoves == 0;
        const bool fewer = counted && (first || moves < m_best.fewestMoves);
        const bool faster = counted && (first || m_elapsedMs < m_best.bestMs);
        std::string line = "Solved in " + std::to_string(moves) + (moves == 1 ? " move" : " moves");
        if (Par() > 0) {
            line += " (par " + std::to_string(m_par) + ")";
        }
        line += ", " + FormatTime(m_elapsedMs);
        if (m_hints > 0) {
            line += ", " + std::to_string(m_hints) + (m_hints == 1 ? " hint" : " hints");
        }
        if (!first && (fewer || faster)) {
            line += fewer && faster ? ": your fewest moves and best time"
                    : fewer         ? ": your fewest moves"
                                    : ": your best time";
        }
        ++m_best.solved;
        if (fewer) {
            m_best.fewestMoves = moves;
        }
        if (faster) {
            m_best.bestMs = m_elapsedMs;
        }
        Say(line + ".");
    }
    m_needsDraw = true;
}

UiOutput CompanionStrip::Changed() {
    UiOutput out;
    m_needsDraw = true;
    out.paintNow = true;
    return out;
}

UiOutput CompanionStrip::Press(StripControl control, std::int64_t nowMs) {
    PuzzleGame& game = Game();
    UiOutput out;
    if (!Control(control).shown || !Control(control).enabled) {
        return out;
    }
    switch (control) {
        case StripControl::Undo:
            Undo(game);
            break;
        case StripControl::Redo:
            Redo(game);
            break;
        case StripControl::Restart:
            Restart(game);
            break;
        case StripControl::Shuffle:
            if (game.m_shuffled && !m_solvedCounted && MoveCount(game) > 0) {
                m_confirming = true;
                return Changed();
            }
            RunCommand(game, IDM_SHUFFLE);
            break;
        case StripControl::ShuffleYes:
            m_confirming = false;
            RunCommand(game, IDM_SHUFFLE);
            break;
        case StripControl::ShuffleNo:
            m_confirming = false;
            break;
        case StripControl::Share:
            ShareLink();
            break;
        case StripControl::Hint:
            ShowHint();
            break;
        case StripControl::LayerUp:
        case StripControl::LayerDown:
        case StripControl::LayerLeft:
        case StripControl::LayerRight:
        case StripControl::LayerFront:
        case StripControl::LayerBack: {
            const int layer = static_cast<int>(control) - static_cast<int>(StripControl::LayerUp);
            m_pickedLayer = m_pickedLayer == layer ? -1 : layer;
            break;
        }
        case StripControl::Clockwise:
        case StripControl::Anticlockwise:
        case StripControl::HalfTurn: {
            const int clockwise = control == StripControl::Clockwise ? 1 : control == StripControl::HalfTurn ? 2 : 3;
            PlayTurn(game, ViewTurn(game, static_cast<ViewFace>(m_pickedLayer), clockwise));
            m_pickedLayer = -1;
            break;
        }
        case StripControl::TimeShown:
            m_timeHidden = !m_timeHidden;
            break;
        case StripControl::Best:
        case StripControl::Keys:
            if (m_shownPanel == control) {
                m_shownPanel = StripControl::Undo;
                m_message.clear();
            } else if (control == StripControl::Keys) {
                Say(kKeysText);
                m_shownPanel = control;
            } else {
                std::string line =
                    "Solved " + std::to_string(m_best.solved) + (m_best.solved == 1 ? " game" : " games");
                // Games solved only with hints have no fewest moves to show.
                if (m_best.fewestMoves > 0) {
                    line += "; without a hint: fewest moves " + std::to_string(m_best.fewestMoves) + ", best time " +
                            FormatTime(m_best.bestMs);
                }
                Say(line + ".");
                m_shownPanel = control;
            }
            break;
    }
    AfterEvent(nowMs);
    return Changed();
}

UiOutput CompanionStrip::TurnKey(ViewFace side, bool anticlockwise, std::int64_t nowMs) {
    PlayTurn(Game(), ViewTurn(Game(), side, anticlockwise ? 3 : 1));
    AfterEvent(nowMs);
    return Changed();
}

UiOutput CompanionStrip::WholeTurnKey(ViewFace side, bool inverse, std::int64_t nowMs) {
    TurnWholePuzzle(Game(), side, inverse);
    AfterEvent(nowMs);
    return Changed();
}

void CompanionStrip::ShowHint() {
    const PuzzleGame& game = Game();
    FaceTurn turn{};
    if (!NextOptimalTurn(game.m_pieces, &turn)) {
        Say("The puzzle is solved.");
        return;
    }
    ViewFace side = ViewFace::Front;
    int clockwise = 0;
    DescribeTurn(game, turn, &side, &clockwise);
    const int s = static_cast<int>(side);
    m_pickedLayer = s;
    ++m_hints;
    const char* way = clockwise == 1 ? "clockwise" : clockwise == 2 ? "half round" : "anticlockwise";
    Say(std::string("Hint: turn the ") + kSideWords[s] + " layer " + way + " (" + kViewFaceLetters[s] +
        kSymbols[clockwise] + ").");
}

UiOutput CompanionStrip::HintKey(std::int64_t nowMs) {
    return Press(StripControl::Hint, nowMs);
}

UiOutput CompanionStrip::UndoKey(std::int64_t nowMs) {
    return Press(StripControl::Undo, nowMs);
}

UiOutput CompanionStrip::RedoKey(std::int64_t nowMs) {
    return Press(StripControl::Redo, nowMs);
}

StripControlState CompanionStrip::Control(StripControl control) const {
    const PuzzleGame& game = Game();
    const ControlText& text = kControlTexts[static_cast<int>(control)];
    StripControlState s{text.label, text.name, !m_confirming, !game.m_stylusHeld, false};
    switch (control) {
        case StripControl::Undo:
            s.enabled = s.enabled && CanUndo(game);
            break;
        case StripControl::Redo:
            s.enabled = s.enabled && CanRedo(game);
            break;
        case StripControl::Restart:
            s.enabled = s.enabled && CanRestart(game);
            break;
        case StripControl::Shuffle:
        case StripControl::Share:
            break;
        case StripControl::LayerUp:
        case StripControl::LayerDown:
        case StripControl::LayerLeft:
        case StripControl::LayerRight:
        case StripControl::LayerFront:
        case StripControl::LayerBack:
            s.selected = m_pickedLayer == static_cast<int>(control) - static_cast<int>(StripControl::LayerUp);
            break;
        case StripControl::Clockwise:
        case StripControl::Anticlockwise:
        case StripControl::HalfTurn:
            s.enabled = s.enabled && m_pickedLayer >= 0;
            break;
        case StripControl::Hint:
            break;
        case StripControl::TimeShown:
            s.selected = !m_timeHidden;
            break;
        case StripControl::Best:
        case StripControl::Keys:
            s.selected = m_shownPanel == control;
            break;
        case StripControl::ShuffleYes:
        case StripControl::ShuffleNo:
            s.shown = m_confirming;
            s.enabled = true;
            break;
    }
    return s;
}

std::string CompanionStrip::StatusLine() const {
    if (m_confirming) {
        return "Throw this game away and shuffle?";
    }
    const int moves = MoveCount(Game());
    std::string line = std::to_string(moves) + (moves == 1 ? " move" : " moves");
    if (!m_timeHidden) {
        line += "  " + FormatTime(m_elapsedMs);
    }
    return line;
}

std::string CompanionStrip::ShareLink() {
    std::string link;
    std::string problem;
    if (!MakeLink(Game(), &m_linkBase, &link, &problem)) {
        Say(problem);
        return {};
    }
    return link;
}

std::string CompanionStrip::SaveText() const {
    StripSave save;
    std::string problem;
    if (!MakeLink(Game(), &m_linkBase, &save.link, &problem)) {
        return {};  // too long to keep as a link: the last save stands
    }
    std::memcpy(&save.scaleBits, &Game().m_scale, sizeof save.scaleBits);
    save.elapsedMs = m_elapsedMs;
    save.clockRunning = m_running;
    save.solvedShown = m_solvedCounted;
    save.timeHidden = m_timeHidden;
    save.hints = m_hints;
    save.best = m_best;
    return WriteSave(save);
}

const char* CompanionStrip::KeysText() {
    return kKeysText;
}
