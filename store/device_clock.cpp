#include "store/device_clock.h"

#include <cstdio>
#include <ctime>
#include <mutex>

namespace torvane {
namespace {

struct PinnedDate {
    std::mutex mutex;
    std::optional<std::string> stamp;
};

PinnedDate& Pinned() {
    static PinnedDate pinned;
    return pinned;
}

}  // namespace

std::string DeviceDateNow() {
    {
        std::lock_guard lock(Pinned().mutex);
        if (Pinned().stamp) return *Pinned().stamp;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d-%02d-%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

void PinDeviceDate(std::optional<std::string> stamp) {
    std::lock_guard lock(Pinned().mutex);
    Pinned().stamp = std::move(stamp);
}

}  // namespace torvane
