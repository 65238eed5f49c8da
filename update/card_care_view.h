// The card care tab of the update page: check the card, mend what can be mended, back up what
// cannot be downloaded again and restore it. Every step runs as a job in the download dialog (its
// bars, its cancel button, its questions); the findings are listed here in plain sentences, with
// what the repair did about each. The tab's state lives in update/card_care_state.h.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/message_sink.h"
#include "delivery/card_care.h"
#include "delivery/download_job.h"
#include "ui/image_widgets.h"
#include "update/card_care_state.h"

namespace torvane {

class CGridCtrl;

class CCardCareView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kWidth = 631;
    static constexpr int kHeight = 260;
    enum ButtonId : unsigned { kCheckId = 41, kRepairId, kBackupId, kRestoreId };

    // Where the page's card is, and how a file is chosen: a save or an open dialog by default,
    // a script in tests. An empty answer is the parent changing his mind.
    struct Host {
        std::function<std::shared_ptr<Card>()> card;  // where the jobs go; null: no card
        std::function<std::string(bool forSaving)> chooseArchive;
        std::function<void()> cardChanged;  // after a repair or a restore wrote to the card
    };

    CCardCareView(QWidget* parent, IJobRunner& runner, IMessageSink& messages, Host host);
    ~CCardCareView() override;

    void Check();
    void Repair();
    void Backup();
    // Restores `archive`, or a backup the parent chooses when it is empty.
    void Restore(const std::string& archive = {});

    // Lists a report without running a job: pictures of the page for the manual.
    void ShowReport(CareReport report);

    // The last check or repair; none before the first.
    const std::optional<CareReport>& Report() const { return state_.Report(); }
    // One sentence on the card's state for the page's box.
    std::string Summary() const { return state_.Summary(); }
    CGridCtrl* Findings() const { return grid_; }
    CImgButton* Button(ButtonId id) const;
    // The outcome of the last job.
    const std::optional<JobOutcome>& LastOutcome() const { return lastOutcome_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // Runs one care job on the page's card; false when there was no card to run it on.
    bool Run(CardCareJob job);
    void ShowFindings();
    // The findings shown again, and the page's box with the sentence on the card.
    void RepaintFindings();

    IJobRunner& runner_;
    IMessageSink& messages_;
    Host host_;
    CGridCtrl* grid_ = nullptr;
    std::array<std::unique_ptr<CImgButton>, 4> buttons_;
    CardCareState state_;
    std::optional<JobOutcome> lastOutcome_;
};

}  // namespace torvane
