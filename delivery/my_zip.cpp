#include "delivery/my_zip.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "common/messages.h"
#include "common/text_codec.h"
#include "store/device_files.h"

namespace fs = std::filesystem;

namespace torvane {
namespace {

// Bytes read from the archive and written to the file at once. Small steps only decide how often
// progress is reported, so a step of one byte costs no system call per byte.
constexpr std::size_t kChunkBytes = 256 * 1024;

struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

bool HasTableExtension(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot + 1, std::string::npos, "tbl") == 0;
}

// A table entry is added after the lines already on the card: the new table starts as a copy of
// the old one. False when the old table exists but cannot be read.
bool StartWithExistingTable(SafeFileWriter& out, const fs::path& table) {
    const FileHandle existing = FileHandle::OpenForReading(table.string());
    if (!existing.IsOpen()) return errno == ENOENT;
    return out.WriteFrom(existing);
}

// True when `path` (which need not exist yet) stays inside `root` once symbolic links already on
// the disk are followed.
bool StaysInside(const fs::path& root, const fs::path& path) {
    std::error_code ec;
    const fs::path realRoot = fs::weakly_canonical(root, ec);
    if (ec) return false;
    const fs::path realPath = fs::weakly_canonical(path, ec);
    if (ec) return false;
    auto rootIt = realRoot.begin();
    auto pathIt = realPath.begin();
    for (; rootIt != realRoot.end(); ++rootIt, ++pathIt) {
        if (rootIt->empty()) continue;  // a trailing separator
        if (pathIt == realPath.end() || *pathIt != *rootIt) return false;
    }
    return true;
}

void SetModificationTime(const fs::path& path, time_t mtime) {
    const timespec times[2] = {{0, UTIME_OMIT}, {mtime, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

}  // namespace

std::string SafeEntryPath(const std::string& entryName) {
    // Archives made on Windows may separate folders with backslashes.
    std::string name = entryName;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty() || name.front() == '/') return {};
    std::string result;
    std::size_t start = 0;
    bool first = true;
    while (start <= name.size()) {
        auto end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        const std::string part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == ".." || part.find('\0') != std::string::npos) return {};
        if (first && part.size() >= 2 && part[1] == ':') return {};  // a drive letter
        if (!result.empty()) result += '/';
        result += part;
        first = false;
    }
    return result;
}

CMyZip::~CMyZip() {
    if (archive_ != nullptr) zip_discard(archive_);
}

Status CMyZip::OpenArchive(const std::string& path) {
    CloseArchive();
    int error = 0;
    archive_ = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (archive_ != nullptr) {
        path_ = path;
        return Status::Ok();
    }
    const Status openFailed = Status::Failure(OutcomeKind::Failed, Say(MessageId::OpenFailed));
    if (error != ZIP_ER_NOZIP) return openFailed;
    // No end-of-central-directory record: the download was cut short.
    return Status::Failure(OutcomeKind::Failed, Say(MessageId::CdirNotFound))
        .WithNote(openFailed.said());
}

void CMyZip::CloseArchive() {
    if (archive_ != nullptr) {
        // A read-only archive has nothing to write back; discarding cannot fail.
        zip_discard(archive_);
        archive_ = nullptr;
    }
    path_.clear();
    password_.clear();
}

Status CMyZip::ExtractAll(const std::string& destination, std::size_t bufferSize) {
    leftOutEntries_.clear();
    const Status failed = Status::Failure(OutcomeKind::Failed, Say(MessageId::ExtractFailed));
    if (archive_ == nullptr) return failed;
    bufferSize = std::max<std::size_t>(bufferSize, 1);
    zip_set_default_password(archive_, password_.empty() ? nullptr : password_.c_str());
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        if (stop_.load()) return Status::Failure(OutcomeKind::Cancelled, Message{});
        if (ExtractEntry(index, destination, bufferSize) == EntryResult::Failed) return failed;
    }
    return Status::Ok();
}

bool CMyZip::IsLeftOut(const std::string& relative) const {
    const std::string comparable = card_paths::FatName(relative);
    for (const std::string& leftOut : leftOut_) {
        const bool folder = !leftOut.empty() && leftOut.back() == '/';
        if (folder
                ? comparable.compare(0, leftOut.size(), leftOut) == 0 || comparable + "/" == leftOut
                : comparable == leftOut)
            return true;
    }
    return false;
}

bool CMyZip::MakeFolders(const std::string& folder) const {
    if (card_ != nullptr)
        return folder == card_->root() ? card_->Present() : card_->MakeFolders(folder);
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec);
}

CMyZip::EntryResult CMyZip::ExtractEntry(std::int64_t index, const std::string& destination,
                                         std::size_t bufferSize) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, index, 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) {
        return EntryResult::Failed;
    }
    const std::string name = st.name;
    const std::string relative = SafeEntryPath(name);
    // An entry that would land outside the destination is never written.
    if (relative.empty()) return EntryResult::Failed;
    if (IsLeftOut(relative)) {
        if (name.back() != '/' && name.back() != '\\') leftOutEntries_.push_back(name);
        return EntryResult::Written;
    }
    const fs::path root(destination);
    const fs::path output = root / relative;
    if (!StaysInside(root, output)) return EntryResult::Failed;

    if (!DestinationPresent()) return EntryResult::Failed;
    if (name.back() == '/' || name.back() == '\\') {
        return MakeFolders(output.string()) ? EntryResult::Written : EntryResult::Failed;
    }
    if (!MakeFolders(output.parent_path().string())) return EntryResult::Failed;

    std::unique_ptr<zip_file_t, ZipFileCloser> entry(zip_fopen_index(archive_, index, 0));
    if (!entry) return EntryResult::Failed;
    // Written under a temporary name: a pulled card or a failed entry keeps the previous file.
    SafeFileWriter out(output.string());
    if (!out.Open()) return EntryResult::Failed;
    if (HasTableExtension(output.filename().string()) && !StartWithExistingTable(out, output))
        return EntryResult::Failed;

    const std::uint64_t total = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    const std::size_t chunk = std::max(bufferSize, kChunkBytes - kChunkBytes % bufferSize);
    std::vector<char> buffer(chunk);
    std::uint64_t written = 0;
    bool endedEarly = false;
    for (;;) {
        const zip_int64_t n = zip_fread(entry.get(), buffer.data(), chunk);
        if (n < 0) return EntryResult::Failed;  // read, inflate or checksum error
        if (n == 0) break;
        auto ready = static_cast<std::size_t>(n);
        if (stepHook_) {
            for (std::size_t off = 0; off < static_cast<std::size_t>(n); off += bufferSize) {
                const std::size_t step = std::min(bufferSize, static_cast<std::size_t>(n) - off);
                if (!stepHook_(total, written + off + step)) {
                    ready = off + step;
                    endedEarly = true;
                    break;
                }
            }
        }
        if (!out.Write(buffer.data(), ready)) return EntryResult::Failed;
        written += ready;
        if (endedEarly) break;
    }
    // An entry ended early is not whole: the writer drops it and the previous file stays.
    if (endedEarly) return EntryResult::EndedEarly;
    if (written != total || !DestinationPresent() || !out.Commit()) return EntryResult::Failed;
    if (st.valid & ZIP_STAT_MTIME) SetModificationTime(output, st.mtime);
    return EntryResult::Written;
}

}  // namespace torvane
