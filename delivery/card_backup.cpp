#include "delivery/card_backup.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <system_error>

#include "common/messages.h"
#include "common/text_codec.h"
#include "delivery/card_check.h"
#include "store/card_paths.h"
#include "store/device_clock.h"
#include "store/device_files.h"
#include "torvane_version.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

constexpr std::size_t kChunk = std::size_t{1} << 20;

std::string_view FirstComponent(std::string_view path) {
    return path.substr(0, path.find('/'));
}

std::string_view LastComponent(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// What cannot be downloaded again: the databases and every table (the device finds its sounds
// through them), the parent's recordings, the child's name voice and the firmware's info.dat.
// FAT keeps names in any letter case, so they are compared in lower case.
bool CannotBeDownloadedAgain(std::string_view path) {
    const std::string lower = ToLowerAscii(path);
    const std::string_view name = LastComponent(lower);
    if (lower.find('/') == std::string::npos) {
        return lower == ToLowerAscii(card_paths::kDatabase) ||
               lower == ToLowerAscii(card_paths::kDiyDatabase) ||
               lower == ToLowerAscii(card_paths::kFirmwareInfo);
    }
    if (name == "rfid.tbl" || name == "sw.tbl" || name == "rec.tbl") return true;
    const std::string_view top = FirstComponent(lower);
    return top == card_paths::kRecordingFolder || top == card_paths::kNameVoiceFolder;
}

// Audio is compressed already; storing it keeps a backup as fast as a plain copy.
bool StoredUncompressed(std::string_view path) {
    const std::string name = ToLowerAscii(LastComponent(path));
    for (const std::string_view ext : {".qvx", ".mp3", ".wav", ".ogg"}) {
        if (name.size() > ext.size() && name.ends_with(ext)) return true;
    }
    return false;
}

// A path from an archive that may become a card path: relative, "/" separated, every part a
// plain name (no "..", no ".", no empty part, no backslash).
bool IsPlainRelativePath(std::string_view path) {
    if (path.empty()) return false;
    std::size_t start = 0;
    while (true) {
        const auto slash = path.find('/', start);
        const std::string_view part = path.substr(start, slash - start);
        if (!IsPlainComponent(part)) return false;
        if (slash == std::string_view::npos) return true;
        start = slash + 1;
    }
}

std::string Hex(const unsigned char* bytes, unsigned size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(size * 2);
    for (unsigned i = 0; i < size; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 0x0f];
    }
    return hex;
}

class Sha256 {
  public:
    Sha256() : ctx_(EVP_MD_CTX_new(), &EVP_MD_CTX_free) {
        ok_ = ctx_ && EVP_DigestInit_ex(ctx_.get(), EVP_sha256(), nullptr) == 1;
    }
    void Update(const void* data, std::size_t size) {
        ok_ = ok_ && EVP_DigestUpdate(ctx_.get(), data, size) == 1;
    }
    // Lower-case hex; empty when the digest failed.
    std::string Final() {
        std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
        unsigned size = 0;
        if (!ok_ || EVP_DigestFinal_ex(ctx_.get(), digest.data(), &size) != 1) return {};
        return Hex(digest.data(), size);
    }

  private:
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx_;
    bool ok_ = false;
};

