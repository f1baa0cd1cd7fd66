#include "shell/handheld/ui.h"

#include "shell/handheld/layout.h"

ShellUi::ShellUi(std::uint32_t seed) : m_game(seed, this) {
    for (int i = 0; i < kHostButtonCount; ++i) {
        m_zOrder[i] = kButtons[i].button;
    }
}

void ShellUi::InvalidateFrame() {
    m_needsPaint = true;
}

void ShellUi::ShowButton(HostButton button, bool show) {
    m_visible[Index(button)] = show;
    if (show) {
        // Showing a window activates it, which brings it to the top.
        int at = 0;
        while (m_zOrder[at] != button) {
            ++at;
        }
        for (; at + 1 < kHostButtonCount; ++at) {
            m_zOrder[at] = m_zOrder[at + 1];
        }
        m_zOrder[kHostButtonCount - 1] = button;
    }
    m_needsPaint = true;
}

LocalTime ShellUi::GetLocalTime() {
    return LocalTimeOf(nullptr);
}

int ShellUi::TopButtonAt(int x, int y) const {
    for (int i = kHostButtonCount - 1; i >= 0; --i) {
        const HostButton b = m_zOrder[i];
        if (m_visible[Index(b)] && ButtonSpecOf(b).rect.Contains(x, y)) {
            return Index(b);
        }
    }
    return -1;
}

bool ShellUi::OverTrackedControl(int x, int y) const {
    switch (m_track) {
        case Track::MenuBar:
            return MenuBarButtonAt(x, y) == m_trackIndex;
        case Track::Button:
            return TopButtonAt(x, y) == m_trackIndex;
        case Track::AboutDone:
            return kAboutDone.Contains(x, y);
        default:
            return false;
    }
}

void ShellUi::Apply(ShellAction action, UiOutput* out) {
    switch (action) {
        case ShellAction::Invalidate:
            m_needsPaint = true;
            break;
        case ShellAction::PaintNow:
            out->paintNow = true;
            break;
        case ShellAction::OpenAbout:
            SetAbout(true);
            break;
        case ShellAction::OpenHelp:
            out->helpTarget = kHelpCommandTarget;
            break;
        case ShellAction::PostQuit:
        case ShellAction::Close:
            out->quit = true;
            break;
        case ShellAction::None:
        case ShellAction::Default:
            break;
    }
}

void ShellUi::RunCommandId(int command, UiOutput* out) {
    Apply(RunCommand(m_game, command), out);
}

void ShellUi::SetPopup(int popup, int hot) {
    if (m_popup != popup || m_hotItem != hot) {
        m_popup = popup;
        m_hotItem = hot;
        m_needsPaint = true;
    }
}

void ShellUi::SetAbout(bool open) {
    SetPopup(-1, -1);
    m_aboutOpen = open;
    m_needsPaint = true;
}

UiOutput ShellUi::PointerDown(int x, int y) {
    UiOutput out;
    if (m_track == Track::Stylus) {
        // The release of the last drag never came; end it before anything else.
        out = PointerUp(x, y);
    }
    m_track = Track::None;
    m_trackIndex = -1;
    if (m_aboutOpen) {
        // Modal: only its Done button answers.
        if (kAboutDone.Contains(x, y)) {
            m_track = Track::AboutDone;
        }
    } else if (m_popup != -1) {
        const int item = PopupItemAt(m_popup, x, y);
        const int bar = MenuBarButtonAt(x, y);
        if (item != -1) {
            m_track = Track::PopupItem;
            SetPopup(m_popup, item);
        } else if (bar != -1 && kMenuBarButtons[bar].popup != kNoPopup && kMenuBarButtons[bar].popup != m_popup) {
            m_track = Track::MenuBar;
            m_trackIndex = bar;
            SetPopup(kMenuBarButtons[bar].popup, -1);
        } else {
            // A tap outside the popup, or on its own button, only closes it.
            SetPopup(-1, -1);
        }
    } else if (const int button = TopButtonAt(x, y); button != -1) {
        m_track = Track::Button;
        m_trackIndex = button;
    } else if (const int bar = MenuBarButtonAt(x, y); bar != -1) {
        m_track = Track::MenuBar;
        m_trackIndex = bar;
        // A drop-down opens its popup at once; a plain button acts on release, over itself.
        if (kMenuBarButtons[bar].popup != kNoPopup &&
            RunCommand(m_game, kMenuBarButtons[bar].command) == ShellAction::Default) {
            SetPopup(kMenuBarButtons[bar].popup, -1);
        }
    } else if (kMainWindow.Contains(x, y)) {
        m_track = Track::Stylus;
        m_hasLastMove = false;
        out.capture = 1;
        m_game.StylusDown(ClientX(x), ClientY(y));
    }
    m_trackInside = m_track != Track::None;
    m_needsPaint = m_needsPaint || m_track != Track::None;
    return out;
}

