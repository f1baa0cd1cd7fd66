#include "shell/handheld/layout.h"

#include "shell/commands.h"

namespace {

constexpr int kMenuBarButtonWidth = kScreenWidth / kMenuBarButtonCount;

constexpr PopupItem kNewItems[] = {{"Shuffle", IDM_SHUFFLE}, {"Change Skin", IDM_CHANGE_SKIN}};
constexpr PopupItem kQuitItems[] = {{"Yes", IDM_QUIT_YES}, {"No", IDM_QUIT_NO}};

struct PopupSpec {
    const PopupItem* items;
    int count;
    int width;
};
constexpr PopupSpec kPopups[] = {{kNewItems, 2, 110}, {kQuitItems, 2, 64}};

}  // namespace

const MenuBarButton kMenuBarButtons[kMenuBarButtonCount] = {
    {"New", IDM_NEW, kPopupNew},    {"Size", IDM_SIZE, kNoPopup},   {"Help", IDM_HELP, kNoPopup},
    {"About", IDM_ABOUT, kNoPopup}, {"Quit", IDM_QUIT, kPopupQuit},
};

const ButtonSpec kButtons[kHostButtonCount] = {
    {HostButton::Shuffle, "Shuffle", {0, 0, 120, 20}}, {HostButton::NewSkin, "New Skin", {120, 0, 120, 20}},
    {HostButton::SizeDown, "-", {0, 212, 30, 20}},     {HostButton::SizeUp, "+", {0, 231, 30, 20}},
    {HostButton::SizeOk, "OK", {0, 250, 30, 20}},
};

Rect MenuBarButtonRect(int index) {
    return Rect{kMenuBar.x + index * kMenuBarButtonWidth, kMenuBar.y, kMenuBarButtonWidth, kMenuBar.h};
}

int MenuBarButtonAt(int x, int y) {
    for (int i = 0; i < kMenuBarButtonCount; ++i) {
        if (MenuBarButtonRect(i).Contains(x, y)) {
            return i;
        }
    }
    return -1;
}

int PopupItemCount(int popup) {
    return kPopups[popup].count;
}

const PopupItem& PopupItemOf(int popup, int item) {
    return kPopups[popup].items[item];
}

Rect PopupRect(int popup) {
    const PopupSpec& entry = kPopups[popup];
    const int h = entry.count * kPopupItemHeight + 2;
    // Under its button, kept on the screen.
    int owner = 0;
    for (int i = 0; i < kMenuBarButtonCount; ++i) {
        if (kMenuBarButtons[i].popup == popup) {
            owner = i;
        }
    }
    int x = MenuBarButtonRect(owner).x;
    if (x + entry.width > kScreenWidth) {
        x = kScreenWidth - entry.width;
    }
    return Rect{x, kMenuBar.y - h, entry.width, h};
}

Rect PopupItemRect(int popup, int item) {
    const Rect r = PopupRect(popup);
    return Rect{r.x + 1, r.y + 1 + item * kPopupItemHeight, r.w - 2, kPopupItemHeight};
}

int PopupItemAt(int popup, int x, int y) {
    for (int i = 0; i < PopupItemCount(popup); ++i) {
        if (PopupItemRect(popup, i).Contains(x, y)) {
            return i;
        }
    }
    return -1;
}

const ButtonSpec& ButtonSpecOf(HostButton button) {
    return kButtons[static_cast<int>(button)];
}
