#include "store/device_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "common/temp_folder.h"

namespace torvane {
namespace fs = std::filesystem;

namespace {

// The injected fault: how many more bytes the card takes (renames count one each) and, while
// recording, where every write and rename began. Jobs write from their worker thread.
struct FaultState {
    std::mutex mutex;
    bool armed = false;
    std::optional<std::uint64_t> budget;
    std::uint64_t taken = 0;
    std::vector<CardFaults::Write> writes;
};

FaultState& Faults() {
    static FaultState state;
    return state;
}

bool FaultArmed() {
    FaultState& state = Faults();
    std::lock_guard lock(state.mutex);
    return state.armed;
}

// How many of `size` bytes the card takes now: all of them unless the injected fault strikes.
std::size_t TakeFromCard(std::size_t size) {
    FaultState& state = Faults();
    std::lock_guard lock(state.mutex);
    if (!state.armed) return size;
    state.writes.push_back({state.taken, size});
    std::size_t allowed = size;
    if (state.budget) {
        const std::uint64_t left = *state.budget > state.taken ? *state.budget - state.taken : 0;
        if (left < size) allowed = static_cast<std::size_t>(left);
    }
    state.taken += allowed;
    // Once the card has failed it stays failed, as a full or pulled card does.
    if (allowed < size) state.budget = state.taken;
    return allowed;
}

// A write of the store's writer: the whole of it, or false with errno set.
bool WriteToCard(int fd, const char* data, std::size_t size) {
    const std::size_t allowed = TakeFromCard(size);
    if (!WriteAll(fd, data, allowed)) return false;
    if (allowed < size) {
        errno = ENOSPC;
        return false;
    }
    return true;
}

}  // namespace

void CardFaults::FailAfter(std::optional<std::uint64_t> bytes) {
    FaultState& state = Faults();
    std::lock_guard lock(state.mutex);
    state.armed = true;
    state.budget = bytes;
    state.taken = 0;
    state.writes.clear();
}

void CardFaults::Clear() {
    FaultState& state = Faults();
    std::lock_guard lock(state.mutex);
    state.armed = false;
    state.budget.reset();
    state.taken = 0;
    state.writes.clear();
}

std::vector<CardFaults::Write> CardFaults::Writes() {
    FaultState& state = Faults();
    std::lock_guard lock(state.mutex);
    return state.writes;
}

void SyncFolder(const std::string& folder) {
    const FileHandle handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.IsOpen()) ::fsync(handle.get());
}

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
constexpr std::size_t kReadBufferSize = 64 * 1024;
// Sound files are megabytes: large steps keep the byte loop near the kernel copy's speed.
constexpr std::size_t kCopyBufferSize = std::size_t{1} << 20;
// How much of a file is written before its bytes are started for the card.
constexpr std::uint64_t kWritebackStep = std::uint64_t{2} << 20;

// Errors after which reading and writing by hand cannot do better than the kernel's copy did.
bool IsFinalCopyError(int error) {
    return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EIO;
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
    AppendEscapedXmlText(text, out);
    return out;
}

namespace {

// What stands for a character in XML text; empty for a character that stands for itself.
std::string_view XmlReplacement(char c) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '"':
            return "&quot;";
        case '\'':
            return "&apos;";
        default:
            // XML has no way to carry a control character, not even as a reference: a name
            // holding one would leave the device's database unreadable for good.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                return "?";
            return {};
    }
}

}  // namespace

void AppendEscapedXmlText(std::string_view text, std::string& out) {
    // The characters that stand for themselves go over in runs.
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view replacement = XmlReplacement(text[i]);
        if (replacement.empty()) continue;
        out.append(text.data() + run, i - run);
        out += replacement;
        run = i + 1;
    }
    out.append(text.data() + run, text.size() - run);
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileHandle FileHandle::OpenForReading(const std::string& path) {
    return FileHandle(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

bool FileHandle::Close() {
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    const FileHandle file = FileHandle::OpenForReading(path);
    if (!file.IsOpen()) return false;
    std::string read;
    struct stat info {};
    if (::fstat(file.get(), &info) == 0 && info.st_size > 0)
        read.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[kReadBufferSize];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        read.append(buffer, static_cast<std::size_t>(n));
    }
    bytes = std::move(read);
    return true;
}

bool ReadWholeTextFile(const std::string& path, std::string& text) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    const auto nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    text = std::move(bytes);
    return true;
}

