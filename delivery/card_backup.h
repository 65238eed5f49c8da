// Backing a card up and restoring it: what exists nowhere else (the databases, the tables, the
// parent's DIY recordings, the child's name voice, info.dat) goes into one ZIP archive with a
// manifest of every file's size and SHA-256, and comes back from it only when every byte checks.
// Contents bought from the service are left out unless asked for: they can be downloaded again.
//
// The archive holds "manifest.json" and the card's files below "card/", by their paths relative
// to the card's root. A backup is written under a temporary name beside the archive and renamed
// when whole, so a backup cut off half-way leaves an earlier backup of the same name as it was.
// A backup is checked against its manifest before it takes its name: a file that changed while it
// was read makes the backup fail. A restore is planned first: the whole archive is read and
// checked, with the card's free space, and the plan names the files it replaces, so that the front
// end asks the user before anything is written. The confirmed restore then writes every file under
// a temporary name beside its place, checking its bytes again, and renames them all at the end.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/status.h"
#include "delivery/download_job.h"
#include "store/card.h"

namespace torvane {

// The manifest's "format" value: how a restore knows the archive is ours.
inline constexpr std::string_view kCardBackupFormat = "torvane-card-backup";
inline constexpr int kCardBackupFormatVersion = 1;
inline constexpr std::string_view kCardBackupManifest = "manifest.json";
inline constexpr std::string_view kCardBackupPrefix = "card/";

struct BackupFile {
    std::string path;  // relative to the card's root, "/" separated
    std::uint64_t size = 0;
    std::string sha256;  // lower-case hex
    bool operator==(const BackupFile&) const = default;
};

struct BackupManifest {
    std::string programVersion;
    std::string systemVersion;  // of the card's content database; empty when it was unreadable
    std::string soundType;
    std::string date;  // "YYYY-MM-DDThh-mm-ss", local time
    std::vector<BackupFile> files;

    // The bytes of all its files.
    std::uint64_t TotalBytes() const;
};

// Told as a backup or restore goes: the bytes handled so far out of all it will handle.
using CareProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// The card's files that a backup takes, sorted by path: with `everything`, every regular file;
// otherwise the databases, rec.tbl and every rfid.tbl/sw.tbl, the files below ck9 and ck1, and
// info.dat. Symbolic links are never followed, and the temporaries of cut-off writes (".~")
// are left out.
std::vector<std::string> BackupFileList(const std::string& root, bool everything);

// Writes the backup of `card` to `archive`. `cancel`, when set during the run, stops it (the
// earlier archive stays). Returns the manifest written; the failure's message is a sentence for
// the user. `progress` counts every file twice: once read for its hash, once into the archive.
Result<BackupManifest> BackupCard(Card& card, const std::string& archive, bool everything,
                                  const std::atomic<bool>* cancel = nullptr,
                                  const CareProgress& progress = {});

// Opens and checks a backup without touching any card: the manifest is ours, every entry is a
// plain relative path below the card, no entry is a link, every file the manifest lists is there
// with its size and SHA-256, and nothing else is.
Result<BackupManifest> ReadBackup(const std::string& archive);

struct RestoreOptions {
    bool force = false;  // restore onto a card of another sound type
    // The card's free space, compared with the backup's size before anything is written; none:
    // not compared.
    const IFreeSpace* freeSpace = nullptr;
};

// What a restore will do, found before anything is written: the checked backup and the card's
// files it will replace. The front end asks the user with Question() and hands the plan back to
// RestoreCard once confirmed.
struct RestorePlan {
    std::string archive;
    BackupManifest manifest;
    // The card's files that hold other bytes than the backup's, in the manifest's order; a file
    // the card lacks is restored without being replaced.
    std::vector<std::string> replaced;
    // Every file the restore changes, replaced or new, sorted: a restore stopped among its final
    // renames says that part of the card changed only when one of these was renamed.
    std::vector<std::string> changes;

    // "Restore these N files, replacing …?" (RestoreQuestion).
    Message Question() const;
};

// Plans the restore of `archive` onto `card` and writes nothing: checks the backup (ReadBackup),
// refuses a card of another sound type unless forced (Refused), checks the card's free space
// (CardFull) and lists what it will replace. A card whose database cannot be read has no sound
// type to compare: the restore is its rescue.
Result<RestorePlan> PlanRestore(Card& card, const std::string& archive,
                                const RestoreOptions& options);

// Restores a plan the user confirmed onto `card`, asking nothing: every file is read from the
// archive and hashed again as it is staged beside its place, so a backup changed since it was
// planned writes nothing; then they are all renamed into place. A failure before the final
// renames changes nothing; a failure among the renames says that part of the card changed.
// `progress` counts the bytes written to the card.
Result<BackupManifest> RestoreCard(Card& card, const RestorePlan& plan,
                                   const std::atomic<bool>* cancel = nullptr,
                                   const CareProgress& progress = {});

}  // namespace torvane
