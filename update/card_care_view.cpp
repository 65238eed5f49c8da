#include "update/card_care_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "common/messages.h"
#include "delivery/card_backup.h"
#include "ui/grid_ctrl.h"
#include "ui/list_grid.h"
#include "ui/picture_ids.h"
#include "ui/qt_text.h"

namespace torvane {
namespace {

constexpr int kGridHeight = 196;
constexpr int kButtonTop = 212;
constexpr int kButtonWidth = 146;
constexpr int kButtonHeight = 44;
constexpr int kButtonGap = 15;

struct CareButton {
    CCardCareView::ButtonId id;
    int offPicture;
    int onPicture;
};
constexpr CareButton kButtons[] = {
    {CCardCareView::kCheckId, pic::kCareCheckOff, pic::kCareCheckOn},
    {CCardCareView::kRepairId, pic::kCareRepairOff, pic::kCareRepairOn},
    {CCardCareView::kBackupId, pic::kCareBackupOff, pic::kCareBackupOn},
    {CCardCareView::kRestoreId, pic::kCareRestoreOff, pic::kCareRestoreOn},
};

}  // namespace

CCardCareView::CCardCareView(QWidget* parent, IJobRunner& runner, IMessageSink& messages, Host host)
    : QWidget(parent), runner_(runner), messages_(messages), host_(std::move(host)) {
    setFixedSize(kWidth, kHeight);
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        const int left = static_cast<int>(i) * (kButtonWidth + kButtonGap);
        buttons_[i] = std::make_unique<CImgButton>(
            this, kButtons[i].id, 0, QRect(left, kButtonTop, kButtonWidth, kButtonHeight));
        buttons_[i]->LoadFromResources(kButtons[i].offPicture, kButtons[i].onPicture, QString());
    }

    grid_ = new CGridCtrl(this);
    grid_->Create(QRect(0, 0, kWidth, kGridHeight), this, 0);
    grid_->setFrameShape(QFrame::Box);
    grid_->setFocusPolicy(Qt::TabFocus);
    grid_->SetEditable(false);
    ShowFindings();
}

CCardCareView::~CCardCareView() = default;

CImgButton* CCardCareView::Button(ButtonId id) const {
    for (std::size_t i = 0; i < std::size(kButtons); ++i)
        if (kButtons[i].id == id) return buttons_[i].get();
    return nullptr;
}

void CCardCareView::ShowFindings() {
    const ListColumn columns[] = {
        {kLabelProblemPlace, 190}, {kLabelProblem, 360}, {kLabelRepairResult, 60}};
    ResetAsList(*grid_, columns);
    for (const CardCareState::FindingRow& finding : state_.FindingRows()) {
        const int row = grid_->GetRowCount();
        grid_->SetRowCount(row + 1);
        grid_->SetItemText(row, 0, ToQString(finding.where));
        grid_->SetItemText(row, 1, ToQString(finding.problem));
        grid_->SetItemText(row, 2, ToQString(finding.result));
        for (int col = 0; col < 3; ++col) grid_->SetItemFgColour(row, col, Qt::black);
    }
    grid_->viewport()->update();
}

void CCardCareView::RepaintFindings() {
    ShowFindings();
    if (parentWidget() != nullptr) parentWidget()->update();
}

void CCardCareView::ShowReport(CareReport report) {
    state_.ShowReport(std::move(report));
    RepaintFindings();
}

bool CCardCareView::Run(CardCareJob job) {
    if (state_.Running()) return false;
    job.card = host_.card ? host_.card() : nullptr;
    if (job.card == nullptr) {
        messages_.Show(MessageKind::Information, kMsgNoDevice);
        return false;
    }
    state_.BeginJob();
    // The buttons stand in the order of the actions; a restore's plan is the restore button's.
    const CardCareJob::Action pressed =
        job.action == CardCareJob::Action::PlanRestore ? CardCareJob::Action::Restore : job.action;
    CImgButton* button = buttons_[static_cast<std::size_t>(pressed)].get();
    button->SetState(1);
    button->Repaint();
    lastOutcome_ = runner_.Run(DownloadJob(std::move(job)));
    button->SetState(0);
    state_.EndJob();
    update();
    return true;
}

void CCardCareView::Check() {
    CareReport report;
    CardCareJob job;
    job.action = CardCareJob::Action::Check;
    job.report = &report;
    if (Run(std::move(job)) && state_.AfterCheck(*lastOutcome_, std::move(report)))
        RepaintFindings();
}

void CCardCareView::Repair() {
    CareReport report;
    CardCareJob job;
    job.action = CardCareJob::Action::Repair;
    job.report = &report;
    if (!Run(std::move(job))) return;
    // Whatever the repair got to before it ended has changed the card.
    if (host_.cardChanged && lastOutcome_->cardChanged) host_.cardChanged();
    if (state_.AfterCheck(*lastOutcome_, std::move(report))) RepaintFindings();
}

void CCardCareView::Backup() {
    const std::string archive = host_.chooseArchive ? host_.chooseArchive(true) : std::string();
    if (archive.empty()) return;
    CardCareJob job;
    job.action = CardCareJob::Action::Backup;
    job.archive = archive;
    Run(std::move(job));
}

void CCardCareView::Restore(const std::string& archive) {
    const std::string chosen = !archive.empty()      ? archive
                               : host_.chooseArchive ? host_.chooseArchive(false)
                                                     : "";
    if (chosen.empty()) return;
    // The backup is read and checked first, and nothing is written until the parent has seen
    // which of the card's files it replaces.
    RestorePlan plan;
    CardCareJob planning;
    planning.action = CardCareJob::Action::PlanRestore;
    planning.archive = chosen;
    planning.plan = &plan;
    if (!Run(std::move(planning)) || !lastOutcome_->status.ok()) return;
    if (!messages_.Ask(MessageKind::Exclamation, MessageText(plan.Question()))) return;

    CardCareJob job;
    job.action = CardCareJob::Action::Restore;
    job.archive = chosen;
    job.plan = &plan;
    if (!Run(std::move(job))) return;
    if (state_.AfterRestore(*lastOutcome_)) RepaintFindings();
    // A restore stopped while it renamed its files into place has changed some of them.
    if (host_.cardChanged && lastOutcome_->cardChanged) host_.cardChanged();
}

void CCardCareView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    for (const auto& button : buttons_) button->Draw(painter);
}

void CCardCareView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    for (const auto& button : buttons_) {
        if (button->HitTest(at.x(), at.y()) == nullptr) continue;
        switch (button->Id()) {
            case kCheckId:
                Check();
                break;
            case kRepairId:
                Repair();
                break;
            case kBackupId:
                Backup();
                break;
            case kRestoreId:
                Restore();
                break;
        }
        return;
    }
}

}  // namespace torvane
