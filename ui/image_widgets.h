#pragma once

// Windowless picture widgets. The main window and its pages are drawn from pictures: each
// clickable picture keeps a rectangle in its parent widget's coordinates, draws itself into the
// parent's painter, and is found by the parent's mouse handlers through HitTest(). The parent
// dispatches a click by the id of the widget that HitTest() returns.

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/picture_ids.h"

class QPainter;

namespace torvane {

class CPlayer;
class IMediaEngine;
class IPlayLCDEvent;

// Owns one picture or none.
class CGdiPlusBitmap {
  public:
    CGdiPlusBitmap() = default;
    virtual ~CGdiPlusBitmap() = default;

    // Loads a picture file (PNG, JPEG, SVG...). On failure the holder is empty.
    bool LoadFile(const QString& path);
    bool IsEmpty() const { return pixmap_.isNull(); }
    const QPixmap& Pixmap() const { return pixmap_; }
    void Reset() { pixmap_ = QPixmap(); }

  protected:
    QPixmap pixmap_;
};

// A picture of the program's resources, by id.
class CGdiPlusBitmapResource : public CGdiPlusBitmap {
  public:
    CGdiPlusBitmapResource() = default;
    explicit CGdiPlusBitmapResource(int id) { Load(id); }
    // A missing or unreadable picture leaves the holder empty and answers false.
    bool Load(int id);
};

// The base of every picture widget.
class CImgButton {
  public:
    // `type` is kept for the callers' bookkeeping only. The rectangle is given as left, top,
    // right and bottom edges; right and bottom are exclusive, as in the parent's pixel grid.
    CImgButton(QWidget* parent, unsigned id, int type, int left, int top, int right, int bottom);
    CImgButton(QWidget* parent, unsigned id, int type, const QRect& rect);
    virtual ~CImgButton();

    CImgButton(const CImgButton&) = delete;
    CImgButton& operator=(const CImgButton&) = delete;

    // Asks the parent to redraw this widget's rectangle.
    virtual void Repaint();
    // Draws the picture chosen by first-set and state, stretched to the rectangle.
    virtual void Draw(QPainter& painter);
    // Draws the same picture in `target` instead of the widget's own rectangle (a grid cell's
    // button, placed by the cell as it is drawn).
    void DrawIn(QPainter& painter, const QRect& target) const;
    // This widget (or, for composites, the innermost widget hit) when not hidden and the point
    // lies in the rectangle; else null.
    virtual CImgButton* HitTest(int x, int y);
    // Either id may be 0 for "none". On failure the pictures loaded by this call are dropped and
    // the answer is false; on success the label is stored and, without an accessible name yet,
    // the off-picture's words become it.
    virtual bool LoadFromResources(int offId, int onId, const QString& label);
    virtual bool LoadFromFiles(const QString& offPath, const QString& onPath, const QString& label);
    virtual bool LoadFourFromResources(int offId, int onId, int secondOffId, int secondOnId,
                                       const QString& label);
    virtual bool LoadFromFilesWithSecond(const QString& offPath, const QString& onPath,
                                         const QString& secondOffPath, const QString& label);

    unsigned Id() const { return id_; }
    int Type() const { return type_; }
    QWidget* Parent() const { return parent_; }
    void SetParent(QWidget* parent) { parent_ = parent; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Right() const { return right_; }
    int Bottom() const { return bottom_; }
    int Width() const { return right_ - left_; }
    int Height() const { return bottom_ - top_; }
    QRect Rect() const { return QRect(left_, top_, right_ - left_, bottom_ - top_); }
    void SetRect(int left, int top, int right, int bottom);
    void SetRect(const QRect& rect);
    // Moves the widget keeping its width and height.
    void MoveTo(int left, int top);
    bool Contains(int x, int y) const {
        return x >= left_ && x < right_ && y >= top_ && y < bottom_;
    }

    bool IsHidden() const { return hidden_; }
    // Answers whether the hidden byte changed; repaints when it did.
    bool SetHidden(bool hidden);

    int State() const { return state_; }
    void SetState(int state) { state_ = state ? 1 : 0; }
    bool FirstSet() const { return firstSet_; }
    void SetFirstSet(bool firstSet) { firstSet_ = firstSet; }

    const QString& Label() const { return label_; }
    void SetLabel(const QString& label) { label_ = label; }

    // What a screen reader says for this button: the words its picture shows, taken from the
    // picture table when a picture loaded from the resources has them, unless set already.
    const QString& AccessibleName() const { return accessibleName_; }
    void SetAccessibleName(const QString& name) { accessibleName_ = name; }

    const QPixmap& OffPicture() const { return off_; }
    const QPixmap& OnPicture() const { return on_; }
    const QPixmap& SecondOffPicture() const { return secondOff_; }
    const QPixmap& SecondOnPicture() const { return secondOn_; }

  protected:
    // The picture the current first-set and state select; null for none.
    const QPixmap* CurrentPicture() const;
    void DrawPicture(QPainter& painter, const QPixmap& picture, const QRect& target) const;

    int left_ = 0;
    int top_ = 0;
    int right_ = 0;
    int bottom_ = 0;
    bool hidden_ = false;
    QPixmap off_;
    QPixmap on_;
    QPixmap secondOff_;
    QPixmap secondOn_;
    QString label_;
    QString accessibleName_;
    unsigned id_ = 0;
    int type_ = 0;
    int state_ = 0;
    bool firstSet_ = true;
    QWidget* parent_ = nullptr;
};

// The widget drawn in its on-state because the mouse is over it: at most one at a time.
class CHoverTracker {
  public:
    // Makes `widget` the hovered one (null clears): the previous one goes to state 0, the new
    // one to state 1, each repainted; nothing when it already is the hovered one.
    void SetHovered(CImgButton* widget);
    void Clear() { SetHovered(nullptr); }
    CImgButton* Hovered() const { return hovered_; }
    // Forget a widget that is about to be deleted without touching it.
    void Forget(const CImgButton* widget) {
        if (hovered_ == widget) hovered_ = nullptr;
    }

