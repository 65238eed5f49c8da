// The content page: what the account owns on the left, what is on the card on the right, one
// kind at a time, with the transfer and delete buttons between them, a DIY tab with the 1500 DIY
// cards, and the card's storage bar. The page only shows, asks and refills: what a click does is
// decided by the content and DIY actions and by the content view model, which torvane-cli and the
// tests use too.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "delivery/content_page_state.h"
#include "delivery/download_job.h"
#include "service/session.h"
#include "ui/image_widgets.h"
#include "ui/page.h"

class QCheckBox;
class QLineEdit;

namespace torvane {

class Card;
class CMyGrid;
class ContentCatalogue;

// What the page needs from the window around it.
struct ContentPageHost {
    // The card the device detection has chosen now; null while there is none.
    std::function<std::shared_ptr<Card>()> currentCard;
    // Plays a sound (a card file or a service address) in the main window's player.
    std::function<void(const std::string& source)> play;
    // The file dialogs; null: Qt's. The open chooser returns the chosen sound files, the save
    // chooser the chosen path (empty: cancelled) for a suggested name and filter.
    std::function<QStringList(QWidget*)> chooseSounds;
    std::function<QString(QWidget*, const QString& name, const QString& filter)> chooseSavePath;
    // Free space the download dialog checks; null: the card's own.
    const IFreeSpace* freeSpace = nullptr;
    // The waits between contents and at the end of a job; nothing: the engine's own.
    std::optional<JobTiming> timing;
    // A job wrote to the card (the window offers to take it out safely); null: nothing.
    std::function<void()> cardWritten;
    // The sign-in's banner picture, drawn under the download dialog; empty: none.
    std::string bannerImagePath;
};

class CSendContents : public ContentPageBase, private IJobRunner {
  public:
    // Widget ids, as the tabs and buttons are known by.
    static constexpr unsigned kTransferId = 10005;
    static constexpr unsigned kDeleteId = 10006;
    static constexpr unsigned kTabIds[kContentTabCount] = {10000, 10001, 10002, 10003,
                                                           10021, 10025, 10011, 10004};
    // Series and single sub-tab of book, card and excellent.
    static constexpr unsigned kSubTabIds[3][2] = {{10009, 10010}, {10024, 10023}, {10026, 10027}};
    static constexpr unsigned kSlotIds[4] = {10016, 10017, 10018, 10019};
    static constexpr unsigned kCatalogueSearchId = 10028;
    static constexpr unsigned kDeviceSearchId = 10029;
    static constexpr unsigned kCataloguePagerId = 10030;
    static constexpr unsigned kDevicePagerId = 10031;
    static constexpr int kCatalogueListId = 101;
    static constexpr int kDeviceListId = 102;

    CSendContents(QWidget* parent, const ServiceSession& session, IMessageSink& messages,
                  ContentPageHost host);
    ~CSendContents() override;

    // ContentPageBase
    void ResetForRemovedDevice() override;
    void LoadForAttachedDevice() override;
    void Refresh() override;
    bool PlayableFilterSelected() const override { return IsPlayableTab(state_.Tab()); }
    std::shared_ptr<Card> LoadedCard() const override { return state_.LoadedCard(); }
    std::string DeviceSystemVersion() const override { return state_.DeviceSystemVersion(); }
    std::string DeviceFirmwareText() const override { return state_.FirmwareText(); }

    // Reloads the account's list and the card (`clear`: empties them instead); keeps the tab
    // when `keepTab` is set, else goes back to the language tab.
    void Reload(bool clear, bool keepTab);
    void ShowReload(const ContentPageState::ReloadEnd& end);
    // Rereads the card's free space; repaints the bar when it changed.
    void RefreshStorage();
    void RefillDeviceList();
    void RecheckCatalogueRows();

    // A click on the picture widget with this id, as the mouse gives it.
    void ClickWidget(unsigned id);
    CImgButton* Widget(unsigned id) const;