bool HashFile(const std::string& path, std::uint64_t& size, std::string& sha256) {
    const FileHandle file = FileHandle::OpenForReading(path);
    if (!file.IsOpen()) return false;
    Sha256 hash;
    std::string buffer(kChunk, '\0');
    size = 0;
    while (true) {
        const ssize_t got = ::read(file.get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        hash.Update(buffer.data(), static_cast<std::size_t>(got));
        size += static_cast<std::uint64_t>(got);
    }
    sha256 = hash.Final();
    return !sha256.empty();
}

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;

struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipFile = std::unique_ptr<zip_file_t, ZipFileCloser>;

int CancelRequested(zip_t*, void* state) {
    const auto* cancel = static_cast<const std::atomic<bool>*>(state);
    return cancel != nullptr && cancel->load() ? 1 : 0;
}

// A backup's progress over its two passes: every file read for its hash, then the archive
// written by libzip as it closes.
struct ArchiveProgress {
    const CareProgress& progress;
    std::uint64_t total = 0;
    std::uint64_t hashed = 0;

    void Tell(double written) const {
        if (!progress) return;
        const auto archived = static_cast<std::uint64_t>(written * static_cast<double>(total));
        progress(hashed + archived, 2 * total);
    }
    static void OnWrite(zip_t*, double fraction, void* state) {
        static_cast<const ArchiveProgress*>(state)->Tell(fraction);
    }
};

json ManifestJson(const BackupManifest& manifest) {
    json files = json::array();
    for (const BackupFile& file : manifest.files)
        files.push_back({{"path", file.path}, {"size", file.size}, {"sha256", file.sha256}});
    return {{"format", kCardBackupFormat},
            {"formatVersion", kCardBackupFormatVersion},
            {"programVersion", manifest.programVersion},
            {"systemVersion", manifest.systemVersion},
            {"soundType", manifest.soundType},
            {"date", manifest.date},
            {"files", files}};
}

// Our manifest, or nothing when the text is not one.
std::optional<BackupManifest> ParseManifest(const std::string& text) {
    try {
        const json doc = json::parse(text);
        if (!doc.is_object() || doc.value("format", std::string()) != kCardBackupFormat ||
            doc.value("formatVersion", 0) < 1 ||
            doc.value("formatVersion", 0) > kCardBackupFormatVersion || !doc.contains("files") ||
            !doc["files"].is_array()) {
            return std::nullopt;
        }
        BackupManifest manifest;
        manifest.programVersion = doc.value("programVersion", std::string());
        manifest.systemVersion = doc.value("systemVersion", std::string());
        manifest.soundType = doc.value("soundType", std::string());
        manifest.date = doc.value("date", std::string());
        for (const json& entry : doc["files"]) {
            BackupFile file;
            file.path = entry.at("path").get<std::string>();
            file.size = entry.at("size").get<std::uint64_t>();
            file.sha256 = entry.at("sha256").get<std::string>();
            manifest.files.push_back(std::move(file));
        }
        return manifest;
    } catch (const json::exception&) {
        return std::nullopt;
    }
}

bool ReadEntry(zip_t* archive, zip_uint64_t index, std::string& bytes) {
    const ZipFile file(zip_fopen_index(archive, index, 0));
    if (!file) return false;
    bytes.clear();
    std::string buffer(kChunk, '\0');
    while (true) {
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
        if (got < 0) return false;  // a CRC mismatch or a cut stream
        if (got == 0) return true;
        bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
}

// Streams an entry to `sink`, returning its size and SHA-256. False when the entry cannot be
// read whole (libzip checks its CRC at the end).
template <typename Sink>
bool StreamEntry(zip_t* archive, zip_uint64_t index, std::uint64_t& size, std::string& sha256,
                 Sink&& sink) {
    const ZipFile file(zip_fopen_index(archive, index, 0));
    if (!file) return false;
    Sha256 hash;
    std::string buffer(kChunk, '\0');
    size = 0;
    while (true) {
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
        if (got < 0) return false;
        if (got == 0) break;
        hash.Update(buffer.data(), static_cast<std::size_t>(got));
        if (!sink(buffer.data(), static_cast<std::size_t>(got))) return false;
        size += static_cast<std::uint64_t>(got);
    }
    sha256 = hash.Final();
    return !sha256.empty();
}

bool IsLinkEntry(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &opsys, &attributes) != 0) return true;
    return opsys == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

// Where the backup of each file of the manifest lies in the opened archive.
using EntryIndexes = std::map<std::string, zip_uint64_t>;

Result<EntryIndexes> CheckArchive(zip_t* archive, const BackupManifest& manifest) {
    std::map<std::string, const BackupFile*> listed;
    std::set<std::string> fatNames;
    for (const BackupFile& file : manifest.files) {
        const std::string fatName = card_paths::FatName(file.path);
        if (!IsPlainRelativePath(file.path) || !IsPlainRelativePath(fatName))
            return Status::Failure(std::string(kMsgBackupUnsafeName));
        if (!fatNames.insert(fatName).second || !listed.emplace(file.path, &file).second)
            return Status::Failure(std::string(kMsgBackupDamaged));
    }
    EntryIndexes indexes;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char* raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
        if (raw == nullptr) return Status::Failure(std::string(kMsgBackupDamaged));
        const std::string name(raw);
        if (name == kCardBackupManifest) continue;
        if (!name.starts_with(kCardBackupPrefix) ||
            !IsPlainRelativePath(name.substr(kCardBackupPrefix.size())) ||
            IsLinkEntry(archive, index)) {
            return Status::Failure(std::string(kMsgBackupUnsafeName));
        }
        const std::string path = name.substr(kCardBackupPrefix.size());
        const auto found = listed.find(path);
        if (found == listed.end() || !indexes.emplace(path, index).second)
            return Status::Failure(std::string(kMsgBackupDamaged));
        std::uint64_t size = 0;
        std::string sha256;
        if (!StreamEntry(archive, index, size, sha256,
                         [](const char*, std::size_t) { return true; }) ||
            size != found->second->size || sha256 != found->second->sha256) {
            return Status::Failure(std::string(kMsgBackupDamaged));
        }
    }
    if (indexes.size() != listed.size()) return Status::Failure(std::string(kMsgBackupDamaged));
    return indexes;
}

