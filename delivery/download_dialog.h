// The modal download dialog: runs one job (contents, a system package, DIY recordings, a single
// copy) on the engine's worker thread and shows it as it happens: two bars, the byte or file
// counts, the status line and a cancel button. The worker never touches a widget: it leaves its
// progress in counters that the dialog repaints from on a timer; what the job says at its end
// (why it stopped, what it left out) the dialog tells once the job has ended. The worker asks
// nothing: a restore's question is asked between its plan and its writing, outside the job.
//
//   CDownloadDlg dialog(std::move(job), session, messages, parentWidget);
//   dialog.exec();
//   JobOutcome outcome = dialog.Outcome();
//
// A job that completes closes the dialog; one that stops short (no space, a file that did not
// arrive) leaves it open with its status until the user closes it. Closing cancels the job and
// waits for the worker, which removes its staging folder.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <memory>

#include "base/message_sink.h"
#include "delivery/download_job.h"
#include "delivery/job_end_notice.h"
#include "service/session.h"

class QPushButton;

namespace torvane {

class DownloadWorker;

class CDownloadDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kWidth = 560;
    static constexpr int kHeight = 360;
    // The service's banner, when the sign-in loaded one, is drawn below the cancel button.
    static constexpr int kBannerTop = 359;
    static constexpr int kMinBannerHeight = 40;
    static constexpr int kMaxBannerHeight = 160;

    // `freeSpace` (may be null: the card's own) decides whether the contents fit.
    CDownloadDlg(DownloadJob job, const ServiceSession& session, IMessageSink& messages,
                 QWidget* parent = nullptr, const IFreeSpace* freeSpace = nullptr);
    ~CDownloadDlg() override;

    // How the job ended; cancelled while it runs or when it never started.
    const JobOutcome& Outcome() const { return outcome_; }
    bool WorkerFinished() const { return finished_; }
    // What the dialog shows now.
    const JobProgress& Shown() const { return shown_; }
    QPushButton* CancelButton() const { return cancel_; }

    // Draws the picture at `path` (the sign-in's banner) under the dialog, which grows to hold
    // it; nothing when there is none or it does not load.
    void ShowBanner(const std::string& path);
    bool HasBanner() const { return !banner_.isNull(); }

    // Starts the worker unless it runs already (exec starts it when the dialog is shown).
    void StartJob();
    // Shows a state of the job without running it: pictures of the dialog for the manual.
    void ShowProgress(const JobProgress& progress) {
        started_ = true;
        shown_ = progress;
        update();
    }

  Q_SIGNALS:
    // The card's files changed: the page recounts its free space.
    void storageChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Escape and the window's close ask like the cancel button.
    void reject() override;

  private:
    class Bridge;

    void OnCancelClicked();
    void OnWorkerFinished(const JobOutcome& outcome);
    void RepaintIfChanged();
    // Cancels the job and waits for the worker thread.
    void StopWorker();

    std::unique_ptr<StatvfsFreeSpace> ownFreeSpace_;
    std::unique_ptr<Bridge> bridge_;
    std::unique_ptr<DownloadWorker> worker_;
    IMessageSink& messages_;
    bool careMode_ = false;
    AnnouncedJob announced_ = AnnouncedJob::None;  // told to the desktop when it ends unseen
    bool started_ = false;
    bool finished_ = false;
    bool closing_ = false;
    JobOutcome outcome_{.status = Status::Failure(OutcomeKind::Cancelled, Message{})};
    JobProgress shown_;
    unsigned seenVersion_ = 0;
    QTimer repaintTimer_;
    QPushButton* cancel_ = nullptr;
    QPixmap banner_;
};

}  // namespace torvane
