#include "base/removable_drives.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "store/card_paths.h"
namespace torvane {
namespace {

namespace fs = std::filesystem;

// mountinfo writes blanks, tabs, newlines and backslashes in paths as \ooo.
std::string DecodeOctalEscapes(std::string_view field) {
    const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += field[i];
    }
    return out;
}

std::string StripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string ReadSmallFile(const fs::path& path) {
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    return text;
}

bool RemovableFlagSet(const fs::path& blockDir) {
    std::error_code error;
    if (!fs::exists(blockDir / "removable", error)) return false;
    return ReadSmallFile(blockDir / "removable") == "1";
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        // id parent major:minor root mount-point options ...
        std::istringstream fields(line);
        std::string id, parent, device, root, mountPoint;
        if (!(fields >> id >> parent >> device >> root >> mountPoint)) continue;
        const auto colon = device.find(':');
        if (colon == std::string::npos) continue;
        MountEntry entry;
        try {
            entry.major = static_cast<unsigned>(std::stoul(device.substr(0, colon)));
            entry.minor = static_cast<unsigned>(std::stoul(device.substr(colon + 1)));
        } catch (const std::exception&) {
            continue;
        }
        entry.mountPoint = DecodeOctalEscapes(mountPoint);
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool IsRemovableBlockDevice(const std::string& sysfsRoot, unsigned major, unsigned minor) {
    if (major == 0) return false;  // virtual file systems (tmpfs, proc, overlay) have major 0
    std::error_code error;
    const fs::path link = fs::path(sysfsRoot) / "dev" / "block" /
                          (std::to_string(major) + ":" + std::to_string(minor));
    const fs::path device = fs::canonical(link, error);
    if (error) return false;
    if (device.string().find("/usb") != std::string::npos) return true;
    // A partition carries a "partition" file; the removable flag sits on its disk.
    if (fs::exists(device / "partition", error)) return RemovableFlagSet(device.parent_path());
    return RemovableFlagSet(device);
}

DriveSources SystemDriveSources() {
    DriveSources sources;
    if (const char* simulated = std::getenv("TORVANE_DRIVES")) sources.simulatedDrives = simulated;
    return sources;
}

std::vector<std::string> ListRemovableDrives(const DriveSources& sources) {
    std::vector<std::string> mounted;
    {
        std::ifstream in(sources.mountInfoPath);
        std::stringstream text;
        text << in.rdbuf();
        for (const MountEntry& entry : ParseMountInfo(text.str()))
            if (IsRemovableBlockDevice(sources.sysfsRoot, entry.major, entry.minor))
                mounted.push_back(StripTrailingSlashes(entry.mountPoint));
    }
    std::sort(mounted.begin(), mounted.end());

    std::vector<std::string> drives;
    const auto addOnce = [&drives](std::string drive) {
        if (std::find(drives.begin(), drives.end(), drive) == drives.end())
            drives.push_back(std::move(drive));
    };
    for (std::string& drive : mounted) addOnce(std::move(drive));

    std::string_view rest = sources.simulatedDrives;
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        std::string folder(rest.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        if (folder.empty()) continue;
        std::error_code error;
        if (fs::is_directory(folder, error)) addOnce(StripTrailingSlashes(std::move(folder)));
    }
    return drives;
}

std::vector<std::string> SystemDriveLister::RemovableDrives() {
    return ListRemovableDrives(SystemDriveSources());
}

bool HoldsDeviceDatabase(const std::string& drive) {
    std::ifstream in(fs::path(drive) / card_paths::kDatabase, std::ios::binary);
    return in.is_open();
}

std::optional<std::string> FindDeviceDrive(const std::vector<std::string>& drives) {
    for (const std::string& drive : drives)
        if (HoldsDeviceDatabase(drive)) return drive;
    return std::nullopt;
}

}  // namespace torvane
