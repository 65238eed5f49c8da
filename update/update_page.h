// The update page: the firmware and system packages the service offers, under two tabs (update,
// which keeps the card's contents, and reset, which wipes the card first, keeping the parent's
// recordings when asked), one package ticked at a time, installed through a job runner onto the
// drive chosen in the drive chooser; beside them the attached card's content and firmware
// versions. A third tab takes care of the card: check, repair, backup and restore. The page's
// state and its decisions live in update/update_page_state.h; the page shows and forwards clicks.
#pragma once

#include <QPixmap>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "delivery/download_job.h"
#include "ui/image_widgets.h"
#include "ui/page.h"
#include "update/card_care_view.h"
#include "update/package_install.h"
#include "update/update_list.h"
#include "update/update_page_state.h"

class QCheckBox;

namespace torvane {

class CGridCtrl;

class CUpdateSystem : public UpdatePageBase {
    Q_OBJECT

  public:
    static constexpr unsigned kTabUpdateId = 10;
    static constexpr unsigned kTabResetId = 20;
    static constexpr unsigned kTabCareId = 40;
    static constexpr unsigned kInstallId = 30;
    static constexpr int kGridId = 103;
    static constexpr int kTickColumn = 3;

    // `runner` runs the install and card care jobs (the download dialog in the desktop app).
    // `chooseArchive` picks a backup file (empty: the system's file dialogs).
    CUpdateSystem(QWidget* parent, const ServiceSession& session, IMessageSink& messages,
                  std::unique_ptr<IJobRunner> runner,
                  std::function<std::string(bool forSaving)> chooseArchive = {});
    ~CUpdateSystem() override;

    // UpdatePageBase
    bool HasFirmwareList() const override { return state_.List().has_value(); }
    bool RequestFirmwareList() override;
    void SetDeviceVersions(const std::string& contentVersion,
                           const std::string& firmwareVersion) override;
    // Opens the card care tab and restores `archive` there (asking first, as every restore).
    void OfferRestore(const std::string& archive) override;

    // The grid of the current tab, nothing ticked.
    void FillGrid();
    // Ticks the package of grid row `row` (1 for the first package) and unticks every other.
    void Tick(int row);
    // A click on a tab button: the tab becomes current and the grid is filled again.
    void ChooseTab(unsigned tabId);
    // The install button: the ticked package through the runner onto the chosen drive; nothing
    // without a ticked row.
    void Install();

    PackageKind CurrentKind() const { return state_.Kind(); }
    unsigned CurrentTab() const;
    // The grid row of the ticked package, or 0.
    int TickedRow() const;
    CGridCtrl* Grid() const { return grid_; }
    CImgButton* TabButton(unsigned tabId) const;
    // The install button of the current tab.
    CImgButton* InstallButton() const {
        return state_.Tab() == UpdateTab::Update ? installUpdate_.get() : installReset_.get();
    }
    const std::optional<UpdateFileList>& List() const { return state_.List(); }
    // Installs only on this list's records: a test may give one read from an answer.
    void SetList(UpdateFileList list);
    const std::string& ContentVersion() const { return state_.ContentVersion(); }
    const std::string& FirmwareVersion() const { return state_.FirmwareVersion(); }
    // The reset tab's choice to keep the DIY recordings and the name voice (on at first).
    QCheckBox* KeepRecordingsBox() const { return keepRecordings_; }
    CCardCareView* CareView() const { return careView_; }
    // The outcome of the last install (none before the first).
    const std::optional<JobOutcome>& LastOutcome() const { return lastOutcome_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void SetUpGrid();
    // The place in the tab's list (from 1) of the package a grid row shows; 0 for none.
    int PositionOfRow(int row) const;
    // The grid's boxes show the state's tick.
    void ShowTick();
    // Shows the widgets of the current tab only.
    void ShowTabWidgets();
    void DrawBoxLines(QPainter& painter) const;

    const ServiceSession& session_;
    IMessageSink& messages_;
    std::unique_ptr<IJobRunner> runner_;
    std::vector<QPixmap> pictures_;
    std::unique_ptr<CImgButton> tabUpdate_;
    std::unique_ptr<CImgButton> tabReset_;
    std::unique_ptr<CImgButton> tabCare_;
    std::unique_ptr<CImgButton> installUpdate_;
    std::unique_ptr<CImgButton> installReset_;
    UpdatePageState state_;
    CGridCtrl* grid_ = nullptr;
    QCheckBox* keepRecordings_ = nullptr;
    CCardCareView* careView_ = nullptr;
    std::optional<JobOutcome> lastOutcome_;
};

}  // namespace torvane
