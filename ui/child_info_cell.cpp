#include "ui/child_info_cell.h"

#include <QPainter>

#include "ui/app_font.h"
#include "ui/grid_ctrl.h"
#include "ui/picture_ids.h"

namespace torvane {
namespace {

std::unique_ptr<CImgButton> MakeButton(int picture, int width, int height, QWidget* parent) {
    auto button = std::make_unique<CImgButton>(parent, picture, 0, 0, 0, width, height);
    button->LoadFromResources(picture, picture, QString());
    return button;
}

}  // namespace

void CChildInfoCell::SetInfo(int state, const QString& text) {
    state_ = state;
    text_ = text;
    first_.reset();
    second_.reset();
    QWidget* parent = grid_ != nullptr ? grid_->viewport() : nullptr;
    switch (state) {
        case 0:
            first_ = MakeButton(pic::kNameVoiceRequest, 119, 23, parent);
            firstLeft_ = 320;
            break;
        case 1:
            first_ = MakeButton(pic::kNameVoiceApply, 41, 23, parent);
            firstLeft_ = 260;
            break;
        case 2:
            first_ = MakeButton(pic::kNameVoiceRelease, 41, 23, parent);
            firstLeft_ = 260;
            second_ = MakeButton(pic::kNameVoiceListen, 63, 23, parent);
            secondLeft_ = 310;
            break;
        default:
            break;
    }
    if (!lastRect_.isEmpty()) {
        PlaceButtons(lastRect_);
        RepaintCell();
    }
}

void CChildInfoCell::PlaceButtons(const QRect& rect) {
    if (first_) first_->MoveTo(rect.left() + firstLeft_, rect.top());
    if (second_) second_->MoveTo(rect.left() + secondLeft_, rect.top());
}

void CChildInfoCell::Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase) {
    DrawPlain(painter, row, col, rect, erase);
    painter.fillRect(rect, Qt::white);
    painter.save();
    painter.setFont(AppFontWeight(9, 600));
    painter.setPen(Qt::black);
    const QFontMetrics metrics(painter.font());
    painter.drawText(rect.left() + 2, rect.top() + 3 + metrics.ascent(), text_);
    painter.restore();
    PlaceButtons(rect);
    if (first_) first_->Draw(painter);
    if (second_) second_->Draw(painter);
}

void CChildInfoCell::OnClick(const QPoint& point) {
    if (grid_ == nullptr || lastRect_.isEmpty()) return;
    const QPoint at = point + lastRect_.topLeft();
    PlaceButtons(lastRect_);
    int command = 0;
    if (first_ && first_->HitTest(at.x(), at.y()) != nullptr) {
        command = state_ == 0 ? kRequest : state_ == 1 ? kApply : state_ == 2 ? kRelease : 0;
    } else if (second_ && second_->HitTest(at.x(), at.y()) != nullptr) {
        command = kListen;
    }
    if (command == 0) return;
    const CCellID cell = grid_->GetClickedCell();
    grid_->ReportButtonClick(cell.row, cell.col, command);
}

}  // namespace torvane
