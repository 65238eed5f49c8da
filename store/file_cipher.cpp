#include "store/file_cipher.h"

#include <errno.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "common/temp_folder.h"
#include "store/device_files.h"

namespace torvane {
namespace {

// Whole blocks, and small enough to stay in the cache from the read to the write.
constexpr std::size_t kPieceBytes = 256 * 1024;
static_assert(kPieceBytes % 8 == 0);

using BufferTransform = void (*)(std::span<std::uint8_t> bytes, const TeaKey& key);

std::size_t PaddedSize(std::size_t size) {
    return (size + 7) / 8 * 8;
}

// Zero-pads `size` bytes at `data` to whole blocks (the room is there) and transforms them; the
// padded size.
std::size_t TransformPadded(char* data, std::size_t size, BufferTransform transform,
                            const TeaKey& key) {
    const std::size_t padded = PaddedSize(size);
    std::memset(data + size, 0, padded - size);
    transform({reinterpret_cast<std::uint8_t*>(data), padded}, key);
    return padded;
}

// Reads until `size` bytes are in or the file ends; the count read, nothing on an error.
std::optional<std::size_t> ReadUpTo(int fd, char* data, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, data + got, size - got);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        got += static_cast<std::size_t>(n);
    }
    return got;
}

// One thread that runs the file reads and writes of a transform in the order they were handed
// to it, so that the caller's core is left with the cipher alone: a piece is read while the one
// before it is enciphered, and written while the one after it is.
class InOrderIo {
  public:
    InOrderIo() : thread_([this] { Run(); }) {}
    InOrderIo(const InOrderIo&) = delete;
    InOrderIo& operator=(const InOrderIo&) = delete;
    // Runs what is still queued, then ends the thread.
    ~InOrderIo() {
        {
            // Under the lock, so the thread cannot miss the wake between its look and its wait.
            const std::scoped_lock lock(mutex_);
            closing_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    template <typename Work>
    std::future<std::invoke_result_t<Work>> Submit(Work work) {
        auto task =
            std::make_shared<std::packaged_task<std::invoke_result_t<Work>()>>(std::move(work));
        auto done = task->get_future();
        {
            const std::scoped_lock lock(mutex_);
            queue_.emplace_back([task] { (*task)(); });
        }
        wake_.notify_one();
        return done;
    }

  private:
    void Run() {
        for (;;) {
            std::function<void()> next;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return closing_ || !queue_.empty(); });
                if (queue_.empty()) return;
                next = std::move(queue_.front());
                queue_.pop_front();
            }
            next();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    bool closing_ = false;
    std::thread thread_;  // last: it starts once what it reads exists
};

// The rest of `source`, padded and transformed piece by piece, into `writer`. Three pieces turn
// round: one being read, one in the cipher, one being written.
bool TransformFile(const std::string& src, const std::string& dst, BufferTransform transform,
                   std::string_view keyText) {
    const FileHandle source = FileHandle::OpenForReading(src);
    SafeFileWriter writer(dst);
    if (!source.IsOpen() || !writer.Open()) return false;
    const TeaKey key = DeriveFileKey(keyText);
    constexpr std::size_t kTurning = 3;
    std::array<std::unique_ptr<char[]>, kTurning> pieces;
    for (auto& piece : pieces) piece = std::make_unique<char[]>(kPieceBytes);
    std::vector<std::future<bool>> writes;
    bool whole = true;
    {
        InOrderIo io;
        const auto readInto = [&](char* piece) {
            return io.Submit(
                [&source, piece] { return ReadUpTo(source.get(), piece, kPieceBytes); });
        };
        // The queue runs in order, so a piece is read again only after its last write.
        auto nextRead = readInto(pieces[0].get());
        for (std::size_t turn = 0;; ++turn) {
            char* piece = pieces[turn % kTurning].get();
            const std::optional<std::size_t> got = nextRead.get();
            if (!got) {
                whole = false;
                break;
            }
            if (*got == kPieceBytes) nextRead = readInto(pieces[(turn + 1) % kTurning].get());
            if (*got > 0) {
                const std::size_t padded = TransformPadded(piece, *got, transform, key);
                writes.push_back(
                    io.Submit([&writer, piece, padded] { return writer.Write(piece, padded); }));
            }
            if (*got < kPieceBytes) break;
        }
        for (auto& write : writes) whole = write.get() && whole;
    }
    return whole && writer.Commit();
}

}  // namespace

