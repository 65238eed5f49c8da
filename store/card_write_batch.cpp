#include "store/card_write_batch.h"

#include <sys/stat.h>

#include <set>

namespace torvane {

CardWriteBatch::~CardWriteBatch() {
    Discard();
}

bool CardWriteBatch::Add(std::unique_ptr<SafeFileWriter> writer) {
    if (writer == nullptr || !writer->SealUnsynced()) return false;
    writers_.push_back(std::move(writer));
    return true;
}

bool CardWriteBatch::Copy(const std::string& src, const std::string& dst, CopyPath path) {
    const FileHandle source = FileHandle::OpenForReading(src);
    if (!source.IsOpen()) return false;
    // A file copied onto itself (a slot saved over its own recording, the card's own recording
    // assigned again) is already what it should be.
    struct stat from {
    }, to{};
    if (::fstat(source.get(), &from) == 0 && ::stat(dst.c_str(), &to) == 0 &&
        from.st_dev == to.st_dev && from.st_ino == to.st_ino)
        return true;
    auto writer = std::make_unique<SafeFileWriter>(dst);
    return writer->Open() && writer->WriteFrom(source, path) && Add(std::move(writer));
}

bool CardWriteBatch::Commit() {
    // All the bytes first: a file renamed before another's bytes failed to reach the card would
    // be a part of a batch that its caller (an install recording a content) takes as not written.
    for (const auto& writer : writers_) {
        if (!writer->SyncSealed()) {
            Discard();
            return false;
        }
    }
    std::set<std::string> folders;
    bool ok = true;
    for (const auto& writer : writers_) {
        ok = ok && writer->RenameSealed();
        if (ok) folders.insert(writer->Folder());
    }
    for (const std::string& folder : folders) SyncFolder(folder);
    Discard();
    return ok;
}

void CardWriteBatch::Discard() {
    writers_.clear();  // each writer removes its own temporary
}

bool CopyFileSafely(const std::string& src, const std::string& dst, CopyPath path) {
    CardWriteBatch batch;
    return batch.Copy(src, dst, path) && batch.Commit();
}

}  // namespace torvane
