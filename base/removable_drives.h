// Finding the player's memory card: the removable drives are the mounted file systems whose block
// device is removable or sits on USB, in mount-point order, followed by the folders listed in
// TORVANE_DRIVES (simulated cards for tests and the demo). A drive's text is its mount path.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// One line of /proc/self/mountinfo reduced to what drive detection needs.
struct MountEntry {
    unsigned major = 0;
    unsigned minor = 0;
    std::string mountPoint;  // octal escapes (\040 for a blank) already decoded
};

std::vector<MountEntry> ParseMountInfo(std::string_view text);

// True when the block device major:minor (a disk or one of its partitions) is marked removable
// or hangs below a USB controller, as sysfs under `sysfsRoot` (normally "/sys") tells.
bool IsRemovableBlockDevice(const std::string& sysfsRoot, unsigned major, unsigned minor);

// Where the drive listing looks; the defaults are the running system's.
struct DriveSources {
    std::string mountInfoPath = "/proc/self/mountinfo";
    std::string sysfsRoot = "/sys";
    std::string simulatedDrives;  // ":"-separated folders, normally TORVANE_DRIVES
};

// The sources of the running system, with TORVANE_DRIVES read from the environment.
DriveSources SystemDriveSources();

// Removable mount points in mount-point order, then the existing simulated folders in their
// listed order; no trailing slashes, no duplicates.
std::vector<std::string> ListRemovableDrives(const DriveSources& sources);

// Seam for the detection loop: the list of removable drives at this moment.
class IDriveLister {
  public:
    virtual ~IDriveLister() = default;
    virtual std::vector<std::string> RemovableDrives() = 0;
    // How the chooser names a drive of the list (its path unless the lister knows better).
    virtual std::string DisplayName(const std::string& drive) { return drive; }
    // The folder to open for a drive of the list, mounting it first when it is not yet; empty
    // with `error` set when that failed.
    virtual std::string MakeUsable(const std::string& drive, std::string& /*error*/) {
        return drive;
    }
};

// Lists the running system's drives on every call (TORVANE_DRIVES is read each time).
class SystemDriveLister final : public IDriveLister {
  public:
    std::vector<std::string> RemovableDrives() override;
};

// True when "<drive>/Default.dat" opens for reading.
bool HoldsDeviceDatabase(const std::string& drive);

// The first drive holding the device database, the rule that chooses the device automatically.
std::optional<std::string> FindDeviceDrive(const std::vector<std::string>& drives);

}  // namespace torvane
