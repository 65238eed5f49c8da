#include "tools/demo_service/packages.h"

#include <zip.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <memory>
#include <numbers>
#include <vector>

#include "store/device_setup.h"
#include "tools/demo_service/media.h"

namespace torvane::demo {
namespace fs = std::filesystem;
namespace {

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;

// Entries carry a fixed date so that archives do not change from run to run.
constexpr std::time_t kEntryTime = 1793577600;  // 2026-11-02 00:00 UTC

bool WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string ZipError(zip_t* archive) {
    return zip_error_strerror(zip_get_error(archive));
}

// One MiB of a tone with noise in its lower bits; `index` changes pitch and noise.
std::string NoisyToneMiB(int index) {
    constexpr std::size_t kBytes = 1 << 20;
    std::string data = WavHeader(kBytes);
    std::uint32_t noise = 0x9E3779B9u ^ static_cast<std::uint32_t>(index * 7919 + 1);
    const double hz = 220.0 + 20.0 * (index % 40);
    for (std::size_t i = 0; data.size() < kBytes; ++i) {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        const double tone = 9000.0 * std::sin(2.0 * std::numbers::pi * hz * i / kSampleRate);
        const auto sample =
            static_cast<std::int16_t>(std::lround(tone) + static_cast<int>(noise % 512) - 256);
        data.push_back(static_cast<char>(sample & 0xFF));
        data.push_back(static_cast<char>((sample >> 8) & 0xFF));
    }
    data.resize(kBytes);
    return data;
}

}  // namespace

bool WriteFreshCard(const fs::path& root, const DemoPackage& package, const std::string& soundType,
                    std::string& error) {
    if (!CreateEmptyDevice(root.string(), package.systemVersion, soundType)) {
        error = "cannot create an empty card in " + root.string();
        return false;
    }
    if (!WriteFile(root / "info.dat", package.firmwareVersion)) {
        error = "cannot write " + (root / "info.dat").string();
        return false;
    }
    if (package.kind == "update") {
        // An update is unpacked over a card in use, and card tables in a package are appended to
        // the card's own: an empty table adds nothing, but the DIY table's 1500 blank lines would
        // blank every DIY slot. So an update carries only empty tables.
        std::error_code ec;
        std::vector<fs::path> filled;
        for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end;
             it.increment(ec)) {
            if (it->path().extension() == ".tbl" && it->is_regular_file() && it->file_size() > 0) {
                filled.push_back(it->path());
            }
        }
        for (const fs::path& path : filled) {
            fs::remove(path, ec);
        }
    }
    return true;
}

bool ZipFolder(const fs::path& folder, const fs::path& zipPath, std::string& error, int level) {
    std::error_code ec;
    std::vector<fs::path> entries;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        entries.push_back(it->path());
    }
    if (ec) {
        error = "cannot list " + folder.string() + ": " + ec.message();
        return false;
    }
    std::sort(entries.begin(), entries.end());

    int code = 0;
    ZipArchive archive(zip_open(zipPath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!archive) {
        error = "cannot create " + zipPath.string();
        return false;
    }
    for (const fs::path& path : entries) {
        const std::string name = path.lexically_relative(folder).generic_string();
        zip_int64_t index = -1;
        if (fs::is_directory(path, ec)) {
            index = zip_dir_add(archive.get(), name.c_str(), ZIP_FL_ENC_UTF_8);
        } else {
            zip_source_t* source = zip_source_file(archive.get(), path.c_str(), 0, -1);
            if (source == nullptr) {
                error = "cannot read " + path.string() + ": " + ZipError(archive.get());
                return false;
            }
            index = zip_file_add(archive.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8);
            if (index < 0) {
                zip_source_free(source);
            } else if (zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index),
                                                ZIP_CM_DEFLATE,
                                                static_cast<zip_uint32_t>(level)) != 0) {
                index = -1;
            }
        }
        if (index < 0 || zip_file_set_mtime(archive.get(), static_cast<zip_uint64_t>(index),
                                            kEntryTime, 0) != 0) {
            error = "cannot add " + name + ": " + ZipError(archive.get());
            return false;
        }
    }
    if (zip_close(archive.get()) != 0) {
        error = "cannot write " + zipPath.string() + ": " + ZipError(archive.get());
        return false;
    }
    archive.release();  // zip_close freed it
    return true;
}

bool WriteBenchPackage(const fs::path& zipPath, int mib, const fs::path& workDir,
                       std::string& error) {
    std::error_code ec;
    const fs::path bench = workDir / "bench";
    fs::create_directories(bench, ec);
    for (int i = 0; i < mib; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%08d.qvx", i + 1);
        if (!WriteFile(bench / name, NoisyToneMiB(i))) {
            error = "cannot write " + (bench / name).string();
            return false;
        }
    }
    // Fast deflate: the archive is made at every start of a benchmark run.
    const bool zipped = ZipFolder(workDir, zipPath, error, 1);
    fs::remove_all(workDir, ec);
    return zipped;
}

}  // namespace torvane::demo
