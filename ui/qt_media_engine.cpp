#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QUrl>

#include "ui/player.h"

namespace torvane {

namespace {

// QMediaPlayer with an audio output. Volume is 0..100 here and 0.0..1.0 in the audio output.
class QtMediaEngine final : public IMediaEngine {
  public:
    bool Initialise() override {
        player_ = std::make_unique<QMediaPlayer>();
        audio_ = std::make_unique<QAudioOutput>();
        player_->setAudioOutput(audio_.get());
        QObject::connect(player_.get(), &QMediaPlayer::playbackStateChanged,
                         [this](QMediaPlayer::PlaybackState state) { Announce(state); });
        return true;
    }

    void SetStateListener(StateListener listener) override { listener_ = std::move(listener); }

    // A path on the card, or the address of a file on the service (name voices are previewed
    // straight from there).
    void Open(const QString& path) override {
        path_ = path;
        source_ = SourceFor(path);
        player_->setSource(source_);
        player_->play();
    }
    void Play() override {
        if (!path_.isEmpty()) player_->play();
    }
    void Stop() override { player_->stop(); }

    bool HasCurrentItem() const override { return !path_.isEmpty(); }
    QString ItemName() const override {
        const QString title = player_->metaData().stringValue(QMediaMetaData::Title);
        return title.isEmpty() ? QFileInfo(source_.fileName()).completeBaseName() : title;
    }
    double Position() const override { return player_->position() / 1000.0; }
    double Duration() const override { return player_->duration() / 1000.0; }
    QString PositionString() const override {
        // Nothing is playing: no position to show.
        if (player_->playbackState() == QMediaPlayer::StoppedState) return {};
        return MinutesSeconds(Position());
    }
    QString DurationString() const override { return MinutesSeconds(Duration()); }

    bool IsMuted() const override { return audio_->isMuted(); }
    void SetMuted(bool muted) override { audio_->setMuted(muted); }
    int Volume() const override { return qRound(audio_->volume() * 100.0f); }
    void SetVolume(int volume) override {
        audio_->setVolume(static_cast<float>(std::clamp(volume, 0, 100)) / 100.0f);
    }

  private:
    static QUrl SourceFor(const QString& path) {
        const QUrl url(path);
        const QString scheme = url.scheme().toLower();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
            scheme == QLatin1String("file")) {
            return url;
        }
        return QUrl::fromLocalFile(path);
    }

    void Announce(QMediaPlayer::PlaybackState state) {
        if (!listener_) return;
        switch (state) {
            case QMediaPlayer::StoppedState:
                listener_(MediaPlayState::Stopped);
                break;
            case QMediaPlayer::PausedState:
                listener_(MediaPlayState::Paused);
                break;
            case QMediaPlayer::PlayingState:
                listener_(MediaPlayState::Playing);
                break;
        }
    }

    std::unique_ptr<QAudioOutput> audio_;
    std::unique_ptr<QMediaPlayer> player_;
    StateListener listener_;
    QString path_;
    QUrl source_;
};

}  // namespace

std::unique_ptr<IMediaEngine> CreateQtMediaEngine() {
    return std::make_unique<QtMediaEngine>();
}

}  // namespace torvane
