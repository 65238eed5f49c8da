// The media engine of the desktop tests (Qt only): plays nothing, records what the player asked
// and reports what the test scripts.
#pragma once

#include <QString>
#include <QStringList>

#include "ui/player.h"

namespace torvane::test {

class FakeMediaEngine : public torvane::IMediaEngine {
  public:
    struct Script {
        bool initialiseResult = true;
        bool hasItem = true;
        QString name = QStringLiteral("song");
        double position = 0;
        double duration = 0;
        QString positionString;
        QString durationString = QStringLiteral("00:00");
        bool muted = false;
        int volume = 50;
    };

    // The test keeps a pointer to the script and the log; the engine itself goes to the player.
    explicit FakeMediaEngine(Script* script, QStringList* log) : script_(script), log_(log) {}
    // An engine with nothing open, for windows whose tests do not look at the player.
    FakeMediaEngine() : script_(&ownScript_), log_(&ownLog_) {
        ownScript_.hasItem = false;
        ownScript_.name.clear();
        ownScript_.durationString.clear();
    }

    bool Initialise() override { return script_->initialiseResult; }
    void SetStateListener(StateListener listener) override { listener_ = std::move(listener); }
    void Open(const QString& path) override {
        log_->append(QStringLiteral("open ") + path);
        if (script_ == &ownScript_) {
            ownScript_.hasItem = true;
            ownScript_.name = path;
        }
    }
    void Play() override { log_->append(QStringLiteral("play")); }
    void Stop() override { log_->append(QStringLiteral("stop")); }
    bool HasCurrentItem() const override { return script_->hasItem; }
    QString ItemName() const override { return script_->name; }
    double Position() const override { return script_->position; }
    double Duration() const override { return script_->duration; }
    QString PositionString() const override { return script_->positionString; }
    QString DurationString() const override { return script_->durationString; }
    bool IsMuted() const override { return script_->muted; }
    void SetMuted(bool muted) override { script_->muted = muted; }
    int Volume() const override { return script_->volume; }
    void SetVolume(int volume) override { script_->volume = volume; }

    // Announces a play state as the real engine would.
    void Announce(torvane::MediaPlayState state) {
        if (listener_) listener_(state);
    }

  private:
    Script ownScript_;
    QStringList ownLog_;
    Script* script_;
    QStringList* log_;
    StateListener listener_;
};

}  // namespace torvane::test
