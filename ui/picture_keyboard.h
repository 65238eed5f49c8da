// Keyboard and tooltips for a window drawn from picture widgets. The pictures are not Qt widgets,
// so Qt's focus chain and tooltips never reach them: this filter gives the window one focus among
// its pictures, moves it with Tab and Shift+Tab in the order the window lists them (on past the
// last one to the window's real widgets), presses the focused one with Return, Enter or Space,
// draws a visible focus mark, and shows each picture's accessible name as its tooltip.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QPainter;
class QWidget;

namespace torvane {

class CImgButton;

class PictureKeyboard : public QObject {
  public:
    // The pictures that take the focus, in tab order (hidden ones are skipped); asked anew on
    // every key, since menus open and close.
    using Chain = std::function<std::vector<CImgButton*>()>;
    using Press = std::function<void(CImgButton&)>;

    PictureKeyboard(QWidget& window, Chain chain, Press press);

    // Draws the focus mark around the focused picture while the window has the keyboard; the
    // window calls this at the end of its painting.
    void PaintFocus(QPainter& painter) const;
    CImgButton* Focused() const;
    // Forgets the focus (the picture is about to go away).
    void Clear() { focused_ = -1; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Moves by one picture; false when the move leaves the pictures (the window's widgets next).
    bool Move(bool forward);
    bool ShowToolTip(QEvent* event);

    QWidget& window_;
    Chain chain_;
    Press press_;
    int focused_ = -1;
};

}  // namespace torvane
