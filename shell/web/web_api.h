// The browser shell's C API: what the page's JavaScript calls, exported from the WebAssembly
// module. Screen coordinates are the handheld's 240 x 320 pixels; the JavaScript only turns
// pointer events and keys into these calls and paints what they leave behind.
#pragma once

#include <cstdint>

// What an event asks of the page, as bits of the result.
constexpr int kWebFrameChanged = 1;  // a new frame is in vexal_frame(): copy it to the canvas
constexpr int kWebQuit = 2;          // the game has ended (Quit > Yes, Ctrl+Q)
constexpr int kWebHelpCommand = 4;   // open the Help command's page (vexal_text(kTextHelpCommand))
constexpr int kWebHelpKey = 8;       // open F1's page (vexal_text(kTextHelpKey))

// Keys the page passes on, as ShellUi knows them.
constexpr int kWebKeyCtrlA = 0;
constexpr int kWebKeyCtrlQ = 1;
constexpr int kWebKeyHelp = 2;
constexpr int kWebKeyEscape = 3;
constexpr int kWebKeyEnter = 4;
constexpr int kWebKeyUp = 5;
constexpr int kWebKeyDown = 6;

// The texts of vexal_text, by index.
enum WebText : std::uint8_t {
    kTextTitle,
    kTextAboutTitle,
    kTextVersion,
    kTextAcknowledgement,
    kTextNotice,
    kTextHelpCommand,
    kTextHelpKey,
    kTextMenuBar,                       // + menu-bar button 0..4
    kTextPopupItem = kTextMenuBar + 5,  // + popup * 2 + item
    kTextButton = kTextPopupItem + 4,   // + HostButton 0..4
    kTextCount = kTextButton + 5,
};

// The chrome's state, as ints at vexal_state(), by index.
enum WebState : std::uint8_t {
    kStateEnded,                        // 1 once the game has ended
    kStateOpenPopup,                    // -1, or the popup open
    kStateHotItem,                      // -1, or the item lit in it
    kStateAboutOpen,                    // 1 while the About box is up
    kStateAboutDonePressed,             // 1 while its "ok" is held
    kStatePressedMenuBar,               // -1, or the menu-bar button drawn pressed
    kStateZOrder,                       // + 0..4: HostButton values, bottom to top
    kStateVisible = kStateZOrder + 5,   // + HostButton: 1 when shown
    kStatePressed = kStateVisible + 5,  // + HostButton: 1 while held under the pointer
    kStateCount = kStatePressed + 5,
};

extern "C" {
// A new game: seeded with seed when hasSeed is 1, else from the clock as the device seeds it.
// Returns kWebFrameChanged.
int vexal_start(int hasSeed, std::uint32_t seed);
int vexal_pointer_down(int x, int y);
int vexal_pointer_move(int x, int y);
int vexal_pointer_up(int x, int y);
int vexal_key(int key);
// The last frame, 240 x 270 pixels of 4 bytes (red, green, blue, 255), rows top to bottom.
const std::uint8_t* vexal_frame();
const std::int32_t* vexal_state();
// The layout as ints, x y w h each: title bar, main window, menu bar, the five menu-bar
// buttons, the two popups, their two items each, the five buttons (by HostButton), the About
// box's "ok" and its icon. Then the screen's width and height.
const std::int32_t* vexal_layout();
const char* vexal_text(int index);
// The game's icon, size x size pixels of 4 bytes with transparency, drawn from the last
// start's frame whatever has moved since.
const std::uint8_t* vexal_icon(int size);
}
