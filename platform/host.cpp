#include "platform/host.h"

#include <chrono>
#include <ctime>

namespace {

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

LocalTime LocalTimeOf(Host* host) {
    return host != nullptr ? host->GetLocalTime() : LibraryLocalTime();
}
