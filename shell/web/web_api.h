// The browser shell's C API: what the page's JavaScript calls, exported from the WebAssembly
// module. Screen coordinates are the handheld's 240 x 320 pixels; the JavaScript only turns
// pointer events and keys into these calls and paints what they leave behind. Everything the
// page needs to know of the game's numbering (the result bits, the keys, the state's slots, the
// layout, the texts, the colours) it reads from vexal_describe(), so nothing is copied by hand.
#pragma once

#include <cstdint>

// What an event asks of the page, as bits of the result.
constexpr int kWebFrameChanged = 1;  // a new frame is in vexal_frame(): copy it to the canvas
constexpr int kWebQuit = 2;          // the game has ended (Quit > Yes, Ctrl+Q)
constexpr int kWebHelpCommand = 4;   // open the Help command's page
constexpr int kWebHelpKey = 8;       // open F1's page

// Keys the page passes on, as ShellUi knows them.
enum WebKey : std::uint8_t {
    kWebKeyCtrlA,
    kWebKeyCtrlQ,
    kWebKeyHelp,
    kWebKeyEscape,
    kWebKeyEnter,
    kWebKeyUp,
    kWebKeyDown,
    kWebKeyCount,
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
// One JSON object, the same for the whole run: "result" (the bits above by name), "keys",
// "state" (the slots of vexal_state by name, and "count"), "layout" (rectangles {x, y, w, h}:
// titleBar, main, menuBar, bar[5], popups[2], items[2][2], buttons[5] by HostButton,
// aboutDone, aboutIcon, aboutText {x, tops[3]}, width, height), "menu" (barCaptions,
// barPopup, itemCaptions, buttonCaptions), "text" (title, aboutTitle, version,
// acknowledgement, notice, helpCommand, helpKey), "fonts" (title, menu, body pixels) and
// "colours" (the chrome's, as "#rrggbb").
const char* vexal_describe();
// The game's icon as it started, size x size pixels of 4 bytes with transparency; null
// before the first start.
const std::uint8_t* vexal_icon(int size);
}
