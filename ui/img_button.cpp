#include <QPainter>

#include "ui/image_widgets.h"
#include "ui/pictures.h"

namespace torvane {

bool CGdiPlusBitmap::LoadFile(const QString& path) {
    pixmap_ = QPixmap();
    if (path.isEmpty()) return false;
    return pixmap_.load(path) && !pixmap_.isNull();
}

bool CGdiPlusBitmapResource::Load(int id) {
    pixmap_ = LoadPicture(id);
    return !pixmap_.isNull();
}

CImgButton::CImgButton(QWidget* parent, unsigned id, int type, int left, int top, int right,
                       int bottom)
    : left_(left),
      top_(top),
      right_(right),
      bottom_(bottom),
      id_(id),
      type_(type),
      parent_(parent) {}

CImgButton::CImgButton(QWidget* parent, unsigned id, int type, const QRect& rect)
    : CImgButton(parent, id, type, rect.left(), rect.top(), rect.left() + rect.width(),
                 rect.top() + rect.height()) {}

CImgButton::~CImgButton() = default;

void CImgButton::SetRect(int left, int top, int right, int bottom) {
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
}

void CImgButton::SetRect(const QRect& rect) {
    SetRect(rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height());
}

void CImgButton::MoveTo(int left, int top) {
    SetRect(left, top, left + Width(), top + Height());
}

bool CImgButton::SetHidden(bool hidden) {
    if (hidden_ == hidden) return false;
    hidden_ = hidden;
    Repaint();
    return true;
}

void CImgButton::Repaint() {
    if (parent_ != nullptr) parent_->update(Rect());
}

const QPixmap* CImgButton::CurrentPicture() const {
    const QPixmap* picture = nullptr;
    if (firstSet_) {
        picture = state_ == 0 ? &off_ : &on_;
    } else if (secondOn_.isNull()) {
        // Without a second on-picture the second set has no states: one picture whatever the
        // state, falling back to the first off-picture.
        picture = secondOff_.isNull() ? &off_ : &secondOff_;
    } else {
        picture = state_ == 0 ? &secondOff_ : &secondOn_;
    }
    return picture->isNull() ? nullptr : picture;
}

void CImgButton::DrawPicture(QPainter& painter, const QPixmap& picture, const QRect& target) const {
    if (picture.isNull() || target.isEmpty()) return;
    painter.drawPixmap(target, picture);
}

void CImgButton::Draw(QPainter& painter) {
    if (hidden_) return;
    if (const QPixmap* picture = CurrentPicture()) DrawPicture(painter, *picture, Rect());
}

void CImgButton::DrawIn(QPainter& painter, const QRect& target) const {
    if (hidden_) return;
    if (const QPixmap* picture = CurrentPicture()) DrawPicture(painter, *picture, target);
}

CImgButton* CImgButton::HitTest(int x, int y) {
    return !hidden_ && Contains(x, y) ? this : nullptr;
}

namespace {

// Loads picture `id` into `target`; id 0 leaves it empty and succeeds.
bool LoadOne(int id, QPixmap& target) {
    if (id == 0) return true;
    target = LoadPicture(id);
    return !target.isNull();
}

bool LoadOneFile(const QString& path, QPixmap& target) {
    if (path.isEmpty()) return true;
    CGdiPlusBitmap holder;
    if (!holder.LoadFile(path)) return false;
    target = holder.Pixmap();
    return true;
}

}  // namespace

bool CImgButton::LoadFromResources(int offId, int onId, const QString& label) {
    QPixmap off;
    QPixmap on;
    if (!LoadOne(offId, off) || !LoadOne(onId, on)) return false;
    if (offId != 0) off_ = off;
    if (onId != 0) on_ = on;
    label_ = label;
    if (accessibleName_.isEmpty()) accessibleName_ = PictureText(offId != 0 ? offId : onId);
    return true;
}

bool CImgButton::LoadFromFiles(const QString& offPath, const QString& onPath,
                               const QString& label) {
    QPixmap off;
    QPixmap on;
    if (!LoadOneFile(offPath, off) || !LoadOneFile(onPath, on)) return false;
    if (!offPath.isEmpty()) off_ = off;
    if (!onPath.isEmpty()) on_ = on;
    label_ = label;
    return true;
}

bool CImgButton::LoadFourFromResources(int offId, int onId, int secondOffId, int secondOnId,
                                       const QString& label) {
    if (!LoadFromResources(offId, onId, label)) return false;
    QPixmap secondOff;
    QPixmap secondOn;
    if (!LoadOne(secondOffId, secondOff) || !LoadOne(secondOnId, secondOn)) return false;
    if (secondOffId != 0) secondOff_ = secondOff;
    if (secondOnId != 0) secondOn_ = secondOn;
    return true;
}

bool CImgButton::LoadFromFilesWithSecond(const QString& offPath, const QString& onPath,
                                         const QString& secondOffPath, const QString& label) {
    if (!LoadFromFiles(offPath, onPath, label)) return false;
    QPixmap secondOff;
    if (!LoadOneFile(secondOffPath, secondOff)) return false;
    if (!secondOffPath.isEmpty()) secondOff_ = secondOff;
    return true;
}

void CHoverTracker::SetHovered(CImgButton* widget) {
    if (hovered_ == widget) return;
    if (hovered_ != nullptr) {
        hovered_->SetState(0);
        hovered_->Repaint();
    }
    hovered_ = widget;
    if (hovered_ != nullptr) {
        hovered_->SetState(1);
        hovered_->Repaint();
    }
}

}  // namespace torvane
