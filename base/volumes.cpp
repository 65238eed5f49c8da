#include "base/volumes.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace torvane {

std::string FormatVolumeSize(std::uint64_t bytes) {
    if (bytes < 1000) return std::to_string(bytes) + " bytes";
    const char* units[] = {"kB", "MB", "GB", "TB", "PB"};
    double value = static_cast<double>(bytes) / 1000.0;
    size_t unit = 0;
    while (value >= 1000.0 && unit + 1 < std::size(units)) {
        value /= 1000.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

std::string VolumeName(const Volume& volume) {
    const std::string size = FormatVolumeSize(volume.size);
    return volume.label.empty() ? size + " 볼륨" : volume.label + " (" + size + ")";
}

VolumeDriveLister::VolumeDriveLister(IVolumeService& service, std::optional<DriveSources> sources)
    : service_(service), sources_(std::move(sources)) {}

DriveSources VolumeDriveLister::Sources() const {
    return sources_ ? *sources_ : SystemDriveSources();
}

std::vector<std::string> VolumeDriveLister::RemovableDrives() {
    const DriveSources sources = Sources();
    if (!service_.Available()) {
        volumes_.clear();
        return ListRemovableDrives(sources);
    }
    volumes_ = service_.RemovableVolumes();
    std::vector<std::string> drives;
    for (const Volume& volume : volumes_)
        drives.push_back(volume.mountPoint.empty() ? volume.device : volume.mountPoint);
    // The simulated cards, without the mount table this time: the service names every card.
    DriveSources folders;
    folders.mountInfoPath.clear();
    folders.simulatedDrives = sources.simulatedDrives;
    for (std::string& folder : ListRemovableDrives(folders))
        if (std::find(drives.begin(), drives.end(), folder) == drives.end())
            drives.push_back(std::move(folder));
    return drives;
}

std::optional<Volume> VolumeDriveLister::VolumeOf(const std::string& drive) const {
    for (const Volume& volume : volumes_)
        if (drive == volume.mountPoint || drive == volume.device) return volume;
    return std::nullopt;
}

std::string VolumeDriveLister::DisplayName(const std::string& drive) {
    const auto volume = VolumeOf(drive);
    return volume ? VolumeName(*volume) : drive;
}

std::string VolumeDriveLister::MakeUsable(const std::string& drive, std::string& error) {
    const auto volume = VolumeOf(drive);
    if (!volume || !volume->mountPoint.empty()) return drive;
    std::string mountPoint;
    error = service_.Mount(*volume, mountPoint);
    return error.empty() ? mountPoint : std::string();
}

std::string EjectCard(IVolumeService& service, const Volume& volume) {
    if (!volume.mountPoint.empty()) {
        // The card's file system first writes out what the kernel still holds for it.
        const int folder = ::open(volume.mountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::syncfs(folder);
            ::close(folder);
        }
        if (std::string error = service.Unmount(volume); !error.empty()) return error;
    }
    return service.PowerOff(volume);
}

}  // namespace torvane
