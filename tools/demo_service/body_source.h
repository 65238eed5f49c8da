// Answer bodies the service can stream: text held in memory, a file on disk, or a sound generated
// on the fly (for the large files that download benchmarks ask for).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace torvane::demo {

class BodySource {
  public:
    virtual ~BodySource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies up to `count` bytes from `offset` into `out`; returns how many were copied (0 at the
    // end or on a read failure). Safe to call from several threads at once.
    virtual std::size_t Read(std::uint64_t offset, char* out, std::size_t count) const = 0;
};

class StringBody final : public BodySource {
  public:
    explicit StringBody(std::string text) : text_(std::move(text)) {}
    std::uint64_t Size() const override { return text_.size(); }
    std::size_t Read(std::uint64_t offset, char* out, std::size_t count) const override;
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

// Keeps the file open for the body's lifetime and reads with pread, so concurrent downloads of
// one package do not share a file position.
class FileBody final : public BodySource {
  public:
    // Nullptr when the file cannot be opened.
    static std::shared_ptr<FileBody> Open(const std::filesystem::path& path);
    ~FileBody() override;
    FileBody(const FileBody&) = delete;
    FileBody& operator=(const FileBody&) = delete;
    std::uint64_t Size() const override { return size_; }
    std::size_t Read(std::uint64_t offset, char* out, std::size_t count) const override;

  private:
    FileBody(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    int fd_;
    std::uint64_t size_;
};

// A WAV file of exactly `size` bytes holding a steady tone, computed from the offset so that a
// body of any size costs no memory.
class GeneratedSoundBody final : public BodySource {
  public:
    explicit GeneratedSoundBody(std::uint64_t size);
    std::uint64_t Size() const override { return size_; }
    std::size_t Read(std::uint64_t offset, char* out, std::size_t count) const override;

  private:
    std::uint64_t size_;
    std::string header_;
    std::string period_;  // one period of the tone, repeated after the header
};

}  // namespace torvane::demo
