// What the main window asks of the pages it shows over its web view. The content, update and
// child name pages derive from these bases and include only ui/, so that a page never depends on
// the desktop shell that hosts it.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "service/session.h"

class QComboBox;

namespace torvane {

class Card;

// What the child name page shows about the attached card.
struct DeviceHeader {
    std::string drive;
    std::string systemVersion;
    std::string firmwareVersion;
    std::shared_ptr<Card> card;  // the card shown, its database read; null without one
};

// Marks a window with its control id, as the main window and tests look pages up by it.
void SetControlId(QWidget* widget, int id);
int ControlId(const QWidget* widget);

class ContentPageBase : public QWidget {
  public:
    using QWidget::QWidget;
    // The card went away: the account's list and the card's database emptied, both grids empty.
    virtual void ResetForRemovedDevice() = 0;
    // A card was attached: reloads the account's list, the card's database and "info.dat" with
    // the filter set back to the first one.
    virtual void LoadForAttachedDevice() = 0;
    // The refresh button: clears the page, then reloads it keeping the current filter.
    virtual void Refresh() = 0;
    // Whether songs, stories or DIY contents are shown (the only lists the player plays).
    virtual bool PlayableFilterSelected() const = 0;
    // The card shown with its database read, or null before one was loaded.
    virtual std::shared_ptr<Card> LoadedCard() const = 0;
    // "systemVersion" of the card's database and the text of its "info.dat"; empty without one.
    virtual std::string DeviceSystemVersion() const = 0;
    virtual std::string DeviceFirmwareText() const = 0;
};

class UpdatePageBase : public QWidget {
  public:
    static constexpr int kDriveChooserId = 100;

    // Creates the drive chooser that the device detection keeps.
    explicit UpdatePageBase(QWidget* parent = nullptr);
    QComboBox* DriveChooser() const { return driveChooser_; }

    virtual bool HasFirmwareList() const = 0;
    // Requests the service's firmware list and fills the page's grid; false when it failed.
    virtual bool RequestFirmwareList() = 0;
    // The card's content version and firmware version shown on the page (empty: none).
    virtual void SetDeviceVersions(const std::string& contentVersion,
                                   const std::string& firmwareVersion) = 0;
    // Offers to restore a card backup the parent opened from the file manager.
    virtual void OfferRestore(const std::string& archive) = 0;

    // Told after the page wrote to the card (a package, a repair, a restore), so that the window
    // reads the card again.
    void SetCardChangedHandler(std::function<void()> handler) { cardChanged_ = std::move(handler); }
    // Where the page's jobs go: the card on the drive the device detection has selected (the
    // device's own card object when the drive holds it, so that its removal reaches the job).
    void SetTargetCardSource(std::function<std::shared_ptr<Card>()> source) {
        targetCard_ = std::move(source);
    }

  protected:
    void CardChanged() const {
        if (cardChanged_) cardChanged_();
    }
    // The card the page's jobs go to; null when no drive is selected. Without a source (a page
    // on its own), the chooser's current drive.
    std::shared_ptr<Card> TargetCard() const;

  private:
    QComboBox* driveChooser_;
    std::function<void()> cardChanged_;
    std::function<std::shared_ptr<Card>()> targetCard_;
};

class ChildPageBase : public QWidget {
  public:
    using QWidget::QWidget;
    virtual void ClearDeviceHeader() = 0;
    virtual void SetDeviceHeader(const DeviceHeader& header) = 0;
    // Requests the account's children and shows them.
    virtual void ReloadChildren() = 0;
};

}  // namespace torvane
