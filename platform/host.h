// The seam through which the core reaches its window: invalidation, buttons, time.
#pragma once

#include <cstdint>

enum class HostButton : std::uint8_t { Shuffle, NewSkin, SizeDown, SizeUp, SizeOk };
constexpr int kHostButtonCount = 5;

struct LocalTime {
    int minute;
    int second;
    int milliseconds;
};

class Host {
public:
    Host() = default;
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    Host(Host&&) = delete;
    Host& operator=(Host&&) = delete;
    virtual ~Host() = default;

    // Invalidate the frame without erasing; a paint follows later.
    virtual void InvalidateFrame() = 0;
    virtual void ShowButton(HostButton button, bool show) = 0;
    virtual LocalTime GetLocalTime() = 0;
};

// The local time from host, or from the C library with no host (before a window exists).
LocalTime LocalTimeOf(Host* host);
