#include "delivery/folder_tree.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "store/device_files.h"

namespace fs = std::filesystem;

namespace torvane {

void FolderTree::MakeParentDirectories(const std::string& filePath) {
    const auto slash = filePath.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return;
    const std::string parent = filePath.substr(0, slash);
    if (createdFolders_.count(parent) != 0) return;
    MakeParentDirectories(parent);
    ::mkdir(parent.c_str(), 0755);  // fails harmlessly when it exists
    createdFolders_.insert(parent);
}

bool FolderTree::CopyFolderTree(const std::string& source, const CardAnchor& card) {
    CardWriteBatch batch;
    const bool copied = CopyBelow(source, card.root(), card, batch);
    // A card pulled or replaced while the files were written gets none of their names.
    if (Stopped(card)) return false;
    return batch.Commit() && copied;
}

bool FolderTree::Stopped(const CardAnchor& card) const {
    return (cancel_ != nullptr && cancel_->load()) || !card.Present();
}

bool FolderTree::CopyBelow(const std::string& source, const std::string& destination,
                           const CardAnchor& card, CardWriteBatch& batch) {
    std::error_code ec;
    fs::directory_iterator it(source, ec);
    if (ec) return false;
    bool ok = true;
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) return false;
        if (cancel_ != nullptr && cancel_->load()) return false;
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        const std::string from = source + "/" + name;
        const std::string to = destination + "/" + name;
        if (it->is_directory(ec)) {
            ok = CopyBelow(from, to, card, batch) && ok;
            continue;
        }
        // Before every file: a card pulled or replaced since the last one gets nothing more.
        if (!card.Present()) return false;
        if (!CopyFileInto(batch, from, to, card)) ok = false;
    }
    return ok;
}

bool FolderTree::CopyFileInto(CardWriteBatch& batch, const std::string& from, const std::string& to,
                              const CardAnchor& card) {
    if (!card.Present()) return false;
    const std::string destination = fs::path(to).parent_path().string();
    if (createdFolders_.count(destination) == 0) {
        if (destination != card.root() && !card.MakeFolders(destination)) return false;
        createdFolders_.insert(destination);
    }
    return batch.Copy(from, to);
}

}  // namespace torvane
