// Where everything lies on the handheld's 240 x 320 screen, in screen pixels.
#pragma once

#include <cstdint>

#include "platform/host.h"

struct Rect {
    int x;
    int y;
    int w;
    int h;

    [[nodiscard]] constexpr bool Contains(int px, int py) const {
        return px >= x && px < x + w && py >= y && py < y + h;
    }
};

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;
constexpr int kMinScale = 1;
constexpr int kMaxScale = 4;
constexpr int kDefaultScale = 2;

// The largest scale up to the one asked for at which the screen fits in width x height
// pixels; the smallest scale when none does.
constexpr int FitScale(int asked, int width, int height) {
    int scale = asked;
    while (scale > kMinScale && (kScreenWidth * scale > width || kScreenHeight * scale > height)) {
        --scale;
    }
    return scale;
}

// The main window sits under the title bar and reaches below the menu bar, as on the
// device: the menu bar hides the frame's last two rows.
constexpr Rect kTitleBar{0, 0, kScreenWidth, 26};
constexpr Rect kMainWindow{0, 26, 240, 270};
constexpr Rect kMenuBar{0, kScreenHeight - 26, kScreenWidth, 26};

// The menu bar: five equal buttons; "New" and "Quit" drop a popup.
constexpr int kMenuBarButtonCount = 5;
constexpr int kNoPopup = -1;
struct MenuBarButton {
    const char* caption;
    int command;
    int popup;  // kNoPopup, or the popup it opens
};
extern const MenuBarButton kMenuBarButtons[kMenuBarButtonCount];
Rect MenuBarButtonRect(int index);
int MenuBarButtonAt(int x, int y);  // -1 when none

// The two popups open above the menu bar, under the button that opens them.
constexpr int kPopupNew = 0;
constexpr int kPopupQuit = 1;
constexpr int kPopupItemHeight = 22;
struct PopupItem {
    const char* caption;
    int command;
};
int PopupItemCount(int popup);
const PopupItem& PopupItemOf(int popup, int item);
Rect PopupRect(int popup);
Rect PopupItemRect(int popup, int item);
int PopupItemAt(int popup, int x, int y);  // -1 when none

// The five buttons, at fixed screen positions, in the order they are created.
struct ButtonSpec {
    HostButton button;
    const char* caption;
    Rect rect;
};
extern const ButtonSpec kButtons[kHostButtonCount];
const ButtonSpec& ButtonSpecOf(HostButton button);

// The texts of the title bar and the About box; --version says the version line too.
constexpr const char* kTitleText = "Vexal Mini";
constexpr const char* kAboutTitle = "About VexalMini";
// The About box and --version say the same; VEXAL_VERSION is project()'s version, set by the build.
constexpr const char* kVersionLine = "VexalMini Version " VEXAL_VERSION;
constexpr const char* kAcknowledgement =
    "The Vexal puzzle and its name belong to their rights holder; acknowledged with thanks.";
constexpr const char* kSoftwareNotice = "Software (c) the VexalMini authors. All rights reserved.";

// The About box fills the screen; its title bar carries the Done button ("ok"). Its three
// texts wrap from kAboutTextX, each from its own line below the title bar.
constexpr Rect kAboutDone{204, 3, 32, 20};
constexpr Rect kAboutIcon{8, 54, 32, 32};
constexpr int kAboutTextX = 51;
constexpr int kAboutTextTops[3] = {16, 41, 86};  // version, acknowledgement, notice

// The Pocket PC look, as 0xRRGGBB: a blue title bar, a light menu bar, black on white controls.
struct ChromeColours {
    std::uint32_t titleTop;
    std::uint32_t titleBottom;
    std::uint32_t white;
    std::uint32_t black;
    std::uint32_t menuBarFace;
    std::uint32_t menuBarLine;
    std::uint32_t menuBarSeparator;
    std::uint32_t highlight;
};
constexpr ChromeColours kChrome{0x2E5CB8, 0x0B2D7A, 0xFFFFFF, 0x000000, 0xDCE4F0, 0x6C82B0, 0xA8B8D0, 0x0B2D7A};
// Text heights in screen pixels: the title bar's (bold), the menus' and buttons', the About box's.
constexpr int kTitleFontPixels = 13;
constexpr int kMenuFontPixels = 12;
constexpr int kBodyFontPixels = 11;

// Screen to main-window client coordinates for the stylus. A captured point left of or
// above the window stops at its edge (0): the game takes the message's unsigned 16 bits,
// where it would come out near 65535 and a drag crossing the edge would flip the puzzle.
constexpr int ClientX(int screenX) {
    return screenX > kMainWindow.x ? screenX - kMainWindow.x : 0;
}
constexpr int ClientY(int screenY) {
    return screenY > kMainWindow.y ? screenY - kMainWindow.y : 0;
}

// Window pixel to screen pixel at a scale; rounds toward minus infinity so that a pixel
// left of the window belongs to the screen pixel left of it.
constexpr int ScreenFromWindow(int windowPixel, int scale) {
    return windowPixel >= 0 ? windowPixel / scale : -((-windowPixel + scale - 1) / scale);
}
