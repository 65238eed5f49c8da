#include <QPainter>

#include "ui/app_font.h"
#include "ui/image_widgets.h"

namespace torvane {

namespace {

constexpr int kArrowWidth = 21;
constexpr int kGap = 5;
constexpr int kNumberWidth = 20;
constexpr int kWideNumberWidth = 28;  // page numbers of three digits and more

int NumberWidth(int page) {
    return page + 1 < 100 ? kNumberWidth : kWideNumberWidth;
}

int CeilDiv(int value, int divisor) {
    return value <= 0 ? 0 : (value + divisor - 1) / divisor;
}

}  // namespace

CPageNumberBtn::CPageNumberBtn(QWidget* parent, unsigned id, int type, int left, int top, int right,
                               int bottom)
    : CImgButton(parent, id, type, left, top, right, bottom) {}

void CPageNumberBtn::SetNumber(int number) {
    text_ = QString::number(number);
    label_ = text_;
    accessibleName_ = text_;
}

void CPageNumberBtn::Draw(QPainter& painter) {
    if (hidden_) return;
    painter.save();
    painter.setFont(AppFontWeight(10, state_ == 1 ? 700 : 100));
    painter.setPen(Qt::black);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.drawText(Rect(), Qt::AlignCenter, text_);
    painter.restore();
}

CPageGroup::CPageGroup(QWidget* parent, unsigned id, int type, int left, int top, int right,
                       int bottom)
    : CImgButton(parent, id, type, left, top, right, bottom) {}

CPageGroup::~CPageGroup() = default;

void CPageGroup::SetPages(int total, int firstPage, int pageSize, int selected) {
    // A page size below 1 would divide by zero; such a pager keeps the usual ten per page.
    pageSize_ = pageSize > 0 ? pageSize : 10;
    if (total <= 0) total = 1;
    lastPage_ = (total - 1) / pageSize_;
    numbers_.clear();
    selected_ = -1;

    const int firstShown = std::max(firstPage, 0);
    const int lastShown = std::min(firstShown + kPagesPerGroup - 1, lastPage_);
    int numbersWidth = 0;
    for (int page = firstShown; page <= lastShown; ++page) numbersWidth += NumberWidth(page);
    // The group is centred on its actual width, so wide three-digit numbers keep it centred.
    const int width = kArrowWidth + kGap + numbersWidth + kGap + kArrowWidth;
    const int x0 = left_ + (right_ - left_) / 2 - width / 2;

    previous_ =
        std::make_unique<CImgButton>(parent_, kPreviousId, 0, x0, top_, x0 + kArrowWidth, bottom_);
    previous_->LoadFromResources(kPicturePrevious, kPicturePrevious, QString());

    int x = x0 + kArrowWidth + kGap;
    for (int page = firstShown; page <= lastShown; ++page) {
        const int w = NumberWidth(page);
        auto button = std::make_unique<CPageNumberBtn>(parent_, static_cast<unsigned>(page), 0, x,
                                                       top_, x + w, bottom_);
        button->SetNumber(page + 1);
        numbers_.push_back(std::move(button));
        x += w;
    }

    next_ = std::make_unique<CImgButton>(parent_, kNextId, 0, x + kGap, top_,
                                         x + kGap + kArrowWidth, bottom_);
    next_->LoadFromResources(kPictureNext, kPictureNext, QString());

    if (selected >= 0 && selected < static_cast<int>(numbers_.size())) {
        selected_ = selected;
        numbers_[selected]->SetState(1);
    }
}

void CPageGroup::Select(int index) {
    if (index == selected_) return;
    if (selected_ >= 0 && selected_ < static_cast<int>(numbers_.size())) {
        numbers_[selected_]->SetState(0);
        numbers_[selected_]->Repaint();
    }
    selected_ = index >= 0 && index < static_cast<int>(numbers_.size()) ? index : -1;
    if (selected_ >= 0) {
        numbers_[selected_]->SetState(1);
        numbers_[selected_]->Repaint();
    }
}

void CPageGroup::Draw(QPainter& painter) {
    if (hidden_) return;
    painter.fillRect(Rect(), Qt::white);
    if (previous_) previous_->Draw(painter);
    for (const auto& number : numbers_) number->Draw(painter);
    if (next_) next_->Draw(painter);
}

int CPageGroup::CurrentPage() const {
    if (selected_ < 0 || selected_ >= static_cast<int>(numbers_.size())) return -1;
    return numbers_[selected_]->Label().toInt() - 1;
}

int CPageGroup::CurrentGroup() const {
    return CeilDiv(CurrentPage() + 1, kPagesPerGroup);
}

int CPageGroup::PreviousGroupFirstPage() const {
    return (CurrentGroup() - 2) * kPagesPerGroup;
}

int CPageGroup::NextGroupFirstPage() const {
    return CurrentGroup() * kPagesPerGroup;
}

CImgButton* CPageGroup::HitTest(int x, int y) {
    if (hidden_) return nullptr;
    for (int i = 0; i < static_cast<int>(numbers_.size()); ++i) {
        if (!numbers_[i]->HitTest(x, y)) continue;
        if (i == selected_) return nullptr;
        Select(i);
        return numbers_[i].get();
    }
    if (previous_ && previous_->HitTest(x, y)) {
        return CurrentGroup() > 1 ? previous_.get() : nullptr;
    }
    if (next_ && next_->HitTest(x, y)) {
        return CurrentGroup() < CeilDiv(lastPage_ + 1, kPagesPerGroup) ? next_.get() : nullptr;
    }
    return nullptr;
}

}  // namespace torvane
