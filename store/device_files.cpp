#include "store/device_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace torvane {
namespace fs = std::filesystem;

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

namespace {

constexpr std::size_t kWriteBufferSize = 64 * 1024;

// Makes the rename itself durable; some file systems (vfat among them) cannot sync a folder,
// which is not a failure of the write.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string ParentFolder(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

std::string EscapeXmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool ReadWholeTextFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    const auto nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    text = std::move(bytes);
    return true;
}

bool EmptyFolderTree(const std::string& folder) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) return false;
    bool ok = true;
    for (const fs::directory_entry& entry : it) {
        std::error_code entryError;
        // A symlink is removed, never followed: emptying must stay inside the folder.
        const bool isFolder = entry.is_directory(entryError) && !entry.is_symlink(entryError);
        if (isFolder) {
            if (EmptyFolderTree(entry.path().string()) && !fs::remove(entry.path(), entryError))
                ok = false;
        } else if (!fs::remove(entry.path(), entryError)) {
            ok = false;
        }
    }
    return ok;
}

bool DeleteContentFiles(const std::vector<ContentRecord>& contents, const std::string& folder) {
    std::set<std::string, std::less<>> names;
    for (const ContentRecord& content : contents)
        for (const FileRecord& file : content.files) names.insert(file.name);
    std::error_code error;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied,
                                        error);
    if (error) return false;
    bool ok = true;
    for (; it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (error) break;
        std::error_code entryError;
        if (it->is_directory(entryError)) continue;
        if (names.contains(it->path().filename().string()) && !fs::remove(it->path(), entryError))
            ok = false;
    }
    return ok;
}

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
    if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) return {};
    return folder;
}

SafeFileWriter::SafeFileWriter(std::string path) : path_(std::move(path)) {}

SafeFileWriter::~SafeFileWriter() {
    Discard();
}

bool SafeFileWriter::Open() {
    Discard();
    const auto slash = path_.find_last_of('/');
    const std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    std::string pattern = ParentFolder(path_) + "/.~" + name + ".XXXXXX";
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) return false;
    ::fchmod(fd_, 0644);
    tempPath_ = std::move(pattern);
    failed_ = false;
    buffer_.clear();
    return true;
}

bool SafeFileWriter::FlushBuffer() {
    if (!buffer_.empty() && !WriteAll(fd_, buffer_.data(), buffer_.size())) failed_ = true;
    buffer_.clear();
    return !failed_;
}

bool SafeFileWriter::Write(const void* data, std::size_t size) {
    if (fd_ < 0 || failed_) return false;
    const char* bytes = static_cast<const char*>(data);
    if (buffer_.size() + size <= kWriteBufferSize) {
        buffer_.append(bytes, size);
        return true;
    }
    if (!FlushBuffer()) return false;
    if (size >= kWriteBufferSize) {
        if (!WriteAll(fd_, bytes, size)) failed_ = true;
        return !failed_;
    }
    buffer_.append(bytes, size);
    return true;
}

bool SafeFileWriter::Commit() {
    if (fd_ < 0) return false;
    bool ok = FlushBuffer() && ::fsync(fd_) == 0;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    if (ok) ok = ::rename(tempPath_.c_str(), path_.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
        return false;
    }
    tempPath_.clear();
    SyncFolder(ParentFolder(path_));
    return true;
}

void SafeFileWriter::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
    buffer_.clear();
}

bool WriteFileSafely(const std::string& path, std::string_view bytes) {
    SafeFileWriter writer(path);
    return writer.Open() && writer.Write(bytes) && writer.Commit();
}

bool CopyFileSafely(const std::string& src, const std::string& dst) {
    std::ifstream in(src, std::ios::binary);
    if (!in) return false;
    SafeFileWriter writer(dst);
    if (!writer.Open()) return false;
    std::vector<char> buffer(kWriteBufferSize);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        if (in.gcount() > 0 && !writer.Write(buffer.data(), static_cast<std::size_t>(in.gcount())))
            return false;
    }
    if (in.bad()) return false;
    return writer.Commit();
}

bool WritePlainFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

}  // namespace torvane
