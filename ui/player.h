#pragma once

// The sound preview player: a panel in the top bar with previous/next/stop/play, a mute button,
// a volume knob and a progress bar, over a media engine that plays files by path.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "ui/image_widgets.h"
#include "ui/main_window_ids.h"

namespace torvane {

// Told of the player's play states; the main window implements it to run its player clock.
class IPlayLCDEvent {
  public:
    virtual ~IPlayLCDEvent() = default;
    virtual void OnPlayStopped() = 0;
    virtual void OnPlayStarted() = 0;
    virtual void OnPlayPaused() = 0;
};

// Play states an engine announces, numbered as the media engines number them.
enum class MediaPlayState { Stopped = 1, Paused = 2, Playing = 3 };

// What the player needs of a media engine.
class IMediaEngine {
  public:
    using StateListener = std::function<void(MediaPlayState)>;

    virtual ~IMediaEngine() = default;
    // Prepares the engine; false when no engine can be made.
    virtual bool Initialise() = 0;
    virtual void SetStateListener(StateListener listener) = 0;
    // Opens the file and starts playing it.
    virtual void Open(const QString& path) = 0;
    // Plays the current item again (after stop or pause).
    virtual void Play() = 0;
    virtual void Stop() = 0;

    // Whether there is a current media item; the accessors below describe it.
    virtual bool HasCurrentItem() const = 0;
    virtual QString ItemName() const = 0;
    // Seconds.
    virtual double Position() const = 0;
    virtual double Duration() const = 0;
    // "mm:ss"; the position string is empty while nothing plays.
    virtual QString PositionString() const = 0;
    virtual QString DurationString() const = 0;

    virtual bool IsMuted() const = 0;
    virtual void SetMuted(bool muted) = 0;
    // 0..100.
    virtual int Volume() const = 0;
    virtual void SetVolume(int volume) = 0;
};

// "mm:ss" of a number of seconds (minutes go past 59 rather than wrap).
QString MinutesSeconds(double seconds);

// The platform's media engine (QMediaPlayer with an audio output).
std::unique_ptr<IMediaEngine> CreateQtMediaEngine();

// The engine's wrapper: forwards play states to the owner and keeps the play list of the run.
class CWmpPlayer {
  public:
    struct Progress {
        QString title;
        QString timeText;
        int percent = 0;
    };

    CWmpPlayer(IPlayLCDEvent* owner, std::unique_ptr<IMediaEngine> engine);
    ~CWmpPlayer();

    bool Initialise();
    // Plays `path`. A new request (fromList false) finds the path in the play list or appends
    // it, and the current index moves to it.
    void Play(const QString& path, bool fromList = false);
    // Steps through the play list; nothing at its ends.
    void Next();
    void Previous();
    void Stop();
    void Resume();
    // False (and nothing read) when there is no current item.
    bool ReadProgress(Progress& progress) const;

    const QStringList& PlayList() const { return playList_; }
    int CurrentIndex() const { return current_; }
    IMediaEngine& Engine() { return *engine_; }
    const IMediaEngine& Engine() const { return *engine_; }

  private:
    void OnState(MediaPlayState state);

    IPlayLCDEvent* owner_;
    std::unique_ptr<IMediaEngine> engine_;
    QStringList playList_;
    int current_ = -1;
};

// The player panel in the top bar (main window coordinates).
class CPlayer : public CImgButton {
  public:
    static constexpr int kPicturePanel = pic::kPlayerPanel;
    static constexpr int kVolumeMin = 383;
    static constexpr int kVolumeMax = 472;
    static constexpr int kPositionKnobLeft = 537;
    static constexpr int kProgressLeft = 536;

    // `engine` null: the platform's media engine.
    CPlayer(QWidget* parent, unsigned id, int type, int left, int top, int right, int bottom,
            IPlayLCDEvent* owner, std::unique_ptr<IMediaEngine> engine = nullptr);
    ~CPlayer() override;

    // Loads the panel picture, initialises the engine, reads its volume and builds the children
    // with their pictures; false when any step fails. The ids are ignored: the panel has its own.
    bool LoadFromResources(int offId, int onId, const QString& label) override;
    bool Load() { return LoadFromResources(kPicturePanel, 0, QString()); }

    void Draw(QPainter& painter) override;
    CImgButton* HitTest(int x, int y) override;

    // The play list's operations; nothing happens while the panel has no engine.
    void Play(const QString& path);
    void Next();
    void Previous();
    void Stop();
    void Resume();

    // Progress 0..100: the bar grows 2 pixels per percent, the knob 1.93 pixels per percent.
    void SetProgress(int percent);
    // Moves the volume knob by `distance` pixels within its track and sets the volume from it.
    void DragVolume(double distance);
    // Flips mute; the sound button shows 1 while the sound is on.
    void ToggleMute();
    // Reads title, time text and progress from the engine (the player clock's tick).
    void UpdateFromEngine();
    // What the player shows once playing stops.
    void ResetDisplay();

    void SetTimeText(const QString& text) { timeText_ = text; }
    void SetTitle(const QString& title) { title_ = title; }
    const QString& TimeText() const { return timeText_; }
    const QString& Title() const { return title_; }

    CWmpPlayer* Engine() const { return engine_.get(); }
    // The control with this id; null before loading.
    CImgButton* Child(MainWindowId id) const;

  private:
    static int VolumeKnobLeft(int volume);

    IPlayLCDEvent* owner_;
    std::unique_ptr<IMediaEngine> pendingEngine_;
    std::unique_ptr<CWmpPlayer> engine_;
    std::vector<std::unique_ptr<CImgButton>> children_;
    QString timeText_ = QStringLiteral("00:00 / 00:00");
    QString title_;
};

}  // namespace torvane
