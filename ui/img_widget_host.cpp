#include "ui/img_widget_host.h"

#include <QMouseEvent>
#include <QPainter>

namespace torvane {

CImgWidgetHost::CImgWidgetHost(QWidget* parent) : QWidget(parent) {}

void CImgWidgetHost::AddWidget(CImgButton* widget) {
    if (widget == nullptr) return;
    widget->SetParent(this);
    widgets_.push_back(widget);
    update(widget->Rect());
}

CImgButton* CImgWidgetHost::WidgetAt(const QPoint& point) const {
    for (CImgButton* widget : widgets_) {
        if (CImgButton* hit = widget->HitTest(point.x(), point.y())) return hit;
    }
    return nullptr;
}

void CImgWidgetHost::SetHoverEnabled(bool on) {
    hoverEnabled_ = on;
    setMouseTracking(on);
    if (!on) hover_.Clear();
}

void CImgWidgetHost::PaintBackground(QPainter& painter) {
    painter.fillRect(rect(), Qt::white);
}

void CImgWidgetHost::PaintForeground(QPainter&) {}

void CImgWidgetHost::OnWidgetClick(CImgButton&) {}

void CImgWidgetHost::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PaintBackground(painter);
    for (CImgButton* widget : widgets_) widget->Draw(painter);
    PaintForeground(painter);
}

void CImgWidgetHost::mousePressEvent(QMouseEvent* event) {
    // Qt keeps sending this window the mouse until the button is released, as a capture would.
    QWidget::mousePressEvent(event);
}

void CImgWidgetHost::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    // Hit tests may change state (a pager selects the page number it returns).
    CImgButton* hit = WidgetAt(event->position().toPoint());
    if (hit == nullptr) return;
    OnWidgetClick(*hit);
    Q_EMIT widgetClicked(hit->Id(), hit);
}

void CImgWidgetHost::mouseMoveEvent(QMouseEvent* event) {
    if (hoverEnabled_ && !(event->buttons() & Qt::LeftButton)) {
        // Hovering only asks where the mouse is: composites must not react as to a click.
        CImgButton* over = nullptr;
        const QPoint point = event->position().toPoint();
        for (CImgButton* widget : widgets_) {
            if (!widget->IsHidden() && widget->Contains(point.x(), point.y())) {
                over = widget;
                break;
            }
        }
        hover_.SetHovered(over);
    }
    QWidget::mouseMoveEvent(event);
}

void CImgWidgetHost::leaveEvent(QEvent* event) {
    if (hoverEnabled_) hover_.Clear();
    QWidget::leaveEvent(event);
}

}  // namespace torvane
