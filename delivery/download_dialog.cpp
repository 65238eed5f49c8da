#include "delivery/download_dialog.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <mutex>

#include "base/outcome_telling.h"
#include "common/messages.h"
#include "delivery/download_worker.h"
#include "delivery/job_end_notice.h"
#include "ui/desktop_look.h"
#include "ui/desktop_notification.h"

namespace torvane {
namespace {

const QRect kCancelRect(206, 312, 353 - 206, 359 - 312);
constexpr int kOverallBarTop = 200;
constexpr int kItemBarTop = 255;
constexpr int kBarHeight = 16;
const QColor kTextColour(0xC4, 0xFF, 0x6C);
constexpr int kRepaintMs = 30;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// What the worker thread sees of the dialog: progress goes into a snapshot the dialog's timer
// reads; storage changes and the end of the job are posted to the dialog's thread, which tells
// the parent how the job ended. Nothing here ever holds the worker.
class CDownloadDlg::Bridge final : public IJobObserver {
  public:
    explicit Bridge(CDownloadDlg& dialog) : dialog_(dialog) {}

    void OnProgress(const JobProgress& progress) override {
        std::lock_guard lock(mutex_);
        latest_ = progress;
        ++version_;
    }
    void OnStorageChanged() override {
        QMetaObject::invokeMethod(
            &dialog_, [dialog = &dialog_] { Q_EMIT dialog->storageChanged(); },
            Qt::QueuedConnection);
    }
    void OnFinished(const JobOutcome& outcome) override {
        QMetaObject::invokeMethod(
            &dialog_, [dialog = &dialog_, outcome] { dialog->OnWorkerFinished(outcome); },
            Qt::QueuedConnection);
    }

    // The latest progress when it changed since `seen`.
    bool Latest(unsigned& seen, JobProgress& out) const {
        std::lock_guard lock(mutex_);
        if (seen == version_) return false;
        seen = version_;
        out = latest_;
        return true;
    }

  private:
    CDownloadDlg& dialog_;
    mutable std::mutex mutex_;
    JobProgress latest_;
    unsigned version_ = 0;
};

CDownloadDlg::CDownloadDlg(DownloadJob job, const ServiceSession& session, IMessageSink& messages,
                           QWidget* parent, const IFreeSpace* freeSpace)
    : QDialog(parent), messages_(messages) {
    setWindowTitle(Text(kMessageCaption));
    UseArtworkPalette(*this);
    setFixedSize(kWidth, kHeight);
    setModal(true);
    careMode_ = std::holds_alternative<CardCareJob>(job.kind);
    announced_ = AnnouncedJobOf(job.kind);
    if (freeSpace == nullptr) {
        ownFreeSpace_ = std::make_unique<StatvfsFreeSpace>();
        freeSpace = ownFreeSpace_.get();
    }
    bridge_ = std::make_unique<Bridge>(*this);
    worker_ = std::make_unique<DownloadWorker>(std::move(job), session, *bridge_, *freeSpace);

    cancel_ = new QPushButton(QStringLiteral("취소"), this);
    cancel_->setObjectName(QStringLiteral("DownloadCancel"));
    cancel_->setAccessibleName(QStringLiteral("취소"));
    cancel_->setGeometry(kCancelRect);
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, &CDownloadDlg::OnCancelClicked);

    repaintTimer_.setInterval(kRepaintMs);
    connect(&repaintTimer_, &QTimer::timeout, this, &CDownloadDlg::RepaintIfChanged);
}

CDownloadDlg::~CDownloadDlg() {
    StopWorker();
}

void CDownloadDlg::StartJob() {
    if (started_) return;
    started_ = true;
    repaintTimer_.start();
    worker_->Start();
}

void CDownloadDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    StartJob();
}

void CDownloadDlg::StopWorker() {
    if (!worker_) return;
    closing_ = true;
    worker_->Cancel();
    worker_->Wait();
    repaintTimer_.stop();
}

void CDownloadDlg::RepaintIfChanged() {
    if (bridge_->Latest(seenVersion_, shown_)) update();
}

