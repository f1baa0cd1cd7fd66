// The core's window seam on Win32: invalidations, the five buttons, the local time.
#pragma once

#include "platform/host.h"

class Win32Host final : public Host {
public:
    void InvalidateFrame() override;
    void ShowButton(HostButton button, bool show) override;
    LocalTime GetLocalTime() override;
};
