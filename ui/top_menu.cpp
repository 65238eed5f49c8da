#include <QPainter>

#include "ui/image_widgets.h"
#include "ui/main_window_ids.h"
#include "ui/pictures.h"
#include "ui/player.h"

namespace torvane {

namespace {

struct BarButton {
    MainWindowId id;
    int left, top, right, bottom;  // relative to the bar
    int off, on;
};

// Back, refresh, forward, home, close.
constexpr BarButton kBarButtons[5] = {
    {MainWindowId::Back, 760, 21, 796, 57, pic::kBackOff, pic::kBackOn},
    {MainWindowId::Refresh, 797, 21, 833, 57, pic::kRefreshOff, pic::kRefreshOn},
    {MainWindowId::Forward, 834, 21, 870, 57, pic::kForwardOff, pic::kForwardOn},
    {MainWindowId::Home, 871, 21, 907, 57, pic::kHomeOff, pic::kHomeOn},
    {MainWindowId::Close, 908, 21, 944, 57, pic::kCloseOff, pic::kCloseOn},
};

// The player panel, in absolute main-window pixels.
constexpr QRect kPlayerRect(344, 7, 757 - 344, 71 - 7);

}  // namespace

CTopMenu::CTopMenu(QWidget* parent, unsigned id, int type, int left, int top, int right, int bottom,
                   IPlayLCDEvent* owner, std::unique_ptr<IMediaEngine> engine)
    : CImgButton(parent, id, type, left, top, right, bottom) {
    for (int i = 0; i < 5; ++i) {
        const BarButton& b = kBarButtons[i];
        buttons_[i] = std::make_unique<CImgButton>(parent, IdOf(b.id), 0, left + b.left,
                                                   top + b.top, left + b.right, top + b.bottom);
    }
    player_ = std::make_unique<CPlayer>(
        parent, IdOf(MainWindowId::PlayerPanel), 0, kPlayerRect.left(), kPlayerRect.top(),
        kPlayerRect.left() + kPlayerRect.width(), kPlayerRect.top() + kPlayerRect.height(), owner,
        std::move(engine));
    // The player appears once the content page is first shown.
    player_->SetHidden(true);
}

CTopMenu::~CTopMenu() = default;

bool CTopMenu::LoadButtons() {
    for (int i = 0; i < 5; ++i) {
        if (!buttons_[i]->LoadFromResources(kBarButtons[i].off, kBarButtons[i].on, QString())) {
            return false;
        }
    }
    return true;
}

bool CTopMenu::LoadFromResources(int offId, int onId, const QString& label) {
    if (!CImgButton::LoadFromResources(offId, onId, label)) return false;
    if (!player_->Load()) return false;
    corner_ = LoadPicture(kPictureCorner);
    logo_ = LoadPicture(kPictureLogo);
    separator_ = LoadPicture(kPictureSeparator);
    if (corner_.isNull() || logo_.isNull() || separator_.isNull()) return false;
    return LoadButtons();
}

bool CTopMenu::LoadFromFiles(const QString& offPath, const QString& onPath, const QString& label) {
    if (!CImgButton::LoadFromFiles(offPath, onPath, label)) return false;
    logo_ = LoadPicture(kPictureLogo);
    if (logo_.isNull()) return false;
    return LoadButtons();
}

void CTopMenu::Draw(QPainter& painter) {
    if (hidden_) return;
    CImgButton::Draw(painter);
    DrawPicture(painter, logo_, QRect(left_ + 192, top_, 124, 74));
    DrawPicture(painter, corner_, QRect(left_, top_ - 1, 164, 73));
    player_->Draw(painter);
    for (const auto& button : buttons_) button->Draw(painter);
    DrawPicture(painter, separator_, QRect(1, 75, 957, 6));
}

CImgButton* CTopMenu::HitTest(int x, int y) {
    if (hidden_) return nullptr;
    for (const auto& button : buttons_) {
        if (CImgButton* hit = button->HitTest(x, y)) return hit;
    }
    if (CImgButton* hit = player_->HitTest(x, y)) return hit;
    return CImgButton::HitTest(x, y);
}

}  // namespace torvane