UiOutput ShellUi::PointerMove(int x, int y) {
    UiOutput out;
    if (m_track == Track::Stylus) {
        // A move to the same pixel is no move: the touch panel reports only changes, and the
        // window system may repeat a point when the pointer crosses the window's edge.
        const bool same = m_hasLastMove && x == m_lastMoveX && y == m_lastMoveY;
        m_hasLastMove = true;
        m_lastMoveX = x;
        m_lastMoveY = y;
        // While the About box is up the main window sees no moves; the release still ends the drag.
        if (!same && !m_aboutOpen) {
            out.paintNow = m_game.StylusMove(ClientX(x), ClientY(y));
        }
        return out;
    }
    if (m_popup != -1 && (m_track == Track::None || m_track == Track::PopupItem || m_track == Track::MenuBar)) {
        SetPopup(m_popup, PopupItemAt(m_popup, x, y));
    }
    if (m_track == Track::MenuBar || m_track == Track::Button || m_track == Track::AboutDone) {
        const bool inside = OverTrackedControl(x, y);
        if (inside != m_trackInside) {
            m_trackInside = inside;
            m_needsPaint = true;
        }
    } else if (m_track == Track::None && !m_aboutOpen && m_popup == -1 && TopButtonAt(x, y) == -1 &&
               MenuBarButtonAt(x, y) == -1 && kMainWindow.Contains(x, y)) {
        // Hovering: the main window hears it, and the game ignores a move with no stylus held.
        out.paintNow = m_game.StylusMove(ClientX(x), ClientY(y));
    }
    return out;
}

UiOutput ShellUi::PointerUp(int x, int y) {
    UiOutput out;
    const Track track = m_track;
    const int index = m_trackIndex;
    const bool inside = OverTrackedControl(x, y);
    m_track = Track::None;
    m_trackIndex = -1;
    m_trackInside = false;
    switch (track) {
        case Track::Stylus:
            out.capture = -1;
            m_game.StylusUp();
            break;
        case Track::Button:
            m_needsPaint = true;
            if (inside && m_visible[index]) {
                Apply(PressButton(m_game, kButtons[index].button), &out);
            }
            break;
        case Track::MenuBar:
            m_needsPaint = true;
            if (kMenuBarButtons[index].popup == kNoPopup) {
                if (inside) {
                    RunCommandId(kMenuBarButtons[index].command, &out);
                }
                break;
            }
            [[fallthrough]];  // dragged from a drop-down button onto its popup
        case Track::PopupItem:
            if (m_popup != -1) {
                const int item = PopupItemAt(m_popup, x, y);
                if (item != -1) {
                    const int command = PopupItemOf(m_popup, item).command;
                    SetPopup(-1, -1);
                    RunCommandId(command, &out);
                }
            }
            break;
        case Track::AboutDone:
            m_needsPaint = true;
            if (inside) {
                SetAbout(false);
            }
            break;
        case Track::None:
            break;
    }
    return out;
}

char ShortcutLetter(std::uint32_t typed, char placeLetter) {
    if (typed >= 'a' && typed <= 'z') {
        return static_cast<char>(typed - 'a' + 'A');
    }
    if (typed >= 'A' && typed <= 'Z') {
        return static_cast<char>(typed);
    }
    if (typed != 0 && typed < 0x80) {
        return '\0';
    }
    return placeLetter >= 'A' && placeLetter <= 'Z' ? placeLetter : '\0';
}

UiOutput ShellUi::Key(UiKey key) {
    UiOutput out;
    if (m_aboutOpen) {
        if (key == UiKey::Escape || key == UiKey::Enter) {
            SetAbout(false);
        }
        return out;
    }
    if (m_popup != -1) {
        const int count = PopupItemCount(m_popup);
        switch (key) {
            case UiKey::Up:
                SetPopup(m_popup, m_hotItem <= 0 ? count - 1 : m_hotItem - 1);
                return out;
            case UiKey::Down:
                SetPopup(m_popup, m_hotItem + 1 >= count ? 0 : m_hotItem + 1);
                return out;
            case UiKey::Enter:
                if (m_hotItem != -1) {
                    const int command = PopupItemOf(m_popup, m_hotItem).command;
                    SetPopup(-1, -1);
                    RunCommandId(command, &out);
                }
                return out;
            default:
                // Any other key closes the popup; an accelerator then still runs.
                SetPopup(-1, -1);
                break;
        }
    }
    switch (key) {
        case UiKey::CtrlA:
            RunCommandId(IDM_ABOUT, &out);
            break;
        case UiKey::CtrlQ:
            RunCommandId(IDM_CLOSE, &out);
            break;
        case UiKey::Help:
            out.helpTarget = kHelpKeyTarget;
            break;
        default:
            break;
    }
    return out;
}

int ShellUi::PressedMenuBarButton() const {
    if (m_track == Track::MenuBar && m_trackInside && kMenuBarButtons[m_trackIndex].popup == kNoPopup) {
        return m_trackIndex;
    }
    // A drop-down button stays lit while its popup is open.
    for (int i = 0; i < kMenuBarButtonCount; ++i) {
        if (m_popup != -1 && kMenuBarButtons[i].popup == m_popup) {
            return i;
        }
    }
    return -1;
}

bool ShellUi::IsButtonPressed(HostButton button) const {
    return m_track == Track::Button && m_trackInside && m_trackIndex == Index(button);
}

bool ShellUi::IsAboutDonePressed() const {
    return m_track == Track::AboutDone && m_trackInside;
}