    ContentTab CurrentTab() const { return state_.Tab(); }
    int CurrentSlot() const { return state_.Slot(); }
    CMyGrid* CatalogueList() const { return catalogueList_; }
    CMyGrid* DeviceList() const { return deviceList_; }
    QCheckBox* ShowAllBox(bool device) const { return device ? deviceAll_ : catalogueAll_; }
    QLineEdit* SearchEdit(bool device) const { return device ? deviceSearch_ : catalogueSearch_; }
    CPageGroup* Pager(bool device) const {
        return device ? devicePager_.get() : cataloguePager_.get();
    }
    const StorageNumbers& Storage() const { return state_.Storage(); }
    const ContentCatalogue* Catalogue() const { return state_.Catalogue(); }
    const std::shared_ptr<Card>& CurrentCardShown() const { return state_.ShownCard(); }
    // The storage bar's rectangle in the page.
    QRect StorageBarRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // IJobRunner: the download dialog, modal.
    JobOutcome Run(DownloadJob job) override;

    void CreateWidgets();
    void SelectTab(ContentTab tab);
    void PlaceListsForTab();
    void FillLists();
    void FillCatalogueList();
    void FillDeviceList();
    void FillDiyList();
    void SetCatalogueColumns();
    void SetDeviceColumns();
    void AddFillerRows(CMyGrid& list, int from, int to, int columns);
    void BuildCatalogueRow(int row, const ContentRecord& record);
    void BuildDeviceRow(int row, const ContentRecord& record);
    void BuildDiyRow(int row, int position, const DiyRecord& record);
    void SetRowEnabled(CMyGrid& list, int row, bool enabled);
    void OnCatalogueClick(int row, int column, int button);
    void OnDeviceClick(int row, int column, int button);
    void OnDeviceEdited(int row, int column);
    void OnPagerClick(bool device, CImgButton& hit);
    void OnShowAll(bool device);
    void OnSearch(bool device);
    void SelectAll(CMyGrid& list);
    void OnTransfer();
    void OnDelete();
    void OnSlotButton(int slot);
    void OnDiyButton(int row, ContentPageState::Click click);
    // The ticked rows' records, from row 1 to the first filler row.
    std::vector<ContentRecord> Ticked(const CMyGrid& list) const;
    // The card's writer lock for an action of this page; null, with the user told, when another
    // program or job keeps the card.
    std::shared_ptr<CardLock> LockCard();
    // Another program changed the card's databases and they were read again when the card was
    // locked: every list shows the card as it is now. True when they were filled again.
    bool RefillIfReloaded();
    // The record a row of `list` shows now; null for a filler row or a content that is gone.
    const ContentRecord* RecordOf(const CMyGrid& list, int row) const;
    ContentList ListOf(const CMyGrid& list) const;
    void Say(MessageKind kind, std::string_view text) { messages_.Show(kind, text); }

    const ServiceSession& session_;
    IMessageSink& messages_;
    ContentPageHost host_;
    ContentPageState state_;
    struct WaitingReload {
        bool clear = false;
        bool keepTab = false;
    };
    bool fetchingList_ = false;  // the service is answering a reload
    std::optional<WaitingReload> waitingReload_;

    std::vector<std::unique_ptr<CImgButton>> pictures_;  // the widgets drawn and hit
    std::array<CImgButton*, kContentTabCount> tabs_{};
    std::array<CImgButton*, 6> subTabs_{};
    std::array<CImgButton*, 4> slots_{};
    CImgButton* transfer_ = nullptr;
    CImgButton* delete_ = nullptr;
    CImgButton* catalogueSearchButton_ = nullptr;
    CImgButton* deviceSearchButton_ = nullptr;
    std::unique_ptr<CPageGroup> cataloguePager_;
    std::unique_ptr<CPageGroup> devicePager_;
    CMyGrid* catalogueList_ = nullptr;
    CMyGrid* deviceList_ = nullptr;
    QCheckBox* catalogueAll_ = nullptr;
    QCheckBox* deviceAll_ = nullptr;
    QLineEdit* catalogueSearch_ = nullptr;
    QLineEdit* deviceSearch_ = nullptr;
};

}  // namespace torvane
