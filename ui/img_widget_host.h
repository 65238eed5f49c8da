#pragma once

// A window whose clickable parts are picture widgets: it draws them over its own painting,
// keeps the mouse while a button is down, finds the widget under a released click and reports
// it by id, and can light up the widget under the mouse.

#include <QWidget>
#include <vector>

#include "ui/image_widgets.h"

namespace torvane {

class CImgWidgetHost : public QWidget {
    Q_OBJECT

  public:
    explicit CImgWidgetHost(QWidget* parent = nullptr);

    // Widgets are drawn in the order added and hit-tested in the same order; the host does not
    // own them. A composite (pager, top bar) answers with its innermost widget.
    void AddWidget(CImgButton* widget);
    // The first widget hit at a point, or null.
    CImgButton* WidgetAt(const QPoint& point) const;

    // Lights the widget under the mouse (state 1) while it is there.
    void SetHoverEnabled(bool on);
    CImgButton* Hovered() const { return hover_.Hovered(); }

  Q_SIGNALS:
    // A click (button released over a widget); `widget` is valid during the call only.
    void widgetClicked(unsigned id, torvane::CImgButton* widget);

  protected:
    // Painting before and after the widgets (the default fills white, respectively nothing).
    virtual void PaintBackground(QPainter& painter);
    virtual void PaintForeground(QPainter& painter);
    // Called for a released click over a widget, before `widgetClicked`.
    virtual void OnWidgetClick(CImgButton& widget);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    std::vector<CImgButton*> widgets_;
    CHoverTracker hover_;
    bool hoverEnabled_ = false;
};

}  // namespace torvane
