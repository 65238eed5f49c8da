#include "store/card_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "common/temp_folder.h"
#include "store/device_files.h"
#include "store/file_cipher.h"

namespace torvane {
namespace {

// The user's runtime folder is private to the user and emptied at log-out, the right home for a
// lock; without one, the private temporary folder.
std::string LockFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime) {
        const std::string folder = std::string(runtime) + "/torvane";
        struct stat info {};
        if ((::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) &&
            ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
            info.st_uid == ::getuid())
            return folder;
    }
    return GetTempFolder();
}

// The same card seen by two programs has the same canonical root and the same device; a card at
// another mount point, or another file system mounted at the same folder, has another name.
std::string CardIdentity(const std::string& root) {
    std::error_code error;
    std::string canonical = std::filesystem::weakly_canonical(root, error).string();
    if (error || canonical.empty()) canonical = root;
    struct stat info {};
    const unsigned long long device = ::stat(root.c_str(), &info) == 0 ? info.st_dev : 0;
    return canonical + '\n' + std::to_string(device);
}

}  // namespace

std::string CardLock::LockFilePath(const std::string& root) {
    const std::string folder = LockFolder();
    if (folder.empty()) return {};
    std::string name = "card-";
    for (const std::uint8_t byte : ComputeMd5(CardIdentity(root))) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", byte);
        name += hex;
    }
    return folder + "/" + name + ".lock";
}

std::shared_ptr<CardLock> CardLock::Take(const std::string& root, std::chrono::milliseconds wait) {
    const std::string path = LockFilePath(root);
    const int descriptor =
        path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) return std::shared_ptr<CardLock>(new CardLock(-1));
    std::shared_ptr<CardLock> lock(new CardLock(descriptor));
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) return lock;  // no locks here: not excluding
        if (std::chrono::steady_clock::now() >= deadline) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return lock;
}

CardLock::~CardLock() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

}  // namespace torvane