Md5Digest ComputeMd5(std::string_view data) {
    Md5Digest digest{};
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                    &EVP_MD_CTX_free);
    unsigned int length = 0;
    if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1 ||
        EVP_DigestUpdate(context.get(), data.data(), data.size()) != 1 ||
        EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1 || length != digest.size()) {
        return Md5Digest{};
    }
    return digest;
}

TeaKey DeriveFileKey(std::string_view key) {
    return TeaKeyFromBytes(ComputeMd5(key));
}

bool WriteEncipheredFile(const std::string& path, std::string_view plain, std::string_view key) {
    SafeFileWriter writer(path);
    if (!writer.Open()) return false;
    const TeaKey teaKey = DeriveFileKey(key);
    const auto piece = std::make_unique<char[]>(kPieceBytes);
    for (std::string_view rest = plain; !rest.empty();) {
        const std::string_view part = rest.substr(0, kPieceBytes);
        rest.remove_prefix(part.size());
        std::memcpy(piece.get(), part.data(), part.size());
        const std::size_t padded =
            TransformPadded(piece.get(), part.size(), EncipherBlocks, teaKey);
        if (!writer.Write(piece.get(), padded)) return false;
    }
    return writer.Commit();
}

bool WriteEncipheredFileInPlace(const std::string& path, std::string& plain, std::string_view key) {
    SafeFileWriter writer(path);
    if (!writer.Open()) return false;
    const TeaKey teaKey = DeriveFileKey(key);
    plain.resize(PaddedSize(plain.size()), '\0');
    // Piece by piece, each written while it is still in the cache.
    for (std::size_t at = 0; at < plain.size(); at += kPieceBytes) {
        const std::size_t size = std::min(kPieceBytes, plain.size() - at);
        EncipherBlocks({reinterpret_cast<std::uint8_t*>(&plain[at]), size}, teaKey);
        if (!writer.Write(&plain[at], size)) return false;
    }
    return writer.Commit();
}

bool ReadEncipheredPieces(const std::string& path,
                          const std::function<bool(std::string_view piece)>& take,
                          std::string_view key) {
    const FileHandle file = FileHandle::OpenForReading(path);
    if (!file.IsOpen()) return false;
    const TeaKey teaKey = DeriveFileKey(key);
    const auto piece = std::make_unique<char[]>(kPieceBytes);
    for (;;) {
        const std::optional<std::size_t> got = ReadUpTo(file.get(), piece.get(), kPieceBytes);
        if (!got) return false;
        const std::size_t padded = TransformPadded(piece.get(), *got, DecipherBlocks, teaKey);
        if (padded > 0 && !take({piece.get(), padded})) return true;
        if (*got < kPieceBytes) return true;
    }
}

bool ReadEncipheredFile(const std::string& path, std::string& plain, std::string_view key) {
    std::string bytes;
    if (struct stat info{}; ::stat(path.c_str(), &info) == 0 && info.st_size > 0)
        bytes.reserve(PaddedSize(static_cast<std::size_t>(info.st_size)));
    const bool read = ReadEncipheredPieces(
        path,
        [&](std::string_view piece) {
            bytes.append(piece);
            return true;
        },
        key);
    if (read) plain = std::move(bytes);
    return read;
}

bool ReadEncipheredText(const std::string& path, std::string& text, std::string_view key) {
    std::string bytes;
    if (!ReadEncipheredFile(path, bytes, key)) return false;
    const auto nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    text = std::move(bytes);
    return true;
}

bool EncipherFile(const std::string& src, const std::string& dst, std::string_view key) {
    return TransformFile(src, dst, EncipherBlocks, key);
}

bool DecipherFile(const std::string& src, const std::string& dst, std::string_view key) {
    return TransformFile(src, dst, DecipherBlocks, key);
}

std::string MakeCipherTempPath() {
    const std::string folder = GetTempFolder();
    if (folder.empty()) return {};
    static std::atomic<unsigned> counter{0};
    return folder + "/Enc" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".TMP";
}

}  // namespace torvane
