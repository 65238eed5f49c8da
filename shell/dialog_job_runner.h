// Runs each job in the download dialog, modal over the page that asked: how the update page
// installs a system package with the same bars, messages and cancel button as any install.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "base/message_sink.h"
#include "delivery/download_job.h"
#include "service/session.h"

namespace torvane {

class DialogJobRunner final : public IJobRunner {
  public:
    // `cardWritten` (may be null) hears of each job that wrote to the card; the dialog draws the
    // banner picture at `bannerImagePath` when there is one.
    DialogJobRunner(const ServiceSession& session, IMessageSink& messages, QWidget* parent,
                    std::function<void()> cardWritten = {}, std::string bannerImagePath = {})
        : session_(session),
          messages_(messages),
          parent_(parent),
          cardWritten_(std::move(cardWritten)),
          bannerImagePath_(std::move(bannerImagePath)) {}

    JobOutcome Run(DownloadJob job) override;

  private:
    const ServiceSession& session_;
    IMessageSink& messages_;
    QPointer<QWidget> parent_;
    std::function<void()> cardWritten_;
    std::string bannerImagePath_;
};

}  // namespace torvane
