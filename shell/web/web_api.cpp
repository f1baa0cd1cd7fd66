#include "shell/web/web_api.h"

#include <emscripten/emscripten.h>

#include <memory>
#include <vector>

#include "model/puzzle.h"
#include "platform/soft_canvas.h"
#include "render/frame.h"
#include "shell/commands.h"
#include "shell/handheld/icon.h"
#include "shell/handheld/layout.h"
#include "shell/handheld/ui.h"

namespace {

constexpr int kLayoutRects = 3 + kMenuBarButtonCount + 2 + 4 + kHostButtonCount + 2;

struct Page {
    std::unique_ptr<ShellUi> ui;  // the game and its window system, made afresh by every start
    SoftCanvas canvas;
    std::uint8_t rgba[kFrameWidth * kFrameHeight * 4] = {};
    std::int32_t state[kStateCount] = {};
    std::int32_t layout[kLayoutRects * 4 + 2] = {};
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

int Follow(const UiOutput& out) {
    Page& page = ThePage();
    int result = 0;
    if (out.quit) {
        // The page stays; the game ends, and nothing reaches it until the next start.
        page.ended = true;
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
    return result;
}

void PutRect(std::int32_t*& at, const Rect& r) {
    *at++ = r.x;
    *at++ = r.y;
    *at++ = r.w;
    *at++ = r.h;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int vexal_start(int hasSeed, std::uint32_t seed) {
    Page& page = ThePage();
    page.ui = std::make_unique<ShellUi>(hasSeed != 0 ? seed : MakeTimeSeed(nullptr));
    page.ended = false;
    page.start = page.ui->Game();
    page.started = true;
    return Compose(page);
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
    static constexpr UiKey kKeys[] = {UiKey::CtrlA, UiKey::CtrlQ, UiKey::Help, UiKey::Escape,
                                      UiKey::Enter, UiKey::Up,    UiKey::Down};
    if (ThePage().ended || key < 0 || key >= static_cast<int>(sizeof kKeys / sizeof kKeys[0])) {
        return 0;
    }
    return Follow(ThePage().ui->Key(kKeys[key]));
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

EMSCRIPTEN_KEEPALIVE const std::int32_t* vexal_layout() {
    std::int32_t* at = ThePage().layout;
    PutRect(at, kTitleBar);
    PutRect(at, kMainWindow);
    PutRect(at, kMenuBar);
    for (int i = 0; i < kMenuBarButtonCount; ++i) {
        PutRect(at, MenuBarButtonRect(i));
    }
    for (const int popup : {kPopupNew, kPopupQuit}) {
        PutRect(at, PopupRect(popup));
    }
    for (const int popup : {kPopupNew, kPopupQuit}) {
        for (int item = 0; item < PopupItemCount(popup); ++item) {
            PutRect(at, PopupItemRect(popup, item));
        }
    }
    for (int i = 0; i < kHostButtonCount; ++i) {
        PutRect(at, ButtonSpecOf(static_cast<HostButton>(i)).rect);
    }
    PutRect(at, kAboutDone);
    PutRect(at, kAboutIcon);
    *at++ = kScreenWidth;
    *at = kScreenHeight;
    return ThePage().layout;
}

EMSCRIPTEN_KEEPALIVE const char* vexal_text(int index) {
    switch (index) {
        case kTextTitle:
            return kTitleText;
        case kTextAboutTitle:
            return kAboutTitle;
        case kTextVersion:
            return kVersionLine;
        case kTextAcknowledgement:
            return kAcknowledgement;
        case kTextNotice:
            return kSoftwareNotice;
        case kTextHelpCommand:
            return kHelpCommandTarget;
        case kTextHelpKey:
            return kHelpKeyTarget;
        default:
            break;
    }
    if (index >= kTextMenuBar && index < kTextMenuBar + kMenuBarButtonCount) {
        return kMenuBarButtons[index - kTextMenuBar].caption;
    }
    if (index >= kTextPopupItem && index < kTextButton) {
        const int n = index - kTextPopupItem;
        return PopupItemOf(n / 2, n % 2).caption;
    }
    if (index >= kTextButton && index < kTextCount) {
        return ButtonSpecOf(static_cast<HostButton>(index - kTextButton)).caption;
    }
    return "";
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
