// The main window's card through the disk service: a chooser entry mounted when chosen, and the
// card's safe removal.
#include <QApplication>
#include <QPushButton>
#include <algorithm>

#include "base/udisks2_volumes.h"
#include "common/messages.h"
#include "shell/main_window.h"

namespace torvane {

void CTorvaneDlg::ChooseEntry(int index) {
    const std::vector<std::string>& entries = detector_->Entries();
    if (index < 0 || index >= static_cast<int>(entries.size())) return;
    const std::string entry = entries[index];
    std::string error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string usable = setup_.drives->MakeUsable(entry, error);
    QApplication::restoreOverrideCursor();
    if (usable.empty()) {
        Say(MessageKind::Exclamation, std::string(kMsgMountFailed) + error);
        ChooserChanged();  // back to the entry that is current
        return;
    }
    if (usable != entry) {
        // Mounted: the card's folder takes its device's place, and may be chosen at once.
        detector_->Poll();
        if (detector_->CardRoot() == usable) return;
        const auto found = std::find(entries.begin(), entries.end(), usable);
        if (found == entries.end()) return;
        index = static_cast<int>(found - entries.begin());
    }
    detector_->SelectEntry(index);
}

std::string CTorvaneDlg::ChosenDrive() const {
    return detector_->CardRoot().empty() ? detector_->SelectedDrive() : detector_->CardRoot();
}

void CTorvaneDlg::UpdateEjectButton() {
    if (ejectButton_ == nullptr) return;
    ejectButton_->setVisible(volumeLister_ != nullptr &&
                             volumeLister_->VolumeOf(ChosenDrive()).has_value());
}

void CTorvaneDlg::EjectCard() {
    // A job writing to the card must end first; its dialog stands over the window meanwhile.
    if (QApplication::activeModalWidget() != nullptr) {
        Say(MessageKind::Exclamation, kMsgEjectRefusedDuringJob);
        return;
    }
    const std::string drive = ChosenDrive();
    const auto volume = volumeLister_ != nullptr ? volumeLister_->VolumeOf(drive) : std::nullopt;
    if (!volume) {
        Say(MessageKind::Information, volumeLister_ != nullptr && ownVolumes_->Available()
                                          ? std::string(kMsgNotARemovableCard) + drive
                                          : std::string(kMsgNoDiskService));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::string error = torvane::EjectCard(*ownVolumes_, *volume);
    QApplication::restoreOverrideCursor();
    if (!error.empty()) {
        Say(MessageKind::Exclamation, std::string(kMsgEjectFailed) + error);
        return;
    }
    // The card leaves the list now; its removal needs no second message.
    ejectedDrive_ = drive;
    detector_->Poll();
    Say(MessageKind::Information, kMsgCardMayBePulled);
}

void CTorvaneDlg::OfferEjectAfterWrite() {
    ejectOfferTimer_.start();
}

void CTorvaneDlg::AskToEject() {
    if (DeferWhileModal(ejectOfferTimer_)) return;
    // Only a card the disk service can take out is offered; a folder or a card it does not
    // manage is the file manager's to take out.
    if (volumeLister_ == nullptr || !volumeLister_->VolumeOf(ChosenDrive()).has_value()) return;
    if (setup_.messages->Ask(MessageKind::Plain, kMsgOfferEjectAfterJob)) EjectCard();
}

}  // namespace torvane