// Where each file of a manifest that was checked already lies in the archive, found by name: the
// bytes are checked again as they are read.
Result<EntryIndexes> LocateEntries(zip_t* archive, const BackupManifest& manifest) {
    EntryIndexes indexes;
    for (const BackupFile& file : manifest.files) {
        const std::string name = std::string(kCardBackupPrefix) + file.path;
        const zip_int64_t index = zip_name_locate(archive, name.c_str(), ZIP_FL_ENC_RAW);
        if (index < 0) return Status::Failure(std::string(kMsgBackupDamaged));
        if (IsLinkEntry(archive, static_cast<zip_uint64_t>(index)))
            return Status::Failure(std::string(kMsgBackupUnsafeName));
        indexes.emplace(file.path, static_cast<zip_uint64_t>(index));
    }
    return indexes;
}

ZipArchive OpenArchiveForReading(const std::string& path) {
    int error = 0;
    return ZipArchive(zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
}

Result<BackupManifest> LoadManifest(zip_t* archive) {
    const zip_int64_t index =
        zip_name_locate(archive, std::string(kCardBackupManifest).c_str(), ZIP_FL_ENC_RAW);
    if (index < 0) return Status::Failure(std::string(kMsgBackupForeign));
    std::string text;
    if (!ReadEntry(archive, static_cast<zip_uint64_t>(index), text))
        return Status::Failure(std::string(kMsgBackupDamaged));
    std::optional<BackupManifest> manifest = ParseManifest(text);
    if (!manifest) return Status::Failure(std::string(kMsgBackupForeign));
    return std::move(*manifest);
}

// The device must never see a database that names files not yet there: recordings and sounds are
// renamed into place first, then the tables, then the databases.
int RestoreRank(std::string_view path) {
    const std::string lower = ToLowerAscii(path);
    if (lower.find('/') == std::string::npos && (lower == ToLowerAscii(card_paths::kDatabase) ||
                                                 lower == ToLowerAscii(card_paths::kDiyDatabase)))
        return 2;
    return lower.ends_with(".tbl") ? 1 : 0;
}

// True when no folder between the root and `relative` (nor the file itself) is a link: a card
// folder prepared to lead a restore outside the card.
bool StaysOnCard(const std::string& root, std::string_view relative) {
    fs::path path(root);
    std::error_code ec;
    std::size_t start = 0;
    while (start <= relative.size()) {
        const auto slash = relative.find('/', start);
        path /= std::string(relative.substr(start, slash - start));
        const fs::file_status status = fs::symlink_status(path, ec);
        if (fs::is_symlink(status)) return false;
        if (slash == std::string_view::npos) return !fs::is_directory(status);
        start = slash + 1;
    }
    return true;
}

bool ArchiveMatches(const std::string& path, const BackupManifest& manifest) {
    const ZipArchive zip = OpenArchiveForReading(path);
    if (!zip) return false;
    const Result<BackupManifest> written = LoadManifest(zip.get());
    return written.ok() && written.value().files == manifest.files &&
           CheckArchive(zip.get(), manifest).ok();
}

bool CardStillMatches(const Card& card, const BackupManifest& manifest) {
    for (const BackupFile& file : manifest.files) {
        std::uint64_t size = 0;
        std::string sha256;
        if (!HashFile(card.Path(file.path), size, sha256) || size != file.size ||
            sha256 != file.sha256)
            return false;
    }
    return true;
}

// A backup killed part-way leaves its hidden temporary beside the archive: ours,
// ".<name>.XXXXXX", and libzip's own, ".<name>.XXXXXX.XXXXXX". They are removed when a later
// backup to the same name starts, unless one was written in the last minutes (a backup of another
// card to the same name, still running).
void RemoveKilledBackupTemporaries(const fs::path& folder, const std::string& name) {
    static const std::regex kTemporary(R"([A-Za-z0-9]{6}(\.[A-Za-z0-9]{6})?)");
    constexpr auto kStillWritten = std::chrono::minutes(10);
    const std::string prefix = "." + name + ".";
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (!entry.starts_with(prefix) || !it->is_regular_file(ec) || it->is_symlink(ec) ||
            !std::regex_match(entry.substr(prefix.size()), kTemporary))
            continue;
        const auto written = it->last_write_time(ec);
        if (!ec && fs::file_time_type::clock::now() - written > kStillWritten)
            fs::remove(it->path(), ec);
    }
}

