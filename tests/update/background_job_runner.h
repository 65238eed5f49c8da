// Runs a job of the install engine on a worker thread while the window's event loop goes on,
// without the download dialog: the update page's tests install packages through it, answer the
// engine's questions through their recording sink and, as from the dialog, hear the job's end.
#pragma once

#include <QObject>
#include <functional>

#include "base/message_sink.h"
#include "delivery/download_job.h"
#include "service/session.h"

namespace torvane {

class BackgroundJobRunner final : public QObject, public IJobRunner {
    Q_OBJECT

  public:
    // `messages` is used on the window's thread only: the engine's messages and questions are
    // handed over to it and the engine waits for the answer.
    BackgroundJobRunner(const ServiceSession& session, IMessageSink& messages,
                        QObject* parent = nullptr);

    // Returns when the job has ended; user input to the windows is held back meanwhile, as a
    // modal progress window would.
    JobOutcome Run(DownloadJob job) override;
    bool Running() const { return running_; }

  Q_SIGNALS:
    // Each report of the engine, on the window's thread.
    void progressed(const QString& status, int overallPercent);

  private:
    const ServiceSession& session_;
    IMessageSink& messages_;
    bool running_ = false;
};

}  // namespace torvane