  private:
    CImgButton* hovered_ = nullptr;
};

// A page number of the pager.
class CPageNumberBtn : public CImgButton {
  public:
    CPageNumberBtn(QWidget* parent, unsigned id, int type, int left, int top, int right,
                   int bottom);
    // The page number shown, 1-based.
    void SetNumber(int number);
    const QString& Text() const { return text_; }
    // The label bold when current (state 1), thin otherwise, centred; black on the pager's white.
    void Draw(QPainter& painter) override;

  private:
    QString text_;
};

// The pager under a list: a previous arrow, up to ten page numbers and a next arrow, centred in
// its rectangle.
class CPageGroup : public CImgButton {
  public:
    static constexpr unsigned kPreviousId = 10007;
    static constexpr unsigned kNextId = 10008;
    static constexpr int kPicturePrevious = pic::kPagerPrevious;
    static constexpr int kPictureNext = pic::kPagerNext;
    static constexpr int kPagesPerGroup = 10;

    CPageGroup(QWidget* parent, unsigned id, int type, int left, int top, int right, int bottom);
    ~CPageGroup() override;

    // Rebuilds the buttons for `total` items, showing pages from `firstPage` on, with
    // `pageSize` items per page, and selects number button `selected` (-1 for none).
    void SetPages(int total, int firstPage, int pageSize, int selected);

    // Fills the rectangle white, then draws the arrows and numbers.
    void Draw(QPainter& painter) override;
    // A number button when it is not the selected one (it becomes selected); an arrow only when
    // there is a group of pages in its direction; else null.
    CImgButton* HitTest(int x, int y) override;

    // The current page index (the selected button's number minus 1), -1 when none is selected.
    int CurrentPage() const;
    // The last page index, 0-based.
    int LastPage() const { return lastPage_; }
    int PageSize() const { return pageSize_; }
    int SelectedIndex() const { return selected_; }
    // First page of the group before, respectively after, the current page's group.
    int PreviousGroupFirstPage() const;
    int NextGroupFirstPage() const;

    const std::vector<std::unique_ptr<CPageNumberBtn>>& NumberButtons() const { return numbers_; }
    CImgButton* PreviousArrow() const { return previous_.get(); }
    CImgButton* NextArrow() const { return next_.get(); }
    // Selects number button `index` (-1 for none), repainting the two buttons concerned.
    void Select(int index);

  private:
    // 1-based group of the current page: ceil((current + 1) / 10).
    int CurrentGroup() const;

    std::unique_ptr<CImgButton> previous_;
    std::unique_ptr<CImgButton> next_;
    int lastPage_ = 0;
    int selected_ = -1;
    int pageSize_ = 10;
    std::vector<std::unique_ptr<CPageNumberBtn>> numbers_;
};

// The top bar of the main window: background, logo, five buttons (back, refresh, forward, home,
// close: ids 5..9), the sound player panel and a separator line under it.
class CTopMenu : public CImgButton {
  public:
    static constexpr int kPictureLogo = pic::kLogo;
    static constexpr int kPictureCorner = pic::kTopCorner;
    static constexpr int kPictureSeparator = pic::kTopSeparator;

    // `owner` is told of the player's play states; `engine` plays the sounds (null: the
    // platform's media player).
    CTopMenu(QWidget* parent, unsigned id, int type, int left, int top, int right, int bottom,
             IPlayLCDEvent* owner = nullptr, std::unique_ptr<IMediaEngine> engine = nullptr);
    ~CTopMenu() override;

    // Loads the background pair and the logo, corner and separator pictures, the five buttons'
    // pairs and the player; fails as soon as one picture fails.
    bool LoadFromResources(int offId, int onId, const QString& label) override;
    // Loads the background pair from files, then the logo and the five buttons from resources.
    bool LoadFromFiles(const QString& offPath, const QString& onPath,
                       const QString& label) override;

    void Draw(QPainter& painter) override;
    // The five buttons, then the player (and its children), else the bar itself.
    CImgButton* HitTest(int x, int y) override;

    CPlayer* Player() const { return player_.get(); }
    CImgButton* Button(int index) const { return buttons_[index].get(); }

  private:
    bool LoadButtons();

    std::unique_ptr<CImgButton> buttons_[5];
    std::unique_ptr<CPlayer> player_;
    QPixmap logo_;
    QPixmap corner_;
    QPixmap separator_;
};

}  // namespace torvane
