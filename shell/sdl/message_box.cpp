#include "shell/sdl/message_box.h"

#include <SDL_ttf.h>

#include <algorithm>

namespace {

constexpr int kFontPixels = 14;
constexpr Uint32 kPollMs = 20;
constexpr int kMargin = 16;
constexpr int kTextWidth = 440;
constexpr SDL_Rect kButtonSize{0, 0, 88, 28};
constexpr SDL_Colour kInk{0, 0, 0, 255};

struct Box {
    SDL_Window* window = nullptr;
    SDL_Surface* words = nullptr;
    SDL_Surface* ok = nullptr;
    SDL_Rect button{};

    ~Box() {
        SDL_FreeSurface(ok);
        SDL_FreeSurface(words);
        if (window != nullptr) {
            SDL_DestroyWindow(window);
        }
    }
    Box() = default;
    Box(const Box&) = delete;
    Box& operator=(const Box&) = delete;
    Box(Box&&) = delete;
    Box& operator=(Box&&) = delete;

    void Paint() const {
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        if (surface == nullptr) {
            return;
        }
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0xF0, 0xF0, 0xF0));
        SDL_Rect at{kMargin, kMargin, words->w, words->h};
        SDL_BlitSurface(words, nullptr, surface, &at);
        SDL_FillRect(surface, &button, SDL_MapRGB(surface->format, 0x40, 0x40, 0x40));
        const SDL_Rect inner{button.x + 1, button.y + 1, button.w - 2, button.h - 2};
        SDL_FillRect(surface, &inner, SDL_MapRGB(surface->format, 0xFF, 0xFF, 0xFF));
        SDL_Rect caption{button.x + (button.w - ok->w) / 2, button.y + (button.h - ok->h) / 2, ok->w, ok->h};
        SDL_BlitSurface(ok, nullptr, surface, &caption);
        SDL_UpdateWindowSurface(window);
    }
};

bool Inside(const SDL_Rect& r, int x, int y) {
    return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
}

// True once the box is done with; a quit, or the game's window closed, is posted again.
bool Ends(const SDL_Event& event, Uint32 box, const SDL_Rect& button) {
    const bool quit =
        event.type == SDL_QUIT ||
        (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE && event.window.windowID != box);
    if (quit) {
        SDL_Event again{};
        again.type = SDL_QUIT;
        SDL_PushEvent(&again);
        return true;
    }
    switch (event.type) {
        case SDL_WINDOWEVENT:
            return event.window.event == SDL_WINDOWEVENT_CLOSE;
        case SDL_KEYDOWN:
            return event.key.windowID == box &&
                   (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER ||
                    event.key.keysym.sym == SDLK_ESCAPE || event.key.keysym.sym == SDLK_SPACE);
        case SDL_MOUSEBUTTONUP:
            return event.button.windowID == box && event.button.button == SDL_BUTTON_LEFT &&
                   Inside(button, event.button.x, event.button.y);
        default:
            return false;
    }
}

bool OwnBox(SDL_Window* parent, const char* title, const std::string& text, const std::string& fontFile) {
    TTF_Font* font = TTF_OpenFont(fontFile.c_str(), kFontPixels);
    if (font == nullptr) {
        return false;
    }
    Box box;
    box.words = TTF_RenderUTF8_Blended_Wrapped(font, text.c_str(), kInk, kTextWidth);
    box.ok = TTF_RenderUTF8_Blended(font, "OK", kInk);
    TTF_CloseFont(font);
    if (box.words == nullptr || box.ok == nullptr) {
        return false;
    }
    const int width = std::max(box.words->w, kButtonSize.w) + 2 * kMargin;
    const int height = box.words->h + kButtonSize.h + 3 * kMargin;
    box.button =
        SDL_Rect{width - kMargin - kButtonSize.w, height - kMargin - kButtonSize.h, kButtonSize.w, kButtonSize.h};
    box.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, 0);
    if (box.window == nullptr) {
        return false;
    }
    SDL_SetWindowModalFor(box.window, parent);
    SDL_RaiseWindow(box.window);
    box.Paint();
    // Polled rather than waited for: SDL 2.26 wakes a waiting loop by sending an X event to a
    // window through a second connection, and a box destroyed right after the key that closed
    // it can be gone before that event arrives, which ends the program with an X error.
    const Uint32 id = SDL_GetWindowID(box.window);
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            if (Ends(event, id, box.button)) {
                return true;
            }
            if (event.type == SDL_WINDOWEVENT && event.window.windowID == id &&
                event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                box.Paint();
            }
        }
        SDL_Delay(kPollMs);
    }
}

}  // namespace

bool ShowMessage(SDL_Window* parent, const char* title, const std::string& text, const std::string& fontFile) {
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, title, text.c_str(), parent) == 0 ||
           OwnBox(parent, title, text, fontFile);
}
