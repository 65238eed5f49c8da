// Doubles shared by the desktop window tests: a message recorder and a silent media engine.
#pragma once

#include <QString>
#include <QStringList>

#include "base/message_sink.h"
#include "ui/player.h"

namespace torvane::testing {

class RecordingSink final : public IMessageSink {
  public:
    void Show(MessageKind, std::string_view text) override {
        shown << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    bool Ask(MessageKind, std::string_view question) override {
        shown << QString::fromUtf8(question.data(), static_cast<qsizetype>(question.size()));
        return false;
    }
    QStringList Take() { return std::exchange(shown, {}); }

    QStringList shown;
};

// Plays nothing; remembers what it was asked.
class SilentEngine final : public IMediaEngine {
  public:
    bool Initialise() override { return true; }
    void SetStateListener(StateListener listener) override { listener_ = std::move(listener); }
    void Open(const QString& path) override { opened = path; }
    void Play() override { ++plays; }
    void Stop() override { ++stops; }
    bool HasCurrentItem() const override { return !opened.isEmpty(); }
    QString ItemName() const override { return opened; }
    double Position() const override { return 0; }
    double Duration() const override { return 0; }
    QString PositionString() const override { return {}; }
    QString DurationString() const override { return {}; }
    bool IsMuted() const override { return muted; }
    void SetMuted(bool value) override { muted = value; }
    int Volume() const override { return volume; }
    void SetVolume(int value) override { volume = value; }

    QString opened;
    int plays = 0;
    int stops = 0;
    bool muted = false;
    int volume = 50;

  private:
    StateListener listener_;
};

}  // namespace torvane::testing
