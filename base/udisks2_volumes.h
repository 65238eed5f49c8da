// The disk service of the system bus, udisks2 (org.freedesktop.UDisks2), asked through GLib's
// D-Bus client so that torvane-cli and the app share it. The bus is the one
// DBUS_SYSTEM_BUS_ADDRESS names, else the system's.
#pragma once

#include <memory>

#include "base/volumes.h"

namespace torvane {

class UDisks2Volumes final : public IVolumeService {
  public:
    UDisks2Volumes();
    ~UDisks2Volumes() override;
    UDisks2Volumes(const UDisks2Volumes&) = delete;
    UDisks2Volumes& operator=(const UDisks2Volumes&) = delete;

    bool Available() override;
    std::vector<Volume> RemovableVolumes() override;
    std::string Mount(const Volume& volume, std::string& mountPoint) override;
    std::string Unmount(const Volume& volume) override;
    std::string PowerOff(const Volume& volume) override;

  private:
    struct Bus;
    std::unique_ptr<Bus> bus_;
};

}  // namespace torvane
