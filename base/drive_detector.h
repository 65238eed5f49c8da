// Follows the player's memory card: once a second the main window lists the removable drives,
// keeps the update page's drive chooser in step with them, chooses the device automatically when
// none is chosen, and learns through two one-shot timers when the device appeared or went away.
// Plain C++ so the rules run in tests without a window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/removable_drives.h"
#include "common/messages.h"

namespace torvane {

class Card;

// What the detection asks of the main window and its pages.
class IDriveDetectionHost {
  public:
    virtual ~IDriveDetectionHost() = default;
    // Makes sure the update page holds the service's firmware list, requesting it when it has
    // none yet; false when the request failed (no automatic choice on this poll then).
    virtual bool EnsureFirmwareList() = 0;
    // Empties the update page's content and firmware versions and repaints it.
    virtual void ClearDeviceVersions() = 0;
    // The one-shot 100 ms timers: device removed, device attached.
    virtual void StartRemovedTimer() = 0;
    virtual void StartAttachedTimer() = 0;
    // The chooser's entries or its current entry changed.
    virtual void ChooserChanged() = 0;
};

class DriveDetector {
  public:
    DriveDetector(IDriveLister& lister, IDriveDetectionHost& host);

    // One poll of the removable drives.
    void Poll();
    // The user (or the automatic choice) made entry `index` the chooser's current entry.
    void SelectEntry(int index);

    // The chooser: drive texts in the order they appeared, and the current entry (-1 for none).
    const std::vector<std::string>& Entries() const { return entries_; }
    int CurrentEntry() const { return current_; }
    // The drive a firmware installation writes to; it need not hold the device database.
    const std::string& SelectedDrive() const { return selectedDrive_; }
    // The card chosen as the device; null while there is none. A job holds on to the card it was
    // given: choosing another one later never redirects its writes.
    std::shared_ptr<Card> CurrentCard() const { return card_; }
    // The current card's root; empty while there is none.
    std::string CardRoot() const;
    // The card on the selected drive, where the update page's jobs go: the device's own card
    // when the drive holds it, else a card object for the drive (a blank card has no database);
    // null when no drive is selected.
    std::shared_ptr<Card> SelectedDriveCard() const;
    // The device that went away, named by the removal message.
    const std::string& RemovedDevice() const { return removedDevice_; }

    // The first device attached in a run is attached silently: true exactly once.
    bool TakeFirstAttach();

  private:
    IDriveLister& lister_;
    IDriveDetectionHost& host_;
    std::vector<std::string> entries_;
    int current_ = -1;
    std::string selectedDrive_;
    std::string removedDevice_;
    std::shared_ptr<Card> card_;
    bool firstAttach_ = true;
};

}  // namespace torvane
