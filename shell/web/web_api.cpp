#include "shell/web/web_api.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "model/puzzle.h"
#include "platform/soft_canvas.h"
#include "render/frame.h"
#include "shell/commands.h"
#include "shell/handheld/icon.h"
#include "shell/handheld/layout.h"
#include "shell/handheld/strip.h"
#include "shell/handheld/ui.h"

namespace {

struct Page {
    std::unique_ptr<ShellUi> ui;            // the game and its window system, made afresh by every start
    std::unique_ptr<CompanionStrip> strip;  // with vexal_open only
    double clockBase = 0;                   // performance.now() when the strip opened: its clock counts from there
    bool visible = true;
    std::string textIn[2];  // the link and the kept game, for vexal_open
    std::string textOut;
    std::int32_t stripState[kStripControlCount] = {};
    SoftCanvas canvas;
    std::uint8_t rgba[kFrameWidth * kFrameHeight * 4] = {};
    std::int32_t state[kStateCount] = {};
    std::vector<std::uint8_t> icon;
    // The game as it started, from which the About box's icon is drawn again at every new scale.
    PuzzleGame start{0, nullptr};
    bool started = false;
    bool ended = true;  // until the first start
};

// The page's one game lives here: the exported functions are the page's only way in.
Page& ThePage() {
    static const std::unique_ptr<Page> page = std::make_unique<Page>();
    return *page;
}

// Painting builds the draw order that the next press searches, so a frame is composed
// whenever the device would paint one, before the next event: not only when the page shows it.
int Compose(Page& page) {
    ComposeFrame(page.ui->Game(), page.canvas);
    const std::uint8_t* rgb = page.canvas.Rgb();
    for (int i = 0; i < kFrameWidth * kFrameHeight; ++i) {
        page.rgba[i * 4] = rgb[i * 3];
        page.rgba[i * 4 + 1] = rgb[i * 3 + 1];
        page.rgba[i * 4 + 2] = rgb[i * 3 + 2];
        page.rgba[i * 4 + 3] = 255;
    }
    page.ui->Painted();
    return kWebFrameChanged;
}

std::int64_t Now(const Page& page) {
    return static_cast<std::int64_t>(emscripten_get_now() - page.clockBase);
}

// The strip's clock runs while the page shows and the game has not ended.
void ShowStrip(Page& page) {
    if (page.strip != nullptr) {
        page.strip->SetVisible(page.visible && !page.ended, Now(page));
    }
}

int StripResult(Page& page) {
    if (page.strip == nullptr || !page.strip->NeedsDraw()) {
        return 0;
    }
    page.strip->Drawn();  // the page draws it at once
    return kWebStripChanged;
}

int Follow(const UiOutput& out) {
    Page& page = ThePage();
    int result = 0;
    if (page.strip != nullptr) {
        page.strip->AfterEvent(Now(page));
    }
    if (out.quit) {
        // The page stays; the game ends, and nothing reaches it until the next start.
        page.ended = true;
        ShowStrip(page);
        result |= kWebQuit;
    }
    if (out.helpTarget == kHelpCommandTarget) {
        result |= kWebHelpCommand;
    } else if (out.helpTarget == kHelpKeyTarget) {
        result |= kWebHelpKey;
    }
    if (!page.ended && (out.paintNow || page.ui->NeedsPaint())) {
        result |= Compose(page);
    }
    return result | StripResult(page);
}

// The page's names for the strip's controls, in StripControl order, and whether a control is
// one that stays pressed (a layer chosen, the time shown, a panel open).
struct ControlId {
    const char* id;
    bool toggle;
};
constexpr ControlId kControlIds[kStripControlCount] = {
    {"undo", false},      {"redo", false},     {"restart", false},   {"shuffle", false},       {"share", false},
    {"hint", false},      {"layerUp", true},   {"layerDown", true},  {"layerLeft", true},      {"layerRight", true},
    {"layerFront", true}, {"layerBack", true}, {"clockwise", false}, {"anticlockwise", false}, {"halfTurn", false},
    {"time", true},       {"best", true},      {"keys", true},       {"shuffleYes", false},    {"shuffleNo", false}};

// The letters of the whole-puzzle turns, after the six sides' (kViewFaceLetters), and the sides
// they turn as.
constexpr char kWholeTurnLetters[] = "XYZ";
constexpr ViewFace kWholeTurnSides[3] = {ViewFace::Right, ViewFace::Up, ViewFace::Front};
static_assert(kWebStripKeyWhole == kViewFaceCount && kWebStripKeyUndo == kWebStripKeyWhole + 3);

// The description's writer: a JSON object built once from the game's own constants.
class Json {
public:
    Json& Key(const char* name) {
        Comma();
        m_out += '"';
        m_out += name;
        m_out += "\":";
        m_fresh = true;
        return *this;
    }
    Json& Open(char bracket) {
        Comma();
        m_out += bracket;
        m_fresh = true;
        return *this;
    }
    Json& Close(char bracket) {
        m_out += bracket;
        m_fresh = false;
        return *this;
    }
    Json& Int(long long v) {
        Comma();
        m_out += std::to_string(v);
        return *this;
    }
    // Texts of the game's own: no quote, backslash or control character in them.
    Json& Text(const char* text) {
        Comma();
        m_out += '"';
        m_out += text;
        m_out += '"';
        return *this;
    }
    // "#rrggbb", without printf: it would bring its whole library into the module.
    Json& Colour(std::uint32_t rgb) {
        char buf[8] = "#";
        for (int i = 0; i < 6; ++i) {
            buf[1 + i] = "0123456789abcdef"[(rgb >> static_cast<unsigned>(20 - 4 * i)) & 15U];
        }
        return Text(buf);
    }
    Json& RectValue(const Rect& r) {
        return Open('{').Key("x").Int(r.x).Key("y").Int(r.y).Key("w").Int(r.w).Key("h").Int(r.h).Close('}');
    }
    Json& Named(const char* name, long long v) { return Key(name).Int(v); }
    [[nodiscard]] const std::string& Out() const { return m_out; }

private:
    void Comma() {
        if (!m_fresh && !m_out.empty()) {
            m_out += ',';
        }
        m_fresh = false;
    }

