// The update page's state without a window: the tab shown, the packages the service offers and
// which of them each tab lists, the versions of the card, the reset's choice to keep the parent's
// recordings, which package is ticked, and which package an install click installs. The desktop
// page draws this state and forwards its clicks; tests drive it directly.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/package_install.h"
#include "update/update_list.h"

namespace torvane {

// The page's tabs, left to right: update (keeps the card's contents), reset (wipes the card
// first) and card care.
enum class UpdateTab { Update, Reset, Care };

class UpdatePageState {
  public:
    UpdateTab Tab() const { return tab_; }
    // True when the click changes the tab (the list is then filled again, nothing ticked).
    bool ChooseTab(UpdateTab tab);
    // The packages' kind of the tab: a reset only under the reset tab.
    PackageKind Kind() const {
        return tab_ == UpdateTab::Update ? PackageKind::Update : PackageKind::Reset;
    }
    // What the tab shows: the package list with its install button, the reset's keep choice, or
    // the card care view.
    bool ShowsPackages() const { return tab_ != UpdateTab::Care; }
    bool ShowsKeepRecordings() const { return tab_ == UpdateTab::Reset; }
    bool ShowsCare() const { return tab_ == UpdateTab::Care; }

    // The service's list; none before it was fetched or after a failed fetch.
    const std::optional<UpdateFileList>& List() const { return list_; }
    // A new list is shown with nothing ticked.
    void SetList(std::optional<UpdateFileList> list);
    // The packages the current tab lists, in row order.
    const std::vector<UpdateFile>& Files() const;

    void SetVersions(std::string contentVersion, std::string firmwareVersion);
    const std::string& ContentVersion() const { return contentVersion_; }
    const std::string& FirmwareVersion() const { return firmwareVersion_; }
    // The version line of the box under the package tabs: the update tab names the card's content
    // version, the reset tab its firmware's.
    std::string_view VersionLabel() const;
    const std::string& ShownVersion() const;

    // A parent who resets the player rarely means to lose the recordings made for the child: on
    // at first.
    bool KeepRecordings() const { return keepRecordings_; }
    void SetKeepRecordings(bool keep) { keepRecordings_ = keep; }
    // Whether the install keeps the recordings: only a reset, and only when the parent chose to.
    bool InstallKeepsRecordings() const { return Kind() == PackageKind::Reset && keepRecordings_; }

    // Whether an install click is taken: not under the card care tab, not while one runs.
    bool TakesInstallClick() const { return !installing_ && tab_ != UpdateTab::Care; }
    // One package at a time is ticked: `position` counts the listed packages from 1; any other
    // number unticks them all.
    void Tick(int position);
    // The ticked package's position, 0 for none.
    int Ticked() const { return ticked_; }
    // The package at `position`, copied so that the list may change under a running job;
    // nothing for a position the tab does not list.
    std::optional<UpdateFile> PackageAt(int position) const;
    // The package an install click takes: the ticked one.
    std::optional<UpdateFile> TickedPackage() const { return PackageAt(ticked_); }
    void SetInstalling(bool installing) { installing_ = installing; }

  private:
    UpdateTab tab_ = UpdateTab::Update;
    std::optional<UpdateFileList> list_;
    std::string contentVersion_;
    std::string firmwareVersion_;
    bool keepRecordings_ = true;
    bool installing_ = false;
    int ticked_ = 0;
};

}  // namespace torvane