// The card space a restore takes while every file is staged: each file rounded up to whole
// clusters of the largest size a FAT32 card uses.
std::uint64_t SpaceOnCard(const BackupManifest& manifest) {
    constexpr std::uint64_t kCluster = 32 * 1024;
    std::uint64_t bytes = 0;
    for (const BackupFile& file : manifest.files)
        bytes += (file.size + kCluster - 1) / kCluster * kCluster;
    return bytes;
}

// A restore killed before its renames leaves ".~<name>.XXXXXX" beside the files it was writing;
// the next restore of the same files removes them before it stages its own, but never what may
// be the only copy of a recording.
void RemoveKilledRestoreTemporaries(const Card& card, const std::string& relative) {
    static const std::regex kTemporary(R"([A-Za-z0-9]{6})");
    const fs::path path(card.Path(relative));
    const fs::path folder = fs::path(relative).parent_path();
    const std::string prefix = ".~" + path.filename().string() + ".";
    std::error_code ec;
    for (fs::directory_iterator it(path.parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (entry.starts_with(prefix) && !it->is_symlink(ec) && it->is_regular_file(ec) &&
            std::regex_match(entry.substr(prefix.size()), kTemporary) &&
            !MayBeOnlyCopy(card, (folder / entry).generic_string()))
            fs::remove(it->path(), ec);
    }
}

}  // namespace

std::uint64_t BackupManifest::TotalBytes() const {
    std::uint64_t total = 0;
    for (const BackupFile& file : files) total += file.size;
    return total;
}