    std::string m_out;
    bool m_fresh = true;
};

std::string Describe() {
    Json j;
    j.Open('{');
    j.Key("result").Open('{').Named("frameChanged", kWebFrameChanged).Named("quit", kWebQuit);
    j.Named("helpCommand", kWebHelpCommand).Named("helpKey", kWebHelpKey).Named("stripChanged", kWebStripChanged);
    j.Named("saveBad", kWebSaveBad).Named("saveNewer", kWebSaveNewer).Close('}');
    j.Key("keys").Open('{').Named("ctrlA", kWebKeyCtrlA).Named("ctrlQ", kWebKeyCtrlQ).Named("help", kWebKeyHelp);
    j.Named("escape", kWebKeyEscape).Named("enter", kWebKeyEnter).Named("up", kWebKeyUp).Named("down", kWebKeyDown);
    j.Close('}');
    j.Key("state").Open('{').Named("ended", kStateEnded).Named("popup", kStateOpenPopup).Named("hot", kStateHotItem);
    j.Named("about", kStateAboutOpen).Named("donePressed", kStateAboutDonePressed);
    j.Named("barPressed", kStatePressedMenuBar).Named("zOrder", kStateZOrder).Named("visible", kStateVisible);
    j.Named("pressed", kStatePressed).Named("count", kStateCount).Close('}');

    j.Key("layout").Open('{');
    j.Key("titleBar").RectValue(kTitleBar).Key("main").RectValue(kMainWindow).Key("menuBar").RectValue(kMenuBar);
    j.Key("bar").Open('[');
    for (int i = 0; i < kMenuBarButtonCount; ++i) {
        j.RectValue(MenuBarButtonRect(i));
    }
    j.Close(']').Key("popups").Open('[');
    for (const int popup : {kPopupNew, kPopupQuit}) {
        j.RectValue(PopupRect(popup));
    }
    j.Close(']').Key("items").Open('[');
    for (const int popup : {kPopupNew, kPopupQuit}) {
        j.Open('[');
        for (int item = 0; item < PopupItemCount(popup); ++item) {
            j.RectValue(PopupItemRect(popup, item));
        }
        j.Close(']');
    }
    j.Close(']').Key("buttons").Open('[');
    for (int i = 0; i < kHostButtonCount; ++i) {
        j.RectValue(ButtonSpecOf(static_cast<HostButton>(i)).rect);
    }
    j.Close(']');
    j.Key("aboutDone").RectValue(kAboutDone).Key("aboutIcon").RectValue(kAboutIcon);
    j.Key("aboutText").Open('{').Named("x", kAboutTextX).Key("tops").Open('[');
    for (const int top : kAboutTextTops) {
        j.Int(top);
    }
    j.Close(']').Close('}');
    j.Named("width", kScreenWidth).Named("height", kScreenHeight).Close('}');

    j.Key("menu").Open('{').Key("barCaptions").Open('[');
    for (const MenuBarButton& b : kMenuBarButtons) {
        j.Text(b.caption);
    }
    j.Close(']').Key("barPopup").Open('[');
    for (const MenuBarButton& b : kMenuBarButtons) {
        j.Int(b.popup);
    }
    j.Close(']').Key("itemCaptions").Open('[');
    for (const int popup : {kPopupNew, kPopupQuit}) {
        j.Open('[');
        for (int item = 0; item < PopupItemCount(popup); ++item) {
            j.Text(PopupItemOf(popup, item).caption);
        }
        j.Close(']');
    }
    j.Close(']').Key("buttonCaptions").Open('[');
    for (int i = 0; i < kHostButtonCount; ++i) {
        j.Text(ButtonSpecOf(static_cast<HostButton>(i)).caption);
    }
    j.Close(']').Close('}');

    j.Key("text").Open('{').Key("title").Text(kTitleText).Key("aboutTitle").Text(kAboutTitle);
    j.Key("version").Text(kVersionLine).Key("acknowledgement").Text(kAcknowledgement);
    j.Key("notice").Text(kSoftwareNotice).Key("helpCommand").Text(kHelpCommandTarget);
    j.Key("helpKey").Text(kHelpKeyTarget).Close('}');
    j.Key("fonts").Open('{').Named("title", kTitleFontPixels).Named("menu", kMenuFontPixels);
    j.Named("body", kBodyFontPixels).Close('}');
    j.Key("colours").Open('{').Key("titleTop").Colour(kChrome.titleTop).Key("titleBottom").Colour(kChrome.titleBottom);
    j.Key("white").Colour(kChrome.white).Key("black").Colour(kChrome.black);
    j.Key("barFace").Colour(kChrome.menuBarFace).Key("barLine").Colour(kChrome.menuBarLine);
    j.Key("barSeparator").Colour(kChrome.menuBarSeparator).Key("highlight").Colour(kChrome.highlight).Close('}');

    j.Key("strip").Open('{').Key("controls").Open('[');
    ShellUi ui(0);
    const CompanionStrip strip(ui);
    for (int i = 0; i < kStripControlCount; ++i) {
        const StripControlState c = strip.Control(static_cast<StripControl>(i));
        j.Open('{').Key("id").Text(kControlIds[i].id).Key("label").Text(c.label).Key("name").Text(c.name);
        j.Named("toggle", kControlIds[i].toggle ? 1 : 0).Close('}');
    }
    j.Close(']');
    j.Key("bits").Open('{').Named("shown", kWebControlShown).Named("enabled", kWebControlEnabled);
    j.Named("selected", kWebControlSelected).Close('}');
    j.Key("texts").Open('{').Named("status", kWebTextStatus).Named("message", kWebTextMessage);
    j.Named("save", kWebTextSave).Named("share", kWebTextShare).Close('}');
    j.Key("keys").Open('{');
    for (int i = 0; i < kWebStripKeyUndo; ++i) {
        const char upper = i < kWebStripKeyWhole ? kViewFaceLetters[i] : kWholeTurnLetters[i - kWebStripKeyWhole];
        const char name[2] = {static_cast<char>(upper - 'A' + 'a'), '\0'};
        j.Named(name, i);
    }
    j.Named("undo", kWebStripKeyUndo).Named("redo", kWebStripKeyRedo).Named("h", kWebStripKeyHint).Close('}');
    j.Key("keysText").Text(CompanionStrip::KeysText()).Close('}');
    j.Close('}');
    return j.Out();
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int vexal_start(int hasSeed, std::uint32_t seed) {
    Page& page = ThePage();
    page.strip = nullptr;
    page.ui = std::make_unique<ShellUi>(hasSeed != 0 ? seed : MakeTimeSeed(nullptr));
    page.ended = false;
    page.start = page.ui->Game();
    page.started = true;
    return Compose(page);
}

EMSCRIPTEN_KEEPALIVE char* vexal_text_in(int which, int length) {
    if (which < 0 || which > 1 || length < 0 || length > 65536) {
        return nullptr;
    }
    std::string& text = ThePage().textIn[which];
    text.assign(static_cast<std::size_t>(length), '\0');
    return text.data();
}

EMSCRIPTEN_KEEPALIVE int vexal_open(int hasLink, int hasSeed, std::uint32_t seed, int hasSave) {
    Page& page = ThePage();
    page.strip = nullptr;
    page.ui = std::make_unique<ShellUi>(0);
    page.strip = std::make_unique<CompanionStrip>(*page.ui);
    page.clockBase = emscripten_get_now();
    // A zero byte would end the link early and hide what follows it: it is a character out of place.
    std::replace(page.textIn[0].begin(), page.textIn[0].end(), '\0', '?');
    const SaveRead read =
        page.strip->Open(hasLink != 0 ? page.textIn[0].c_str() : nullptr, hasSeed != 0 ? &seed : nullptr,
                         hasSave != 0 ? &page.textIn[1] : nullptr, MakeTimeSeed(nullptr));
    page.textIn[0].clear();
    page.textIn[1].clear();
    page.ended = false;
    ShowStrip(page);
    // The About box's icon is the program's: the puzzle as a new game shows it.
    page.start = PuzzleGame(0, nullptr);
    page.started = true;
    return Compose(page) | StripResult(page) | (read == SaveRead::Bad ? kWebSaveBad : 0) |
           (read == SaveRead::Newer ? kWebSaveNewer : 0);
}

EMSCRIPTEN_KEEPALIVE int vexal_resume() {
    Page& page = ThePage();
    if (page.strip == nullptr) {
        return 0;
    }
    page.ended = false;
    ShowStrip(page);
    return Compose(page) | StripResult(page);
}

EMSCRIPTEN_KEEPALIVE int vexal_pointer_down(int x, int y) {
    return ThePage().ended ? 0 : Follow(ThePage().ui->PointerDown(x, y));
}

EMSCRIPTEN_KEEPALIVE int vexal_pointer_move(int x, int y) {
    return ThePage().ended ? 0 : Follow(ThePage().ui->PointerMove(x, y));
}

EMSCRIPTEN_KEEPALIVE int vexal_pointer_up(int x, int y) {
    return ThePage().ended ? 0 : Follow(ThePage().ui->PointerUp(x, y));
}

EMSCRIPTEN_KEEPALIVE int vexal_key(int key) {
    static constexpr UiKey kKeys[kWebKeyCount] = {UiKey::CtrlA, UiKey::CtrlQ, UiKey::Help, UiKey::Escape,
                                                  UiKey::Enter, UiKey::Up,    UiKey::Down};
    if (ThePage().ended || key < 0 || key >= static_cast<int>(sizeof kKeys / sizeof kKeys[0])) {
        return 0;
    }
    return Follow(ThePage().ui->Key(kKeys[key]));
}

EMSCRIPTEN_KEEPALIVE int vexal_strip_press(int control) {
    Page& page = ThePage();
    if (page.ended || page.strip == nullptr || control < 0 || control >= kStripControlCount) {
        return 0;
    }
    return Follow(page.strip->Press(static_cast<StripControl>(control), Now(page)));
}

EMSCRIPTEN_KEEPALIVE int vexal_strip_key(int key, int shift) {
    Page& page = ThePage();
    if (page.ended || page.strip == nullptr || page.ui->OpenPopup() >= 0 || page.ui->IsAboutOpen()) {
        return 0;
    }
    const bool other = shift != 0;
    const std::int64_t now = Now(page);
    if (key >= 0 && key < kWebStripKeyWhole) {
        return Follow(page.strip->TurnKey(static_cast<ViewFace>(key), other, now));
    }
    if (key >= kWebStripKeyWhole && key < kWebStripKeyUndo) {
        return Follow(page.strip->WholeTurnKey(kWholeTurnSides[key - kWebStripKeyWhole], other, now));
    }
    if (key == kWebStripKeyUndo) {
        return Follow(page.strip->UndoKey(now));
    }
    if (key == kWebStripKeyHint) {
        return Follow(page.strip->HintKey(now));
    }
    return key == kWebStripKeyRedo ? Follow(page.strip->RedoKey(now)) : 0;
}

EMSCRIPTEN_KEEPALIVE int vexal_tick() {
    Page& page = ThePage();
    if (page.strip == nullptr) {
        return 0;
    }
    page.strip->Tick(Now(page));
    return StripResult(page);
}

EMSCRIPTEN_KEEPALIVE int vexal_visible(int visible) {
    Page& page = ThePage();
    page.visible = visible != 0;
    ShowStrip(page);
    return StripResult(page);
}

EMSCRIPTEN_KEEPALIVE const std::int32_t* vexal_strip_state() {
    Page& page = ThePage();
    if (page.strip == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < kStripControlCount; ++i) {
        const StripControlState c = page.strip->Control(static_cast<StripControl>(i));
        page.stripState[i] = (c.shown ? kWebControlShown : 0) | (c.enabled ? kWebControlEnabled : 0) |
                             (c.selected ? kWebControlSelected : 0);
    }
    return page.stripState;
}

EMSCRIPTEN_KEEPALIVE const char* vexal_strip_text(int which) {
    Page& page = ThePage();
    page.textOut.clear();
    if (page.strip != nullptr) {
        switch (which) {
            case kWebTextStatus:
                page.textOut = page.strip->StatusLine();
                break;
            case kWebTextMessage:
                page.textOut = page.strip->MessageLine();
                break;
            case kWebTextSave:
                page.textOut = page.strip->SaveText();
                break;
            case kWebTextShare:
                page.textOut = page.strip->ShareLink();
                break;
            default:
                break;
        }
    }
    return page.textOut.c_str();
}

EMSCRIPTEN_KEEPALIVE const std::uint8_t* vexal_frame() {
    return ThePage().rgba;
}

EMSCRIPTEN_KEEPALIVE const std::int32_t* vexal_state() {
    Page& page = ThePage();
    std::int32_t* s = page.state;
    s[kStateEnded] = page.ended ? 1 : 0;
    if (page.ui == nullptr) {
        return s;
    }
    const ShellUi& ui = *page.ui;
    s[kStateOpenPopup] = ui.OpenPopup();
    s[kStateHotItem] = ui.HotItem();
    s[kStateAboutOpen] = ui.IsAboutOpen() ? 1 : 0;
    s[kStateAboutDonePressed] = ui.IsAboutDonePressed() ? 1 : 0;
    s[kStatePressedMenuBar] = ui.PressedMenuBarButton();
    for (int i = 0; i < kHostButtonCount; ++i) {
        const auto button = static_cast<HostButton>(i);
        s[kStateZOrder + i] = static_cast<int>(ui.ZOrder()[i]);
        s[kStateVisible + i] = ui.IsButtonVisible(button) ? 1 : 0;
        s[kStatePressed + i] = ui.IsButtonPressed(button) ? 1 : 0;
    }
    return s;
}

EMSCRIPTEN_KEEPALIVE const char* vexal_describe() {
    static const std::string description = Describe();
    return description.c_str();
}

EMSCRIPTEN_KEEPALIVE const std::uint8_t* vexal_icon(int size) {
    Page& page = ThePage();
    if (!page.started || size <= 0) {
        return nullptr;  // no game started yet
    }
    page.icon = MakeIconRgba(page.start, size);
    return page.icon.data();
}

}  // extern "C"