void CDownloadDlg::OnWorkerFinished(const JobOutcome& outcome) {
    if (closing_) return;
    worker_->Wait();
    finished_ = true;
    outcome_ = outcome;
    RepaintIfChanged();
    if (const auto notice = NoticeOfJobEnd(announced_, outcome); notice && ProgramInBackground())
        NotifyDesktop(Text(notice->summary), Text(notice->body));
    // What the job itself says at its end, over the dialog: why it stopped, what it left out,
    // what the parent does next. The sentence of a completed job is the caller's (the page's
    // rule): said once, after the dialog has closed.
    TellOutcome(messages_, outcome.status);
    if (outcome.status.ok()) {
        QDialog::done(QDialog::Accepted);
        return;
    }
    // A card that left or was busy has been told about: there is nothing more to read here.
    const MessageId why = outcome.status.id();
    if (outcome.status.kind() == OutcomeKind::Cancelled || why == MessageId::CardRemovedDuringJob ||
        why == MessageId::CardBusy) {
        QDialog::done(QDialog::Rejected);
        return;
    }
    // Stopped short: the user reads what happened and closes the dialog himself. Card care says
    // its own reason on the status line.
    if (!careMode_) shown_.status = std::string(kMsgDownloadIncomplete);
    update();
}

void CDownloadDlg::OnCancelClicked() {
    if (finished_ || !started_) {
        QDialog::done(QDialog::Rejected);
        return;
    }
    worker_->SetPaused(true);
    const bool stop =
        messages_.Ask(MessageKind::Question, careMode_ ? kMsgStopCardCare : kMsgStopDownload);
    worker_->SetPaused(false);
    if (!stop || finished_) return;
    StopWorker();
    // What the job did before it stopped (the contents it added, a card it changed) stays.
    outcome_ = worker_->Outcome();
    if (!outcome_.Completed()) outcome_.status = Status::Failure(OutcomeKind::Cancelled, Message{});
    finished_ = true;
    QDialog::done(QDialog::Rejected);
}

void CDownloadDlg::reject() {
    OnCancelClicked();
}

void CDownloadDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width();
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, QColor(0x3B, 0x5B, 0x2A));
    background.setColorAt(1, QColor(0x1E, 0x33, 0x17));
    painter.fillRect(rect(), background);

    const auto bar = [&](int top, int percent) {
        painter.fillRect(QRect(0, top, w, kBarHeight), QColor(0x12, 0x1F, 0x0E));
        painter.fillRect(QRect(0, top, w * percent / 100, kBarHeight), QColor(0x8C, 0xD0, 0x3E));
    };
    bar(kOverallBarTop, shown_.OverallPercent());
    bar(kItemBarTop, shown_.ItemPercent());

    QFont font = painter.font();
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    painter.setFont(font);
    painter.setPen(kTextColour);
    painter.drawText(QRect(3, 181, 300, 15), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(shown_.status));
    if (!banner_.isNull())
        painter.drawPixmap(QRect(0, kBannerTop, w, height() - kBannerTop), banner_);
    // A check counts no bytes: it shows its status alone.
    if (shown_.overallTotal == 0 && shown_.itemTotal == 0) return;
    painter.drawText(
        QRect(416, 181, w - 419, 15), Qt::AlignRight | Qt::AlignVCenter,
        QString::fromStdString(KilobyteProgress(shown_.overallDone, shown_.overallTotal)));
    painter.drawText(QRect(416, 231, w - 419, 15), Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromStdString(KilobyteProgress(shown_.itemDone, shown_.itemTotal)));
}

void CDownloadDlg::ShowBanner(const std::string& path) {
    if (path.empty()) return;
    QPixmap banner(QString::fromStdString(path));
    if (banner.isNull() || banner.width() <= 0) return;  // a banner that does not load is dropped
    banner_ = std::move(banner);
    // The service's strip under the dialog keeps its own proportions across the dialog's width.
    const int height =
        std::clamp(banner_.height() * kWidth / banner_.width(), kMinBannerHeight, kMaxBannerHeight);
    setFixedSize(kWidth, kBannerTop + height);
    update();
}

}  // namespace torvane