std::vector<std::string> BackupFileList(const std::string& root, bool everything) {
    std::vector<std::string> paths;
    std::error_code ec;
    const fs::path top(root);
    for (fs::recursive_directory_iterator it(top, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_symlink(ec) || !it->is_regular_file(ec)) continue;
        // The temporary of a write cut off: half a file, which a restore would bring back as one.
        if (it->path().filename().string().starts_with(".~")) continue;
        const std::string relative = it->path().lexically_relative(top).generic_string();
        if (everything || CannotBeDownloadedAgain(relative)) paths.push_back(relative);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

Result<BackupManifest> BackupCard(Card& card, const std::string& archive, bool everything,
                                  const std::atomic<bool>* cancel, const CareProgress& progress) {
    BackupManifest manifest;
    manifest.programVersion = std::string(kProgramVersion);
    if (card.LoadDatabase().ok()) {
        manifest.systemVersion = card.database().systemVersion();
        manifest.soundType = card.database().soundType();
    }
    manifest.date = DeviceDateNow();
    const std::vector<std::string> paths = BackupFileList(card.root(), everything);
    std::uint64_t total = 0;  // the card is asked for it only when someone watches the bar
    for (const std::string& path : progress ? paths : std::vector<std::string>{}) {
        std::error_code ec;
        const auto size = fs::file_size(card.Path(path), ec);
        if (!ec) total += size;
    }
    ArchiveProgress told{progress, total};
    for (const std::string& path : paths) {
        if (cancel != nullptr && cancel->load())
            return Status::Failure(OutcomeKind::Cancelled, std::string(kMsgBackupCancelled));
        BackupFile file;
        file.path = path;
        if (!HashFile(card.Path(path), file.size, file.sha256))
            return Status::Failure(OutcomeKind::CardUnreadable,
                                   std::string(kMsgBackupCardUnreadable) + " " + path);
        told.hashed += file.size;
        told.Tell(0.0);
        manifest.files.push_back(std::move(file));
    }
    std::string manifestText;
    try {
        manifestText = ManifestJson(manifest).dump(2) + "\n";
    } catch (const json::exception&) {  // a file name that is not UTF-8
        return Status::Failure(std::string(kMsgBackupNotWritten));
    }

    // libzip itself writes to a temporary file and renames it at the close; our own temporary
    // name in the same folder adds the flush to the medium before the archive takes its name.
    const fs::path target(archive);
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    RemoveKilledBackupTemporaries(folder, target.filename().string());
    std::string temp = folder / ("." + target.filename().string() + ".XXXXXX");
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return Status::Failure(std::string(kMsgBackupNotWritten));
    ::close(fd);
    struct RemoveUnlessKept {
        std::string path;
        bool kept = false;
        ~RemoveUnlessKept() {
            if (!kept) std::remove(path.c_str());
        }
    } tempFile{temp};

    int error = 0;
    ZipArchive zip(zip_open(temp.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!zip) return Status::Failure(std::string(kMsgBackupNotWritten));
    zip_register_cancel_callback_with_state(zip.get(), &CancelRequested, nullptr,
                                            const_cast<std::atomic<bool>*>(cancel));
    if (progress) {
        zip_register_progress_callback_with_state(zip.get(), 0.01, &ArchiveProgress::OnWrite,
                                                  nullptr, &told);
    }
    for (const BackupFile& file : manifest.files) {
        zip_source_t* source = zip_source_file(zip.get(), card.Path(file.path).c_str(), 0, -1);
        const std::string name = std::string(kCardBackupPrefix) + file.path;
        const zip_int64_t index =
            source == nullptr ? -1
                              : zip_file_add(zip.get(), name.c_str(), source, ZIP_FL_ENC_GUESS);
        if (index < 0) {
            if (source != nullptr) zip_source_free(source);
            return Status::Failure(std::string(kMsgBackupNotWritten));
        }
        zip_set_file_compression(zip.get(), static_cast<zip_uint64_t>(index),
                                 StoredUncompressed(file.path) ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    zip_source_t* manifestSource =
        zip_source_buffer(zip.get(), manifestText.data(), manifestText.size(), 0);
    if (manifestSource == nullptr ||
        zip_file_add(zip.get(), std::string(kCardBackupManifest).c_str(), manifestSource,
                     ZIP_FL_ENC_UTF_8) < 0) {
        if (manifestSource != nullptr) zip_source_free(manifestSource);
        return Status::Failure(std::string(kMsgBackupNotWritten));
    }
    if (zip_close(zip.get()) != 0) {
        if (cancel != nullptr && cancel->load())
            return Status::Failure(OutcomeKind::Cancelled, std::string(kMsgBackupCancelled));
        if (!CardStillMatches(card, manifest))
            return Status::Failure(std::string(kMsgBackupCardChanged));
        return Status::Failure(std::string(kMsgBackupNotWritten));
    }
    zip.release();  // closed
    {
        const FileHandle written(::open(temp.c_str(), O_RDONLY | O_CLOEXEC));
        if (!written.IsOpen() || ::fsync(written.get()) != 0)
            return Status::Failure(std::string(kMsgBackupNotWritten));
    }
    // libzip read every file a second time as it wrote the archive: "backed up" is said only of
    // an archive whose every byte matches the manifest, so that its restore will take it.
    if (!ArchiveMatches(temp, manifest)) {
        if (!CardStillMatches(card, manifest))
            return Status::Failure(std::string(kMsgBackupCardChanged));
        return Status::Failure(std::string(kMsgBackupNotWritten));
    }
    if (cancel != nullptr && cancel->load())
        return Status::Failure(OutcomeKind::Cancelled, std::string(kMsgBackupCancelled));
    if (std::rename(temp.c_str(), archive.c_str()) != 0)
        return Status::Failure(std::string(kMsgBackupNotWritten));
    tempFile.kept = true;
    return manifest;
}

Result<BackupManifest> ReadBackup(const std::string& archive) {
    const ZipArchive zip = OpenArchiveForReading(archive);
    if (!zip) return Status::Failure(std::string(kMsgBackupUnreadable));
    Result<BackupManifest> manifest = LoadManifest(zip.get());
    if (!manifest.ok()) return manifest.status();
    const Result<EntryIndexes> checked = CheckArchive(zip.get(), manifest.value());
    if (!checked.ok()) return checked.status();
    return manifest;
}

Message RestorePlan::Question() const {
    Message question = Say(MessageId::RestoreQuestion, manifest.files.size());
    question.args.insert(question.args.end(), replaced.begin(), replaced.end());
    return question;
}

Result<RestorePlan> PlanRestore(Card& card, const std::string& archive,
                                const RestoreOptions& options) {
    Result<BackupManifest> read = ReadBackup(archive);
    if (!read.ok()) return read.status();
    RestorePlan plan{archive, std::move(read.value()), {}, {}};
    const BackupManifest& manifest = plan.manifest;

    if (card.LoadDatabase().ok() && !options.force && !card.database().soundType().empty() &&
        card.database().soundType() != manifest.soundType) {
        return Status::Failure(
            OutcomeKind::Refused,
            Say(MessageId::RestoreOtherSoundType, manifest.soundType, card.database().soundType()));
    }
    for (const BackupFile& file : manifest.files) {
        if (!StaysOnCard(card.root(), file.path))
            return Status::Failure(std::string(kMsgBackupUnsafeName));
        std::error_code ec;
        if (!fs::exists(card.Path(file.path), ec)) {
            plan.changes.push_back(file.path);
            continue;
        }
        std::uint64_t size = 0;
        std::string sha256;
        if (!HashFile(card.Path(file.path), size, sha256) || size != file.size ||
            sha256 != file.sha256) {
            plan.replaced.push_back(file.path);
            plan.changes.push_back(file.path);
        }
    }
    std::sort(plan.changes.begin(), plan.changes.end());
    if (options.freeSpace != nullptr) {
        // Every file is staged beside the one it replaces before either goes.
        const std::uint64_t needed = SpaceOnCard(manifest);
        const std::optional<std::uint64_t> free = options.freeSpace->FreeBytes(card.root());
        if (free && *free < needed)
            return Status::Failure(OutcomeKind::CardFull,
                                   Say(MessageId::RestoreNoSpace, needed, *free));
    }
    return plan;
}

Result<BackupManifest> RestoreCard(Card& card, const RestorePlan& plan,
                                   const std::atomic<bool>* cancel, const CareProgress& progress) {
    const BackupManifest& manifest = plan.manifest;
    const ZipArchive zip = OpenArchiveForReading(plan.archive);
    if (!zip) return Status::Failure(std::string(kMsgBackupUnreadable));
    const Result<BackupManifest> reread = LoadManifest(zip.get());
    if (!reread.ok()) return reread.status();
    // The backup was replaced since it was planned: what the user agreed to is not what it holds.
    if (reread.value().files != manifest.files)
        return Status::Failure(std::string(kMsgBackupDamaged));
    const Result<EntryIndexes> indexes = LocateEntries(zip.get(), manifest);
    if (!indexes.ok()) return indexes.status();
    // The card may have changed while the user was asked: no file is written through a link.
    for (const BackupFile& file : manifest.files)
        if (!StaysOnCard(card.root(), file.path))
            return Status::Failure(std::string(kMsgBackupUnsafeName));

    std::vector<const BackupFile*> order;
    for (const BackupFile& file : manifest.files) order.push_back(&file);
    std::stable_sort(order.begin(), order.end(), [](const BackupFile* a, const BackupFile* b) {
        return RestoreRank(a->path) < RestoreRank(b->path);
    });
    for (const BackupFile* file : order) RemoveKilledRestoreTemporaries(card, file->path);
    const std::uint64_t total = manifest.TotalBytes();
    std::uint64_t written = 0;
    std::vector<std::unique_ptr<SafeFileWriter>> staged;
    // The backup brings its own Default.dat: the card is told from another by its root alone.
    card.AcceptDatabaseFile();
    for (const BackupFile* file : order) {
        if (cancel != nullptr && cancel->load())
            return Status::Failure(OutcomeKind::Cancelled, std::string(kMsgRestoreCancelled));
        const std::string target = card.Path(file->path);
        const std::string folder = fs::path(target).parent_path().string();
        // No folder is ever made where a card was: a pulled card stops the restore here.
        const bool noFolder = folder != card.root() && !card.MakeFolders(folder);
        auto writer = std::make_unique<SafeFileWriter>(target);
        std::uint64_t size = 0;
        std::string sha256;
        // Read and hashed again as written: the bytes that reach the card are the ones checked.
        if (noFolder || !writer->Open() ||
            !StreamEntry(
                zip.get(), indexes.value().at(file->path), size, sha256,
                [&writer](const char* data, std::size_t n) { return writer->Write(data, n); }) ||
            size != file->size || sha256 != file->sha256 || !writer->Seal()) {
            return Status::Failure(OutcomeKind::CardFull, std::string(kMsgRestoreNotWritten));
        }
        staged.push_back(std::move(writer));
        written += file->size;
        if (progress) progress(written, total);
    }
    if (cancel != nullptr && cancel->load())
        return Status::Failure(OutcomeKind::Cancelled, std::string(kMsgRestoreCancelled));
    bool changed = false;
    for (std::size_t i = 0; i < staged.size(); ++i) {
        if (!card.Present() || !staged[i]->Commit()) {
            return Status::Failure(
                OutcomeKind::CardFull,
                std::string(changed ? kMsgRestorePartlyWritten : kMsgRestoreNotWritten));
        }
        changed =
            changed || std::binary_search(plan.changes.begin(), plan.changes.end(), order[i]->path);
    }
    return manifest;
}

}  // namespace torvane
