// The local-time stamps written into the device's databases ("2024-03-05T14-07-09": note the
// hyphens in the time). One seam so that tests can pin the time and check dates exactly.
#pragma once

#include <optional>
#include <string>

namespace torvane {

// Local time now as "YYYY-MM-DDThh-mm-ss", or the pinned stamp while one is set.
std::string DeviceDateNow();

// Pins the stamp DeviceDateNow returns (nothing: the real clock again). For tests.
void PinDeviceDate(std::optional<std::string> stamp);

// Pins the stamp for the lifetime of the object.
class ScopedDeviceDate {
  public:
    explicit ScopedDeviceDate(std::string stamp) { PinDeviceDate(std::move(stamp)); }
    ~ScopedDeviceDate() { PinDeviceDate(std::nullopt); }
    ScopedDeviceDate(const ScopedDeviceDate&) = delete;
    ScopedDeviceDate& operator=(const ScopedDeviceDate&) = delete;
};

}  // namespace torvane
