#include "platform/host.h"

#include <chrono>
#include <ctime>

namespace {

Host* s_host = nullptr;

LocalTime LibraryLocalTime() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm parts{};
#if defined(_WIN32)
    localtime_s(&parts, &seconds);
#else
    localtime_r(&seconds, &parts);
#endif
    return LocalTime{parts.tm_min, parts.tm_sec, static_cast<int>(ms)};
}

}  // namespace

void SetHost(Host* host) {
    s_host = host;
}
Host* GetHost() {
    return s_host;
}

void HostInvalidateFrame() {
    if (s_host != nullptr) {
        s_host->InvalidateFrame();
    }
}

void HostShowButton(HostButton button, bool show) {
    if (s_host != nullptr) {
        s_host->ShowButton(button, show);
    }
}

LocalTime HostLocalTime() {
    return s_host != nullptr ? s_host->GetLocalTime() : LibraryLocalTime();
}
