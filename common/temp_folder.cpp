#include "common/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace torvane {
namespace fs = std::filesystem;

std::string GetTempFolder() {
    std::string base;
    if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir && *tmpdir)
        base = tmpdir;
    else
        base = "/tmp";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    const uid_t uid = ::geteuid();
    const std::string folder = base + "/torvane-" + std::to_string(uid);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) return {};
    if (!S_ISDIR(info.st_mode) || info.st_uid != uid) return {};
    if ((info.st_mode & 077) != 0) {
        // Others could write here once: anything inside may have been planted by them (a
        // symlink where a staging folder is expected). Nothing in it is trusted; it is made anew.
        std::error_code error;
        fs::remove_all(folder, error);  // removes symlinks, never follows them
        if (error || ::mkdir(folder.c_str(), 0700) != 0) return {};
        if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != uid ||
            (info.st_mode & 077) != 0)
            return {};
    }
    return folder;
}

}  // namespace torvane
