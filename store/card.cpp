#include "store/card.h"

#include <utility>

#include "store/device_files.h"

namespace torvane {

Card::Card(std::string root)
    : anchor_(std::make_shared<CardAnchor>(std::move(root))), database_(anchor_), diy_(anchor_) {}

std::optional<std::string> Card::ReadFirmwareInfo() const {
    std::string text;
    if (!ReadWholeFile(Path(card_paths::kFirmwareInfo), text)) return std::nullopt;
    return text;
}

std::shared_ptr<CardLock> Card::Lock(std::chrono::milliseconds wait) {
    auto lock = CardLock::Take(root(), wait);
    if (!lock) return nullptr;
    // Read only when this program had read them: a card still being opened reads them itself.
    const CardAnchor::Changes changes = anchor_->ChangedElsewhere();
    // A database that cannot be read again is left unsaveable, so the change this lock is taken
    // for is refused by its save: the read's own outcome is not needed here.
    if (changes.database) static_cast<void>(LoadDatabase());
    if (changes.diy) static_cast<void>(LoadDiy());
    if (changes.database || changes.diy) reloads_.fetch_add(1);
    return lock;
}

}  // namespace torvane
