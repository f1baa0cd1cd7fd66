// The browser shell's C API: what the page's JavaScript calls, exported from the WebAssembly
// module. Screen coordinates are the handheld's 240 x 320 pixels; the JavaScript only turns
// pointer events and keys into these calls and paints what they leave behind. Everything the
// page needs to know of the game's numbering (the result bits, the keys, the state's slots, the
// layout, the texts, the colours, the strip's controls) it reads from vexal_describe(), so
// nothing is copied by hand. The companion strip (shell/handheld/strip.h) is there when the
// page opens its game with vexal_open; vexal_start is the handheld alone, as it always was.
#pragma once

#include <cstdint>

// What an event asks of the page, as bits of the result.
constexpr int kWebFrameChanged = 1;   // a new frame is in vexal_frame(): copy it to the canvas
constexpr int kWebQuit = 2;           // the game has ended (Quit > Yes, Ctrl+Q)
constexpr int kWebHelpCommand = 4;    // open the Help command's page
constexpr int kWebHelpKey = 8;        // open F1's page
constexpr int kWebStripChanged = 16;  // the strip's controls or lines changed: draw them again
constexpr int kWebSaveBad = 32;       // vexal_open: the kept game could not be read: keep it aside
constexpr int kWebSaveNewer = 64;     // vexal_open: a later version kept it: leave it, keep nothing

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

// A strip control's state at vexal_strip_state(), one int each in StripControl order: bits.
constexpr int kWebControlShown = 1;
constexpr int kWebControlEnabled = 2;
constexpr int kWebControlSelected = 4;

// The strip's keys: the six sides in ViewFace order, the three whole-puzzle turns, undo, redo,
// a hint.
constexpr int kWebStripKeyWhole = 6;
constexpr int kWebStripKeyUndo = 9;
constexpr int kWebStripKeyRedo = 10;
constexpr int kWebStripKeyHint = 11;

// The strip's texts, for vexal_strip_text.
enum WebStripText : std::uint8_t { kWebTextStatus, kWebTextMessage, kWebTextSave, kWebTextShare, kWebTextCount };

extern "C" {
// A new game: seeded with seed when hasSeed is 1, else from the clock as the device seeds it.
// Returns kWebFrameChanged. The handheld alone: no strip.
int vexal_start(int hasSeed, std::uint32_t seed);
// Room for `length` bytes of a text that the next vexal_open reads (which: 0 the link, 1 the kept
// game); null past 64 KiB.
char* vexal_text_in(int which, int length);
// The game with its strip: the link when hasLink, else the seed when hasSeed, else the kept game
// when hasSave, else a new one seeded from the clock (CompanionStrip::Open). Returns
// kWebFrameChanged | kWebStripChanged, with kWebSaveBad or kWebSaveNewer for the kept game.
int vexal_open(int hasLink, int hasSeed, std::uint32_t seed, int hasSave);
// After the game ended (Quit > Yes): the same game again, its clock going on where it stopped.
int vexal_resume();
int vexal_pointer_down(int x, int y);
int vexal_pointer_move(int x, int y);
int vexal_pointer_up(int x, int y);
int vexal_key(int key);
// The last frame, 240 x 270 pixels of 4 bytes (red, green, blue, 255), rows top to bottom.
const std::uint8_t* vexal_frame();
const std::int32_t* vexal_state();
// A strip control pressed (StripControl); a strip key (kWebStripKey..., shift 1 for the other
// way), taken only while no popup or About box is open.
int vexal_strip_press(int control);
int vexal_strip_key(int key, int shift);
// The clock moves on (now and then), and pauses while the page is hidden.
int vexal_tick();
int vexal_visible(int visible);
// Bits (kWebControl...) of each strip control; null without a strip.
const std::int32_t* vexal_strip_state();
// A strip text (WebStripText), UTF-8: the share link is "" when the game cannot be shared, and
// the strip's message then says why.
const char* vexal_strip_text(int which);
// One JSON object, the same for the whole run: "result" (the bits above by name), "keys",
// "state" (the slots of vexal_state by name, and "count"), "layout" (rectangles {x, y, w, h}:
// titleBar, main, menuBar, bar[5], popups[2], items[2][2], buttons[5] by HostButton,
// aboutDone, aboutIcon, aboutText {x, tops[3]}, width, height), "menu" (barCaptions,
// barPopup, itemCaptions, buttonCaptions), "text" (title, aboutTitle, version,
// acknowledgement, notice, helpCommand, helpKey), "fonts" (title, menu, body pixels),
// "colours" (the chrome's, as "#rrggbb") and "strip": controls [{id, label, name, toggle}] in
// StripControl order, bits {shown, enabled, selected}, texts {status, message, save, share},
// keys {u, d, l, r, f, b, x, y, z, undo, redo, h} and keysText.
const char* vexal_describe();
// The game's icon as it started, size x size pixels of 4 bytes with transparency; null
// before the first start.
const std::uint8_t* vexal_icon(int size);
}
