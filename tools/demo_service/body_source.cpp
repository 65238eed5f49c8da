#include "tools/demo_service/body_source.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "tools/demo_service/media.h"

namespace torvane::demo {

std::size_t StringBody::Read(std::uint64_t offset, char* out, std::size_t count) const {
    if (offset >= text_.size()) {
        return 0;
    }
    const std::size_t n = std::min<std::size_t>(count, text_.size() - offset);
    std::memcpy(out, text_.data() + offset, n);
    return n;
}

std::shared_ptr<FileBody> FileBody::Open(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (size < 0) {
        ::close(fd);
        return nullptr;
    }
    return std::shared_ptr<FileBody>(new FileBody(fd, static_cast<std::uint64_t>(size)));
}

FileBody::~FileBody() {
    ::close(fd_);
}

std::size_t FileBody::Read(std::uint64_t offset, char* out, std::size_t count) const {
    if (offset >= size_) {
        return 0;
    }
    const ssize_t n = ::pread(fd_, out, std::min<std::uint64_t>(count, size_ - offset),
                              static_cast<off_t>(offset));
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

GeneratedSoundBody::GeneratedSoundBody(std::uint64_t size)
    : size_(size), header_(WavHeader(size)), period_(TonePeriod(400)) {}

std::size_t GeneratedSoundBody::Read(std::uint64_t offset, char* out, std::size_t count) const {
    if (offset >= size_) {
        return 0;
    }
    const std::size_t n = std::min<std::uint64_t>(count, size_ - offset);
    for (std::size_t i = 0; i < n;) {
        const std::uint64_t at = offset + i;
        if (at < header_.size()) {
            out[i++] = header_[at];
            continue;
        }
        const std::size_t inPeriod = (at - header_.size()) % period_.size();
        const std::size_t run = std::min(n - i, period_.size() - inPeriod);
        std::memcpy(out + i, period_.data() + inPeriod, run);
        i += run;
    }
    return n;
}

}  // namespace torvane::demo
