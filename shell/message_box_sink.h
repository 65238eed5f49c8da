// Messages of the desktop app: modal message boxes with the caption "Torvane".
#pragma once

#include <QPointer>
#include <QWidget>

#include "base/message_sink.h"

namespace torvane {

class MessageBoxSink final : public IMessageSink {
  public:
    explicit MessageBoxSink(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void Show(MessageKind kind, std::string_view text) override;
    bool Ask(MessageKind kind, std::string_view question) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace torvane
