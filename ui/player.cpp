#include "ui/player.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/app_font.h"
#include "ui/pictures.h"

namespace torvane {

QString MinutesSeconds(double seconds) {
    const long long total = seconds > 0 ? static_cast<long long>(seconds) : 0;
    return QStringLiteral("%1:%2")
        .arg(total / 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'));
}

// ---- CWmpPlayer ----

CWmpPlayer::CWmpPlayer(IPlayLCDEvent* owner, std::unique_ptr<IMediaEngine> engine)
    : owner_(owner), engine_(std::move(engine)) {}

CWmpPlayer::~CWmpPlayer() {
    if (engine_) engine_->SetStateListener(nullptr);
}

bool CWmpPlayer::Initialise() {
    if (!engine_ || !engine_->Initialise()) return false;
    engine_->SetStateListener([this](MediaPlayState state) { OnState(state); });
    return true;
}

void CWmpPlayer::OnState(MediaPlayState state) {
    if (owner_ == nullptr) return;
    switch (state) {
        case MediaPlayState::Stopped:
            owner_->OnPlayStopped();
            break;
        case MediaPlayState::Paused:
            owner_->OnPlayPaused();
            break;
        case MediaPlayState::Playing:
            owner_->OnPlayStarted();
            break;
    }
}

void CWmpPlayer::Play(const QString& path, bool fromList) {
    if (!fromList) {
        const int found = static_cast<int>(playList_.indexOf(path));
        if (found >= 0) {
            current_ = found;
        } else {
            playList_.append(path);
            current_ = static_cast<int>(playList_.size()) - 1;
        }
    }
    engine_->Open(path);
}

void CWmpPlayer::Next() {
    if (current_ < static_cast<int>(playList_.size()) - 1) {
        ++current_;
        Play(playList_[current_], true);
    }
}

void CWmpPlayer::Previous() {
    if (playList_.size() >= 2 && current_ >= 1) {
        --current_;
        Play(playList_[current_], true);
    }
}

void CWmpPlayer::Stop() {
    engine_->Stop();
}

void CWmpPlayer::Resume() {
    engine_->Play();
}

bool CWmpPlayer::ReadProgress(Progress& progress) const {
    if (!engine_->HasCurrentItem()) return false;
    progress.title = engine_->ItemName();
    QString position = engine_->PositionString();
    if (position.isEmpty()) position = QStringLiteral("00:00");
    progress.timeText = QStringLiteral("%1 / %2").arg(position, engine_->DurationString());
    // A stream whose length is not known yet reads as no progress rather than a division by 0.
    const double duration = engine_->Duration();
    const double ratio = duration > 0 ? engine_->Position() / duration * 100.0 : 0.0;
    progress.percent = std::isfinite(ratio) ? static_cast<int>(std::clamp(ratio, 0.0, 100.0)) : 0;
    return true;
}

// ---- CPlayer ----

namespace {

struct ChildLayout {
    MainWindowId id;
    int left, top, right, bottom;
    int off, on;
};

// Drawn in this order; the progress bar goes first so that the position knob stays on top of it.
constexpr ChildLayout kChildren[] = {
    {MainWindowId::PlayerProgressBar, 536, 51, 536, 56, pic::kProgressBar, pic::kProgressBar},
    {MainWindowId::PlayerPrevious, 359, 10, 392, 43, pic::kPlayerPreviousOff,
     pic::kPlayerPreviousOn},
    {MainWindowId::PlayerNext, 391, 10, 431, 43, pic::kPlayerNextOff, pic::kPlayerNextOn},
    {MainWindowId::PlayerStop, 430, 10, 463, 43, pic::kPlayerStopOff, pic::kPlayerStopOn},
    {MainWindowId::PlayerPlay, 464, 10, 509, 43, pic::kPlayerPlayOff, pic::kPlayerPlayOn},
    {MainWindowId::PlayerSound, 362, 52, 376, 68, pic::kSoundOff, pic::kSoundOn},
    // placed from the volume
    {MainWindowId::PlayerVolumeKnob, 0, 56, 0, 64, pic::kVolumeKnob, pic::kVolumeKnob},
    {MainWindowId::PlayerPositionKnob, 537, 46, 544, 61, pic::kPositionKnob, pic::kPositionKnob},
};

constexpr int kVolumeKnobWidth = 17;

}  // namespace

CPlayer::CPlayer(QWidget* parent, unsigned id, int type, int left, int top, int right, int bottom,
                 IPlayLCDEvent* owner, std::unique_ptr<IMediaEngine> engine)
    : CImgButton(parent, id, type, left, top, right, bottom),
      owner_(owner),
      pendingEngine_(std::move(engine)) {}

CPlayer::~CPlayer() = default;

int CPlayer::VolumeKnobLeft(int volume) {
    return kVolumeMin + std::clamp(volume, 0, 100) * (kVolumeMax - kVolumeMin) / 100;
}

bool CPlayer::LoadFromResources(int, int, const QString& label) {
    if (!CImgButton::LoadFromResources(kPicturePanel, 0, label)) return false;
    if (!engine_) {
        auto engine = pendingEngine_ ? std::move(pendingEngine_) : CreateQtMediaEngine();
        engine_ = std::make_unique<CWmpPlayer>(owner_, std::move(engine));
        if (!engine_->Initialise()) {
            engine_.reset();
            return false;
        }
    }
    const int volume = engine_->Engine().Volume();
    children_.clear();
    for (const ChildLayout& place : kChildren) {
        auto child = std::make_unique<CImgButton>(parent_, IdOf(place.id), 0, place.left, place.top,
                                                  place.right, place.bottom);
        if (place.id == MainWindowId::PlayerVolumeKnob) {
            const int knob = VolumeKnobLeft(volume);
            child->SetRect(knob, place.top, knob + kVolumeKnobWidth, place.bottom);
        }
        if (!child->LoadFromResources(place.off, place.on, QString())) {
            children_.clear();
            return false;
        }
        children_.push_back(std::move(child));
    }
    // The sound button starts "on": sound is audible.
    Child(MainWindowId::PlayerSound)->SetState(1);
    return true;
}

CImgButton* CPlayer::Child(MainWindowId id) const {
    for (const auto& child : children_) {
        if (child->Id() == IdOf(id)) return child.get();
    }
    return nullptr;
}

void CPlayer::Draw(QPainter& painter) {
    if (hidden_) return;
    DrawPicture(painter, off_, Rect());
    for (const auto& child : children_) child->Draw(painter);
    painter.save();
    painter.setFont(AppFontWeight(8, 400));
    painter.setPen(Qt::black);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    painter.drawText(QRect(665, 29, right_ - 665, 20), flags, timeText_);
    painter.drawText(QRect(530, 29, 665 - 530 - 4, 20), flags, title_);
    painter.restore();
}

CImgButton* CPlayer::HitTest(int x, int y) {
    if (hidden_ || !Contains(x, y)) return nullptr;
    // Buttons in their order of the panel, the bar last: the knob over it is what the user grabs.
    for (std::size_t i = 1; i <= children_.size(); ++i) {
        if (CImgButton* hit = children_[i % children_.size()]->HitTest(x, y)) return hit;
    }
    return this;
}

void CPlayer::Play(const QString& path) {
    if (engine_) engine_->Play(path, false);
}

void CPlayer::Next() {
    if (engine_) engine_->Next();
}

void CPlayer::Previous() {
    if (engine_) engine_->Previous();
}

void CPlayer::Stop() {
    if (engine_) engine_->Stop();
}

void CPlayer::Resume() {
    if (engine_) engine_->Resume();
}

void CPlayer::SetProgress(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (CImgButton* bar = Child(MainWindowId::PlayerProgressBar)) {
        bar->SetRect(bar->Left(), bar->Top(), bar->Left() + 2 * percent, bar->Bottom());
    }
    if (CImgButton* knob = Child(MainWindowId::PlayerPositionKnob)) {
        knob->MoveTo(kPositionKnobLeft + percent * 193 / 100, knob->Top());
    }
}

void CPlayer::DragVolume(double distance) {
    CImgButton* knob = Child(MainWindowId::PlayerVolumeKnob);
    if (knob == nullptr || !engine_ || distance == 0) return;
    const int left = knob->Left();
    if ((distance < 0 && left <= kVolumeMin) || (distance > 0 && left >= kVolumeMax)) return;
    const int moved = std::clamp(static_cast<int>(left + distance), kVolumeMin, kVolumeMax);
    const QRect before = knob->Rect();
    knob->MoveTo(moved, knob->Top());
    engine_->Engine().SetVolume((moved - kVolumeMin) * 100 / (kVolumeMax - kVolumeMin));
    if (parent_ != nullptr) parent_->update(before.united(knob->Rect()));
}

void CPlayer::ToggleMute() {
    if (!engine_) return;
    const bool muted = engine_->Engine().IsMuted();
    if (CImgButton* sound = Child(MainWindowId::PlayerSound)) {
        sound->SetState(muted ? 1 : 0);
        sound->Repaint();
    }
    engine_->Engine().SetMuted(!muted);
}

void CPlayer::UpdateFromEngine() {
    if (!engine_) return;
    CWmpPlayer::Progress progress;
    if (!engine_->ReadProgress(progress)) return;
    title_ = progress.title;
    timeText_ = progress.timeText;
    SetProgress(progress.percent);
    Repaint();
}

void CPlayer::ResetDisplay() {
    title_.clear();
    timeText_ = QStringLiteral("00:00 / 00:00");
    SetProgress(0);
    Repaint();
}

}  // namespace torvane
