#include "store/card_write_batch.h"

#include <sys/stat.h>

#include <set>

namespace torvane {

CardWriteBatch::~CardWriteBatch() {
    Discard();
}

bool CardWriteBatch::Add(std::unique_ptr<SafeFileWriter> writer) {
    if (writer == nullptr || !writer->SealUnsynced()) return false;
    {
        std::lock_guard lock(mutex_);
        unsynced_.push_back(writer.get());
    }
    writers_.push_back(std::move(writer));
    // A single file is synced by Commit itself; from the second on, a thread waits for each
    // while the next is written.
    if (writers_.size() == 2) syncer_ = std::thread([this] { SyncInOrder(); });
    added_.notify_one();
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

void CardWriteBatch::SyncInOrder() {
    std::unique_lock lock(mutex_);
    for (;;) {
        added_.wait(lock, [this] { return !unsynced_.empty() || closed_; });
        if (unsynced_.empty()) return;
        SafeFileWriter* writer = unsynced_.front();
        unsynced_.pop_front();
        if (syncFailed_) continue;
        // The card's flush is waited for outside the lock, while the next file is written.
        lock.unlock();
        const bool synced = writer->SyncSealed();
        lock.lock();
        syncFailed_ = syncFailed_ || !synced;
    }
}

bool CardWriteBatch::FinishSyncing(bool dropping) {
    {
        std::lock_guard lock(mutex_);
        if (dropping) unsynced_.clear();
        closed_ = true;
    }
    added_.notify_one();
    if (syncer_.joinable())
        syncer_.join();
    else
        SyncInOrder();
    std::lock_guard lock(mutex_);
    const bool synced = !syncFailed_;
    closed_ = syncFailed_ = false;
    return synced;
}

bool CardWriteBatch::Commit() {
    // All the bytes first: a file named before another's bytes failed to reach the card would
    // be a part of a batch that its caller (an install recording a content) takes as not written.
    if (!FinishSyncing(false)) {
        Discard();
        return false;
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
    FinishSyncing(true);
    writers_.clear();  // each writer removes its own temporary
}

bool CopyFileSafely(const std::string& src, const std::string& dst, CopyPath path) {
    CardWriteBatch batch;
    return batch.Copy(src, dst, path) && batch.Commit();
}

}  // namespace torvane
