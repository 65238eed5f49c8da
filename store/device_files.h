// The store's file layer, the only code that writes the card: one file handle, one whole-file
// reader, one crash-safe writer, one copy, one folder-emptying walk, and the deletion of contents'
// files. Every file the device reads is written under a temporary name in its own folder and
// renamed when whole, so a pulled or full card keeps the previous file rather than half a new one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/content_record.h"

namespace torvane {

// "&", "<", ">", '"' and "'" as entities; a control character XML cannot hold becomes "?"; every
// other byte unchanged.
std::string EscapeXmlText(std::string_view text);
// The same, appended to `out`.
void AppendEscapedXmlText(std::string_view text, std::string& out);

// An open file descriptor, closed with the object.
class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() { Close(); }
    FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    static FileHandle OpenForReading(const std::string& path);

    bool IsOpen() const { return fd_ >= 0; }
    int get() const { return fd_; }
    // False when the close reported an error (on a card: data that never reached it).
    bool Close();

  private:
    int fd_ = -1;
};

// The whole file's bytes. False when the file cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// The whole file as text, cut at its first NUL byte (a deciphered file keeps up to seven zero
// bytes of padding). False when the file cannot be opened or read.
bool ReadWholeTextFile(const std::string& path, std::string& text);

// Deletes every file and sub-folder below `folder` but keeps the folder itself (a drive's mount
// point, the staging folder). Symbolic links are removed, never followed. Goes on after a failure;
// false when the folder cannot be listed or anything below it could not be removed.
bool EmptyFolderTree(const std::string& folder);

// Deletes, anywhere below `folder`, every file whose name (exactly, case-sensitively) is the name
// of a file of one of the contents. False when the folder cannot be listed or a deletion failed.
bool DeleteContentFiles(const std::vector<ContentRecord>& contents, const std::string& folder);

// A folder of its own for one job below the private temporary folder, removed with everything in
// it when the object goes. Two jobs at once (two torvane-cli runs, or the CLI beside the desktop
// app) never see each other's files, and a killed run's leftovers are never taken for this job's.
// The folder is locked while the object lives: a new one removes the folders of the same prefix
// that no living program holds, the leftovers of killed runs.
class ScratchFolder {
  public:
    // Makes "<temporary folder>/<prefix>.XXXXXX"; path() is empty when it cannot be made.
    explicit ScratchFolder(std::string_view prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
    FileHandle lock_;
};

// One plain name inside a folder: not empty, not "." or "..", and without "/", "\\" or NUL. A
// name from the service or from an archive must be one before it becomes part of a card path.
bool IsPlainComponent(std::string_view name);

// A seam for tests: the card as a device that fails after a number of bytes, the way a card that
// fills up or is pulled fails part-way through a write. Every write of SafeFileWriter (and so of
// every save, copy and install) is counted, and each rename counts as one byte; once the fault
// strikes, every later write and rename fails too. Process-wide: tests arm it around one job.
class CardFaults {
  public:
    struct Write {
        std::uint64_t start;  // bytes the card had taken before this write
        std::uint64_t size;   // 1 for a rename
    };
    // The card takes `bytes` more, then fails; nothing: no fault, only the writes recorded.
    static void FailAfter(std::optional<std::uint64_t> bytes);
    static void Clear();
    // The writes since FailAfter, in order.
    static std::vector<Write> Writes();
};

// Makes the renames inside `folder` durable. Some file systems (vfat among them) cannot sync a
// folder, which is not a failure of the write.
void SyncFolder(const std::string& folder);

// Writes all of `data` to the open descriptor, going on after interrupted writes.
bool WriteAll(int fd, const char* data, std::size_t size);

// How a copy moves the bytes. The kernel's copy (copy_file_range) is the fast path; FAT cards
// mounted through FUSE refuse it, and the copy then reads and writes the bytes itself. Tests force
// the byte loop to check it on file systems that would take the fast path.
enum class CopyPath { KernelFirst, BytesOnly };

// Replaces a file so that a pulled card, a full card or a crash never leaves it truncated: the
// bytes go to a temporary name in the same folder, are flushed to the medium and then renamed over
// the final name. Until Commit succeeds the previous file stays whole. Writes are buffered.
class SafeFileWriter {
  public:
    explicit SafeFileWriter(std::string path);
    ~SafeFileWriter();  // discards the temporary file unless committed
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the temporary file; false when the folder cannot take it.
    bool Open();
    bool Write(const void* data, std::size_t size);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
    // Appends the rest of `source`'s bytes, from its current offset.
    bool WriteFrom(const FileHandle& source, CopyPath path = CopyPath::KernelFirst);
    // Flushes, syncs and closes the temporary file, keeping it for a later Commit: a restore of
    // thousands of files stages them all before it renames any, without holding a descriptor for
    // each. False (and the temporary file gone) on failure.
    bool Seal();
    // Flushes, syncs, and renames over the final name. False (and nothing replaced) on failure.
    bool Commit();
    // Drops the temporary file; the final file is left as it was.
    void Discard();

    const std::string& path() const { return path_; }

  private:
    // The batch's steps (store/card_write_batch.h): the temporary closed with its bytes on their
    // way to the card but not waited for, then waited for, then renamed. Each failure removes
    // the temporary.
    friend class CardWriteBatch;
    bool SealUnsynced();
    bool SyncSealed();
    bool RenameSealed();
    std::string Folder() const;

    // Writes straight to the temporary, starting the card on what is written.
    bool Put(const char* data, std::size_t size);
    bool FlushBuffer();
    bool Close(bool sync);
    void DropTemporary();
    bool CopyByKernel(int source, bool& refused);
    bool CopyByBytes(int source);

    std::string path_;
    std::string tempPath_;
    FileHandle file_;
    bool failed_ = false;
    bool sealed_ = false;
    bool synced_ = false;
    std::uint64_t written_ = 0;      // bytes written to the temporary by Put
    std::uint64_t startedUpTo_ = 0;  // of which started for the card
    std::string buffer_;
};

// The whole of `bytes` as the file at `path`, through SafeFileWriter.
bool WriteFileSafely(const std::string& path, std::string_view bytes);

// The one copy: the bytes of `src` (only the bytes: FAT refuses owners and permission bits)
// become the file `dst` through SafeFileWriter. A failed copy leaves `dst` as it was and no
// temporary file behind. A batch of one (store/card_write_batch.h, where it is defined); many
// files go through one CardWriteBatch.
bool CopyFileSafely(const std::string& src, const std::string& dst,
                    CopyPath path = CopyPath::KernelFirst);

}  // namespace torvane
