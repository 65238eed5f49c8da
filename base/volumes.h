// The player's card as the system's disk service (udisks2) knows it: a removable file system
// with a label, a size and, once mounted, a mount point. The service appears behind a seam so
// that the listing, the names and safe removal are tested against a stand-in; the drive listing
// falls back to the mount table on machines without it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/removable_drives.h"

namespace torvane {

struct Volume {
    std::string object;      // the disk service's name for the file system
    std::string device;      // "/dev/sdb1"
    std::string label;       // the file system's label; may be empty
    std::uint64_t size = 0;  // bytes
    std::string mountPoint;  // empty while not mounted
    std::string drive;       // the service's name for the drive (the reader) holding it
    bool canPowerOff = false;
};

// The size as the file manager writes it: decimal units, one decimal ("3.9 GB", "512.0 MB").
std::string FormatVolumeSize(std::uint64_t bytes);
// How the parent knows the card: "LARKSPIN (3.9 GB)", or "3.9 GB 볼륨" without a label.
std::string VolumeName(const Volume& volume);

class IVolumeService {
  public:
    virtual ~IVolumeService() = default;
    // False when the disk service does not answer (no udisks2 on this machine).
    virtual bool Available() = 0;
    // The removable file systems, mounted or not, in the service's order.
    virtual std::vector<Volume> RemovableVolumes() = 0;
    // Each answers an empty error on success, else the service's reason.
    virtual std::string Mount(const Volume& volume, std::string& mountPoint) = 0;
    virtual std::string Unmount(const Volume& volume) = 0;
    // Cuts the power of the drive holding the volume; a reader that cannot do so is not an
    // error (the card may be pulled once unmounted).
    virtual std::string PowerOff(const Volume& volume) = 0;
};

// The drives of the device chooser with the disk service: the mounted removable volumes by mount
// point, the unmounted ones by device path (chosen, they are mounted first), then the folders of
// TORVANE_DRIVES. Without the service: the mount table, as ListRemovableDrives does.
class VolumeDriveLister final : public IDriveLister {
  public:
    // `service` outlives the lister; `sources` gives the mount table and TORVANE_DRIVES (read
    // anew on every call when null: the running system's).
    explicit VolumeDriveLister(IVolumeService& service,
                               std::optional<DriveSources> sources = std::nullopt);

    std::vector<std::string> RemovableDrives() override;
    std::string DisplayName(const std::string& drive) override;
    std::string MakeUsable(const std::string& drive, std::string& error) override;

    // The volume of a drive of the last listing; null for a folder or without the service.
    std::optional<Volume> VolumeOf(const std::string& drive) const;

  private:
    DriveSources Sources() const;

    IVolumeService& service_;
    std::optional<DriveSources> sources_;
    std::vector<Volume> volumes_;  // of the last listing
};

// Safe removal of the card at `drive`: its writes flushed, unmounted and its drive powered off
// through the disk service. An empty answer when the card may be pulled, else why not.
std::string EjectCard(IVolumeService& service, const Volume& volume);

}  // namespace torvane
