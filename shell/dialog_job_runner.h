// Runs each job in the download dialog, modal over the page that asked: how the update page
// installs a system package with the same bars, messages and cancel button as any install.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "base/message_sink.h"
#include "delivery/download_job.h"
#include "service/session.h"

namespace torvane {

class DialogJobRunner final : public IJobRunner {
  public:
    // `cardWritten` (may be null) hears of each job that wrote to the card.
    DialogJobRunner(const ServiceSession& session, IMessageSink& messages, QWidget* parent,
                    std::function<void()> cardWritten = {})
        : session_(session),
          messages_(messages),
          parent_(parent),
          cardWritten_(std::move(cardWritten)) {}

    JobOutcome Run(DownloadJob job) override;

  private:
    const ServiceSession& session_;
    IMessageSink& messages_;
    QPointer<QWidget> parent_;
    std::function<void()> cardWritten_;
};

}  // namespace torvane
