#include "delivery/folder_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "store/text_codec.h"

namespace fs = std::filesystem;

namespace torvane {

bool IsPlainComponent(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::string FindEntryIgnoringCase(const std::string& folder, std::string_view name) {
    std::error_code ec;
    const std::string wanted = ToLowerAscii(name);
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (ToLowerAscii(entry) == wanted) return entry;
    }
    return {};
}

bool CopyFileReplacing(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        ::close(in);
        return false;
    }
    // The kernel copies without a round trip through this process where the file systems allow
    // it; FUSE and FAT drivers that do not fall back to reading and writing.
    bool ok = true;
    bool kernelCopy = true;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, std::size_t{1} << 30, 0);
        if (n == 0) break;
        if (n > 0) continue;
        if (errno == EINTR) continue;
        kernelCopy = false;
        break;
    }
    if (kernelCopy) {
        ::close(in);
        return ::close(out) == 0;
    }
    // Start again from the beginning: the failed attempt may have moved the offsets.
    if (::lseek(in, 0, SEEK_SET) != 0 || ::lseek(out, 0, SEEK_SET) != 0 ||
        ::ftruncate(out, 0) != 0) {
        ::close(in);
        ::close(out);
        return false;
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t written =
                ::write(out, buffer.data() + done, static_cast<size_t>(n - done));
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0)
                ok = false;
            else
                done += written;
        }
        if (!ok) break;
    }
    ::close(in);
    return ::close(out) == 0 && ok;
}

void FolderTree::MakeParentDirectories(const std::string& filePath) {
    const auto slash = filePath.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return;
    const std::string parent = filePath.substr(0, slash);
    if (createdFolders_.count(parent) != 0) return;
    MakeParentDirectories(parent);
    ::mkdir(parent.c_str(), 0755);  // fails harmlessly when it exists
    createdFolders_.insert(parent);
}

bool FolderTree::CopyFolderTree(const std::string& source, const std::string& destination) {
    std::error_code ec;
    fs::directory_iterator it(source, ec);
    if (ec) return false;
    bool ok = true;
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) return false;
        if (cancel_ != nullptr && cancel_->load()) return false;
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        const std::string from = source + "/" + name;
        const std::string to = destination + "/" + name;
        if (it->is_directory(ec)) {
            ok = CopyFolderTree(from, to) && ok;
            continue;
        }
        MakeParentDirectories(to);
        if (!CopyFileReplacing(from, to)) ok = false;
    }
    return ok;
}

bool ClearFolderTree(const std::string& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return false;
    bool ok = true;
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) return false;
        std::error_code removeError;
        fs::remove_all(it->path(), removeError);
        if (removeError) ok = false;
    }
    return ok;
}

}  // namespace torvane
