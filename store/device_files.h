// File-system helpers shared by the store and its neighbours: escaping and reading the database
// text, emptying folders, deleting the files of contents, the private temporary folder, and the
// safe way to replace a file the device reads.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "store/content_record.h"

namespace torvane {

// "&", "<", ">", '"' and "'" as entities; every other byte unchanged.
std::string EscapeXmlText(std::string_view text);

// The whole file as text, cut at its first NUL byte (a deciphered file keeps up to seven zero
// bytes of padding). False when the file cannot be opened or read.
bool ReadWholeTextFile(const std::string& path, std::string& text);

// Deletes every file and sub-folder below `folder` but keeps the folder itself. False when the
// folder cannot be listed or a file or sub-folder at this level could not be removed.
bool EmptyFolderTree(const std::string& folder);

// Deletes, anywhere below `folder`, every file whose name (exactly, case-sensitively) is the name
// of a file of one of the contents. False when the folder cannot be listed or a deletion failed.
bool DeleteContentFiles(const std::vector<ContentRecord>& contents, const std::string& folder);

// The user's private temporary folder (no trailing "/"): "torvane-<uid>" below $TMPDIR (else
// /tmp), mode 0700, owned by the user. Empty when it cannot be made safe, for instance when the
// name is a symlink or another user owns it: deciphered databases must not leak or be planted.
std::string GetTempFolder();

// Writes all of `data` to the open descriptor, going on after interrupted writes.
bool WriteAll(int fd, const char* data, std::size_t size);

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
    // Flushes, syncs, and renames over the final name. False (and nothing replaced) on failure.
    bool Commit();
    // Drops the temporary file; the final file is left as it was.
    void Discard();

    const std::string& path() const { return path_; }

  private:
    bool FlushBuffer();

    std::string path_;
    std::string tempPath_;
    int fd_ = -1;
    bool failed_ = false;
    std::string buffer_;
};

// The whole of `bytes` as the file at `path`, through SafeFileWriter.
bool WriteFileSafely(const std::string& path, std::string_view bytes);

// A byte copy of `src` at `dst`, through SafeFileWriter.
bool CopyFileSafely(const std::string& src, const std::string& dst);

// A plain write of a staging file ("wb": created anew or truncated). False on any failure.
bool WritePlainFile(const std::string& path, std::string_view bytes);

}  // namespace torvane
