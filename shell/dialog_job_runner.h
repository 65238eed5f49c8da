// Runs each job in the download dialog, modal over the page that asked: how the update page
// installs a system package with the same bars, messages and cancel button as any install.
#pragma once

#include <QPointer>
#include <QWidget>

#include "base/message_sink.h"
#include "delivery/download_job.h"
#include "service/session.h"

namespace torvane {

class DialogJobRunner final : public IJobRunner {
  public:
    DialogJobRunner(const ServiceSession& session, IMessageSink& messages, QWidget* parent)
        : session_(session), messages_(messages), parent_(parent) {}

    JobOutcome Run(DownloadJob job) override;

  private:
    const ServiceSession& session_;
    IMessageSink& messages_;
    QPointer<QWidget> parent_;
};

}  // namespace torvane
