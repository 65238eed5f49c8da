#pragma once

// The second row of a child on the child name page: one cell spread over the whole row that says
// how far the child's name voice has come and offers the step that comes next (request, apply, or
// release and listen). A click on a button reaches the page as the grid's `buttonClicked` with the
// command in place of the button's index.

#include <memory>

#include "ui/grid_cell.h"
#include "ui/image_widgets.h"

namespace torvane {

class CChildInfoCell : public CGridCell {
  public:
    // The commands the buttons send.
    static constexpr int kRequest = 100;
    static constexpr int kApply = 101;
    static constexpr int kRelease = 102;
    static constexpr int kListen = 103;
    // No text and no buttons: a child whose name voice the program knows nothing about.
    static constexpr int kBlank = -1;

    // States 0 (no voice: request), 1 (ready: apply), 2 (applied: release, listen) and
    // 3 (requested: nothing to press), or kBlank; makes the state's buttons.
    void SetInfo(int state, const QString& text);
    int InfoState() const { return state_; }
    const QString& InfoText() const { return text_; }
    CImgButton* FirstButton() const { return first_.get(); }
    CImgButton* SecondButton() const { return second_.get(); }

    void Draw(QPainter& painter, int row, int col, const QRect& rect, bool erase = true) override;
    void OnClick(const QPoint& point) override;
    bool IsEditable() const override { return false; }

  private:
    void PlaceButtons(const QRect& rect);

    std::unique_ptr<CImgButton> first_;
    std::unique_ptr<CImgButton> second_;
    int state_ = kBlank;
    QString text_;
    int firstLeft_ = 0;
    int secondLeft_ = 0;
};

}  // namespace torvane
