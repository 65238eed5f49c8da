// The main window's click dispatch and its handling of the device's coming and going.
#include <QApplication>
#include <QComboBox>

#include "base/menu_address.h"
#include "base/outcome_telling.h"
#include "common/messages.h"
#include "delivery/content_actions.h"
#include "service/session.h"
#include "shell/main_window.h"
#include "store/card.h"
#include "ui/left_menu.h"
#include "ui/service_scheme.h"
#include "ui/web_view.h"
#include "update/kept_recordings.h"

namespace torvane {

void CTorvaneDlg::BringToFront(QWidget* page, bool hidePlayer) {
    if (page == current_) return;
    if (current_ != webView_) {
        current_->hide();
        if (hidePlayer) topMenu_->Player()->SetHidden(true);
    }
    if (page != webView_) {
        page->show();
        page->raise();
    }
    current_ = page;
}

void CTorvaneDlg::DispatchClick(unsigned id) {
    if (current_ == nullptr) return;  // the window was not built
    CPlayer* player = topMenu_->Player();
    const bool contentShown = current_ == contentPage_;
    switch (static_cast<MainWindowId>(id)) {
        case MainWindowId::ContentButton:
            if (contentShown) return;
            if (detector_->CardRoot().empty()) {
                Say(MessageKind::Information, kMsgNoStorageDeviceMainWindow);
                BringToFront(updatePage_, false);
                return;
            }
            BringToFront(contentPage_, false);
            player->SetHidden(false);
            return;
        case MainWindowId::UpdateButton:
            BringToFront(updatePage_, true);
            return;
        case MainWindowId::Back:
            if (current_ == webView_) webView_->GoBack();
            return;
        case MainWindowId::Refresh:
            if (current_ == webView_)
                webView_->Refresh();
            else if (contentShown)
                contentPage_->Refresh();
            return;
        case MainWindowId::Forward:
            if (current_ == webView_) webView_->GoForward();
            return;
        case MainWindowId::Home:
            BringToFront(webView_, false);
            webView_->Navigate(homeAddress_);
            return;
        case MainWindowId::Close:
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
            return;
        case MainWindowId::PlayerPrevious:
            if (contentShown) player->Engine()->Previous();
            return;
        case MainWindowId::PlayerNext:
            if (contentShown) player->Engine()->Next();
            return;
        case MainWindowId::PlayerStop:
            if (contentShown) player->Engine()->Stop();
            return;
        case MainWindowId::PlayerPlay:
            if (!contentShown) return;
            if (!contentPage_->PlayableFilterSelected())
                Say(MessageKind::Plain, kMsgPlayerOnlyOnSoundTabs);
            else
                player->Engine()->Resume();
            return;
        case MainWindowId::PlayerSound:
            player->ToggleMute();
            return;
        case MainWindowId::ChildNamesEntry:
            BringToFront(childPage_, true);
            childPage_->ReloadChildren();
            return;
        case MainWindowId::CardShopEntry:
        case MainWindowId::SpecialShopEntry:
            Say(MessageKind::Plain, kMsgServiceNotReady);
            return;
        default:
            break;
    }
    if (id >= CLeftWebMenu::kFirstCategoryId && id <= CLeftWebMenu::kLastCategoryId)
        leftMenu_->OpenCategory(static_cast<int>(id - CLeftWebMenu::kFirstCategoryId));
    else if (id > IdOf(MainWindowId::ChildNamesEntry))
        OpenMenuEntry(id);
}

void CTorvaneDlg::OpenMenuEntry(unsigned id) {
    const CImgButton* entry = leftMenu_->FindEntry(id);
    if (entry == nullptr) return;
    BringToFront(webView_, true);
    // The shop's pages come through the app, which reads the service's EUC-KR as CP949.
    webView_->Navigate(
        WebViewAddress(FormatMenuAddress(entry->Label().toStdString(), setup_.session.userId),
                       setup_.session.baseUrl));
}

bool CTorvaneDlg::EnsureFirmwareList() {
    return updatePage_->HasFirmwareList() || updatePage_->RequestFirmwareList();
}

void CTorvaneDlg::ClearDeviceVersions() {
    updatePage_->SetDeviceVersions({}, {});
    updatePage_->update();
}

void CTorvaneDlg::StartRemovedTimer() {
    removedTimer_.start();
}

void CTorvaneDlg::StartAttachedTimer() {
    attachedTimer_.start();
}

void CTorvaneDlg::ChooserChanged() {
    QComboBox* chooser = updatePage_->DriveChooser();
    const QSignalBlocker blocker(chooser);
    chooser->clear();
    for (const std::string& entry : detector_->Entries()) {
        // Named as the file manager names the card; the path where a path is needed.
        chooser->addItem(QString::fromStdString(setup_.drives->DisplayName(entry)));
        chooser->setItemData(chooser->count() - 1, QString::fromStdString(entry), Qt::ToolTipRole);
    }
    chooser->setCurrentIndex(detector_->CurrentEntry());
    UpdateEjectButton();
}

// While a job's dialog (or any other modal window a page opened) is up, the pages keep the card
// they work on: the job has already been told through the card and stops by itself, and the page
// must find its card where it left it when the dialog returns. The window forgets the card after.
bool CTorvaneDlg::DeferWhileModal(QTimer& timer) {
    if (QApplication::activeModalWidget() == nullptr) return false;
    timer.start();
    return true;
}

void CTorvaneDlg::OnDeviceRemoved() {
    if (DeferWhileModal(removedTimer_)) return;
    removedTimer_.stop();
    contentPage_->ResetForRemovedDevice();
    if (!detector_->RemovedDevice().empty() && detector_->RemovedDevice() != ejectedDrive_)
        Say(MessageKind::Information, DeviceRemovedMessage(detector_->RemovedDevice()));
    ejectedDrive_.clear();
    childPage_->ClearDeviceHeader();
    DispatchClick(MainWindowId::UpdateButton);
}

void CTorvaneDlg::OnDeviceAttached() {
    if (DeferWhileModal(attachedTimer_)) return;
    attachedTimer_.stop();
    // A switch by hand starts both timers; the old device is let go before the new one loads.
    if (removedTimer_.isActive()) OnDeviceRemoved();
    if (detector_->CardRoot().empty()) return;
    if (!detector_->TakeFirstAttach())
        Say(MessageKind::Information, DeviceAttachedMessage(detector_->CardRoot()));
    ReloadCard();
    OfferWaitingPutBacks();
}

void CTorvaneDlg::OfferWaitingPutBacks() {
    const std::shared_ptr<Card> card = contentPage_->LoadedCard();
    if (card == nullptr) return;
    bool putBack = false;
    for (const WaitingPutBack& waiting : WaitingPutBacks()) {
        if (!Messages().Ask(MessageKind::Exclamation,
                            PutBackWaitingQuestion(waiting.folder, waiting.card)))
            continue;
        // Another program writing the card now: the copies wait for the next time.
        const auto lock = LockCardForAction(*card);
        if (!lock.ok()) {
            TellOutcome(Messages(), lock.status());
            return;
        }
        const std::unique_ptr<KeptRecordings> kept = KeptRecordings::Resume(waiting.folder);
        if (kept == nullptr) continue;
        // The card's databases are read again after the put-back wrote them.
        card->AcceptDatabaseFile();
        TellOutcome(Messages(), kept->AfterWipe(card->anchor()));
        putBack = true;
    }
    if (putBack) ReloadCard();
}

void CTorvaneDlg::ReloadCard() {
    if (detector_->CardRoot().empty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    contentPage_->LoadForAttachedDevice();
    DeviceHeader header;
    header.drive = detector_->CardRoot();
    header.card = contentPage_->LoadedCard();
    if (header.card != nullptr) {
        header.systemVersion = contentPage_->DeviceSystemVersion();
        header.firmwareVersion = contentPage_->DeviceFirmwareText();
    }
    updatePage_->SetDeviceVersions(header.systemVersion, header.firmwareVersion);
    updatePage_->update();
    childPage_->SetDeviceHeader(header);
    QApplication::restoreOverrideCursor();
}

void CTorvaneDlg::OfferRestore(const std::string& archive) {
    DispatchClick(MainWindowId::UpdateButton);
    updatePage_->OfferRestore(archive);
}

}  // namespace torvane
