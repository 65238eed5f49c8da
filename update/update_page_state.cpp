#include "update/update_page_state.h"

#include <utility>

#include "common/messages.h"

namespace torvane {

bool UpdatePageState::ChooseTab(UpdateTab tab) {
    if (tab == tab_) return false;
    tab_ = tab;
    ticked_ = 0;
    return true;
}

void UpdatePageState::SetList(std::optional<UpdateFileList> list) {
    list_ = std::move(list);
    ticked_ = 0;
}

void UpdatePageState::Tick(int position) {
    ticked_ = PackageAt(position) ? position : 0;
}

const std::vector<UpdateFile>& UpdatePageState::Files() const {
    static const std::vector<UpdateFile> none;
    if (!list_) return none;
    return tab_ == UpdateTab::Update ? list_->ListA() : list_->ListB();
}

void UpdatePageState::SetVersions(std::string contentVersion, std::string firmwareVersion) {
    contentVersion_ = std::move(contentVersion);
    firmwareVersion_ = std::move(firmwareVersion);
}

std::string_view UpdatePageState::VersionLabel() const {
    return tab_ == UpdateTab::Update ? kLabelContentVersion : kLabelFirmwareVersion;
}

const std::string& UpdatePageState::ShownVersion() const {
    return tab_ == UpdateTab::Update ? contentVersion_ : firmwareVersion_;
}

std::optional<UpdateFile> UpdatePageState::PackageAt(int position) const {
    const std::vector<UpdateFile>& files = Files();
    if (position < 1 || static_cast<std::size_t>(position) > files.size()) return std::nullopt;
    return files[static_cast<std::size_t>(position) - 1];
}

}  // namespace torvane
