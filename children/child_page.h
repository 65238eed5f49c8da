// The child name page: the attached card's header, the account's children two rows each, the add
// window, and the commands of a child's rows (delete, request, apply, release, listen). The rules
// live in children/child_rules.h and children/name_voice.h, the page's state and its decisions in
// children/child_page_state.h; the page shows, asks and refills.
#pragma once

#include <QPixmap>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/message_sink.h"
#include "children/child_page_state.h"
#include "children/child_rules.h"
#include "children/children_service.h"
#include "store/default_xml.h"
#include "ui/image_widgets.h"
#include "ui/page.h"
#include "ui/player.h"

namespace torvane {

class CardLock;
class CChildWnd;
class CGridCtrl;

class CManagerPrivate : public ChildPageBase {
    Q_OBJECT

  public:
    static constexpr int kGridId = 100;
    static constexpr int kAddButtonId = 100;
    static constexpr int kDriveListId = 100;
    static constexpr int kDeleteCommand = 6;
    static constexpr int kDeleteColumn = 6;

    // `engine` plays the listen button's voice (null: the platform's player, made on first use).
    CManagerPrivate(QWidget* parent, const ServiceSession& session, IMessageSink& messages,
                    std::unique_ptr<IMediaEngine> engine = nullptr);
    ~CManagerPrivate() override;

    // ChildPageBase
    void ClearDeviceHeader() override;
    void SetDeviceHeader(const DeviceHeader& header) override;
    void ReloadChildren() override;

    // The add window's add button: checks, sends, reloads and says how it went.
    void AddChildFromWindow();
    // A command of a child's rows: 6 (delete) on the first row, 100 to 103 on the second.
    void RunCommand(int row, int command);
    // The add button: shows the add window, or hides it when shown.
    void ToggleAddWindow();

    // Set from an apply or release until its work on the card has ended.
    bool Busy() const { return state_.Busy(); }
    CGridCtrl* Grid() const { return grid_; }
    CChildWnd* AddWindow() const { return addWindow_; }
    CImgButton* AddButton() const { return addButton_.get(); }
    QComboBox* DriveList() const { return driveList_; }
    // The children of the last reload, in list order (two grid rows each).
    const std::vector<ChildInfo>& Children() const { return state_.Children(); }
    // The child of a grid row (either of its two rows), or null when deleted or none.
    const ChildInfo* ChildOfRow(int row) const { return state_.ChildOfRow(row); }
    CWmpPlayer* Player() const { return player_.get(); }
    // The counts under "단말기 정보": the shown card's contents as its database holds them now
    // (all 0 without a card).
    ContentCounts ShownCounts() const { return state_.Counts(); }

  Q_SIGNALS:
    // An apply or release has ended and the list was reloaded.
    void cardWorkFinished();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // The children as the service lists them, fetched and read on a worker thread; nothing when
    // the page was closed before the answer came.
    std::optional<ChildrenList> FetchOffWindowThread();
    void AddChildRows(const ChildInfo& child);
    void SetUpColumns();
    void Delete(int row);
    void Request(int row);
    void StartCardWork(const ChildInfo* child);
    void FinishCardWork(const std::shared_ptr<Card>& card, bool placed);
    void Listen(int row);

    const ServiceSession& session_;
    IMessageSink& messages_;
    std::unique_ptr<IMediaEngine> engine_;
    ChildPageState state_;
    QComboBox* driveList_ = nullptr;
    CChildWnd* addWindow_ = nullptr;
    std::vector<QPixmap> pictures_;
    std::unique_ptr<CImgButton> addButton_;
    CGridCtrl* grid_ = nullptr;
    std::unique_ptr<CWmpPlayer> player_;
    std::thread cardWork_;
    // The card's writer lock, from the click until the name voice and the database are written.
    std::shared_ptr<CardLock> cardWorkLock_;
};

}  // namespace torvane