bool EmptyFolderTree(const std::string& folder) {
    // A folder name that is a symlink (planted in the temporary folder) is not followed.
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) return false;
    bool ok = true;
    for (const fs::directory_entry& entry : it) {
        std::error_code entryError;
        // A symlink is removed, never followed: emptying must stay inside the folder.
        const bool isFolder = entry.is_directory(entryError) && !entry.is_symlink(entryError);
        if (isFolder) {
            if (!EmptyFolderTree(entry.path().string()) || !fs::remove(entry.path(), entryError))
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

bool IsPlainComponent(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

namespace {

// The folder locked for this program; nothing when another program holds it.
FileHandle LockFolder(const std::string& folder) {
    FileHandle lock(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!lock.IsOpen() || ::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) return FileHandle();
    return lock;
}

// "<prefix>.XXXXXX" folders below `temp` that no living program holds.
void RemoveAbandonedScratchFolders(const std::string& temp, std::string_view prefix) {
    const std::string start = std::string(prefix) + ".";
    std::error_code ec;
    for (std::filesystem::directory_iterator it(temp, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != start.size() + 6 || name.rfind(start, 0) != 0 || it->is_symlink(ec) ||
            !it->is_directory(ec))
            continue;
        // One just made may not be locked yet by the program that made it.
        const auto made = it->last_write_time(ec);
        if (ec || std::filesystem::file_time_type::clock::now() - made < std::chrono::minutes(1))
            continue;
        if (LockFolder(it->path().string()).IsOpen()) {
            std::error_code removed;
            std::filesystem::remove_all(it->path(), removed);
        }
    }
}

}  // namespace

ScratchFolder::ScratchFolder(std::string_view prefix) {
    const std::string temp = GetTempFolder();
    if (temp.empty()) return;
    RemoveAbandonedScratchFolders(temp, prefix);
    std::string pattern = temp + "/" + std::string(prefix) + ".XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) return;
    lock_ = LockFolder(pattern);
    path_ = std::move(pattern);
}

ScratchFolder::~ScratchFolder() {
    if (path_.empty()) return;
    std::error_code error;
    std::filesystem::remove_all(path_, error);  // removes symbolic links, never follows them
}

SafeFileWriter::SafeFileWriter(std::string path) : path_(std::move(path)) {}

SafeFileWriter::~SafeFileWriter() {
    Discard();
}

bool SafeFileWriter::Open() {
    Discard();
    const auto slash = path_.find_last_of('/');
    const std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    // A leading dot: the copy walks and the device's tables pass over a temporary left by a crash.
    std::string pattern = ParentFolder(path_) + "/.~" + name + ".XXXXXX";
    file_ = FileHandle(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!file_.IsOpen()) return false;
    ::fchmod(file_.get(), 0644);  // FAT refuses it, which is harmless
    tempPath_ = std::move(pattern);
    failed_ = false;
    written_ = startedUpTo_ = 0;
    buffer_.clear();
    return true;
}

bool SafeFileWriter::FlushBuffer() {
    if (!buffer_.empty() && !Put(buffer_.data(), buffer_.size())) failed_ = true;
    buffer_.clear();
    return !failed_;
}

bool SafeFileWriter::Put(const char* data, std::size_t size) {
    if (!WriteToCard(file_.get(), data, size)) return false;
    written_ += size;
    // A large file's bytes start for the card while the rest is still being made, so that the
    // sync at its end waits for a tail, not for the whole file.
    if (written_ - startedUpTo_ >= kWritebackStep) {
        ::sync_file_range(file_.get(), static_cast<off_t>(startedUpTo_),
                          static_cast<off_t>(written_ - startedUpTo_), SYNC_FILE_RANGE_WRITE);
        startedUpTo_ = written_;
    }
    return true;
}

bool SafeFileWriter::Write(const void* data, std::size_t size) {
    if (!file_.IsOpen() || failed_) return false;
    const char* bytes = static_cast<const char*>(data);
    if (buffer_.size() + size <= kWriteBufferSize) {
        buffer_.append(bytes, size);
        return true;
    }
    if (!FlushBuffer()) return false;
    if (size >= kWriteBufferSize) {
        if (!Put(bytes, size)) failed_ = true;
        return !failed_;
    }
    buffer_.append(bytes, size);
    return true;
}

bool SafeFileWriter::CopyByKernel(int source, bool& refused) {
    refused = false;
    for (;;) {
        const ssize_t n =
            ::copy_file_range(source, nullptr, file_.get(), nullptr, std::size_t{1} << 30, 0);
        if (n == 0) return true;
        if (n > 0) continue;
        if (errno == EINTR) continue;
        refused = !IsFinalCopyError(errno);
        return false;
    }
}

bool SafeFileWriter::CopyByBytes(int source) {
    std::vector<char> buffer(kCopyBufferSize);
    for (;;) {
        const ssize_t n = ::read(source, buffer.data(), buffer.size());
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (!Put(buffer.data(), static_cast<std::size_t>(n))) return false;
    }
}

bool SafeFileWriter::WriteFrom(const FileHandle& source, CopyPath path) {
    if (!file_.IsOpen() || failed_ || !source.IsOpen() || !FlushBuffer()) return false;
    // The kernel's copy passes by the injected fault; a faulty card is written byte by byte.
    if (path == CopyPath::KernelFirst && !FaultArmed()) {
        const off_t sourceStart = ::lseek(source.get(), 0, SEEK_CUR);
        const off_t ownStart = ::lseek(file_.get(), 0, SEEK_CUR);
        bool refused = false;
        if (CopyByKernel(source.get(), refused)) return true;
        // The byte loop starts again where the kernel began: a refusal may come part-way.
        if (!refused || sourceStart < 0 || ownStart < 0 ||
            ::lseek(source.get(), sourceStart, SEEK_SET) != sourceStart ||
            ::lseek(file_.get(), ownStart, SEEK_SET) != ownStart ||
            ::ftruncate(file_.get(), ownStart) != 0) {
            failed_ = true;
            return false;
        }
    }
    if (!CopyByBytes(source.get())) failed_ = true;
    return !failed_;
}

bool SafeFileWriter::Close(bool sync) {
    if (!file_.IsOpen()) return sealed_;
    bool ok = FlushBuffer();
    if (ok && sync) {
        ok = ::fsync(file_.get()) == 0;
    } else if (ok) {
        // The card starts taking the bytes now; the batch waits for them once, for every file.
        ::sync_file_range(file_.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    ok = file_.Close() && ok;
    if (!ok) {
        DropTemporary();
        return false;
    }
    sealed_ = true;
    synced_ = sync;
    return true;
}

bool SafeFileWriter::Seal() {
    return Close(true);
}

bool SafeFileWriter::SealUnsynced() {
    return Close(false);
}

bool SafeFileWriter::SyncSealed() {
    if (!sealed_) return false;
    if (synced_) return true;
    // A descriptor opened for reading syncs the file's data as well as the one that wrote it.
    const FileHandle temporary(::open(tempPath_.c_str(), O_RDONLY | O_CLOEXEC));
    if (!temporary.IsOpen() || ::fdatasync(temporary.get()) != 0) {
        DropTemporary();
        return false;
    }
    synced_ = true;
    return true;
}

bool SafeFileWriter::RenameSealed() {
    if (!sealed_ || !synced_) return false;
    sealed_ = synced_ = false;
    const bool ok = TakeFromCard(1) == 1 && ::rename(tempPath_.c_str(), path_.c_str()) == 0;
    if (!ok) {
        DropTemporary();
        return false;
    }
    tempPath_.clear();
    return true;
}

bool SafeFileWriter::Commit() {
    if (!Seal() || !SyncSealed() || !RenameSealed()) return false;
    SyncFolder(Folder());
    return true;
}

std::string SafeFileWriter::Folder() const {
    return ParentFolder(path_);
}

void SafeFileWriter::DropTemporary() {
    sealed_ = synced_ = false;
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

void SafeFileWriter::Discard() {
    file_.Close();
    DropTemporary();
    buffer_.clear();
}

bool WriteFileSafely(const std::string& path, std::string_view bytes) {
    SafeFileWriter writer(path);
    return writer.Open() && writer.Write(bytes) && writer.Commit();
}

}  // namespace torvane
