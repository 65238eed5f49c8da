#include "base/drive_detector.h"

#include <algorithm>

#include "store/card.h"

namespace torvane {
namespace {

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

}  // namespace

DriveDetector::DriveDetector(IDriveLister& lister, IDriveDetectionHost& host)
    : lister_(lister), host_(host) {}

void DriveDetector::Poll() {
    const std::vector<std::string> drives = lister_.RemovableDrives();
    bool changed = false;
    bool cardLeft = false;

    // Entries whose drive is gone. The device's own entry stays one more poll so that the
    // removal is handled first; the next poll finds it no longer the device and drops it.
    for (int i = static_cast<int>(entries_.size()) - 1; i >= 0; --i) {
        const std::string entry = entries_[i];
        if (Contains(drives, entry)) continue;
        selectedDrive_.clear();
        if (entry != CardRoot()) {
            entries_.erase(entries_.begin() + i);
            if (current_ == i)
                current_ = -1;
            else if (current_ > i)
                --current_;
            changed = true;
        } else {
            host_.ClearDeviceVersions();
            removedDevice_ = entry;
            // Every job and page still holding the card stops writing to it from now on.
            card_->MarkRemoved();
            card_.reset();
            host_.StartRemovedTimer();
            cardLeft = true;
        }
    }

    bool appended = false;
    for (const std::string& drive : drives) {
        if (Contains(entries_, drive)) continue;
        entries_.push_back(drive);
        appended = true;
    }
    if (appended) changed = true;
    if (changed) host_.ChooserChanged();
    // A new drive may be the card; so may a card already there when the chosen one leaves.
    if (!appended && !cardLeft) return;

    if (!host_.EnsureFirmwareList()) return;
    if (card_) return;
    for (size_t i = 0; i < entries_.size(); ++i) {
        // The card that just left keeps its entry one more poll; it is not there to choose.
        if (!Contains(drives, entries_[i]) || !HoldsDeviceDatabase(entries_[i])) continue;
        SelectEntry(static_cast<int>(i));
        return;
    }
}

void DriveDetector::SelectEntry(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return;
    current_ = index;
    const std::string entry = entries_[index];
    selectedDrive_ = entry;
    if (card_) {
        // A switch by hand: the old device is dropped without a removal message.
        host_.ClearDeviceVersions();
        removedDevice_.clear();
        card_.reset();
        host_.StartRemovedTimer();
    }
    if (HoldsDeviceDatabase(entry)) {
        card_ = std::make_shared<Card>(entry);
        host_.StartAttachedTimer();
    }
    host_.ChooserChanged();
}

std::string DriveDetector::CardRoot() const {
    return card_ ? card_->root() : std::string();
}

std::shared_ptr<Card> DriveDetector::SelectedDriveCard() const {
    if (selectedDrive_.empty()) return nullptr;
    if (card_ && card_->root() == selectedDrive_) return card_;
    return std::make_shared<Card>(selectedDrive_);
}

bool DriveDetector::TakeFirstAttach() {
    const bool first = firstAttach_;
    firstAttach_ = false;
    return first;
}

}  // namespace torvane
