#include "ui/picture_keyboard.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>
#include <QWidget>

#include "ui/image_widgets.h"

namespace torvane {
namespace {

std::vector<CImgButton*> Visible(std::vector<CImgButton*> pictures) {
    std::erase_if(pictures, [](const CImgButton* p) { return p == nullptr || p->IsHidden(); });
    return pictures;
}

}  // namespace

PictureKeyboard::PictureKeyboard(QWidget& window, Chain chain, Press press)
    : QObject(&window), window_(window), chain_(std::move(chain)), press_(std::move(press)) {
    window_.setFocusPolicy(Qt::StrongFocus);
    window_.installEventFilter(this);
}

CImgButton* PictureKeyboard::Focused() const {
    const std::vector<CImgButton*> pictures = Visible(chain_());
    return focused_ >= 0 && focused_ < static_cast<int>(pictures.size()) ? pictures[focused_]
                                                                         : nullptr;
}

void PictureKeyboard::PaintFocus(QPainter& painter) const {
    const CImgButton* focused = window_.hasFocus() ? Focused() : nullptr;
    if (focused == nullptr) return;
    painter.save();
    // Two rings, dark outside light, so the mark shows on the cream artwork and on the dark bar.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x1A, 0x5F, 0xB4), 2));
    painter.drawRect(focused->Rect().adjusted(1, 1, -2, -2));
    painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
    painter.drawRect(focused->Rect().adjusted(3, 3, -4, -4));
    painter.restore();
}

bool PictureKeyboard::Move(bool forward) {
    const int count = static_cast<int>(Visible(chain_()).size());
    const int next = focused_ < 0 ? (forward ? 0 : count - 1) : focused_ + (forward ? 1 : -1);
    window_.update();
    if (next < 0 || next >= count) {
        focused_ = -1;
        return false;
    }
    focused_ = next;
    return true;
}

bool PictureKeyboard::ShowToolTip(QEvent* event) {
    const auto* help = static_cast<QHelpEvent*>(event);
    for (CImgButton* picture : Visible(chain_())) {
        CImgButton* hit = picture->HitTest(help->pos().x(), help->pos().y());
        if (hit == nullptr || hit->AccessibleName().isEmpty()) continue;
        QToolTip::showText(help->globalPos(), hit->AccessibleName(), &window_, hit->Rect());
        return true;
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

bool PictureKeyboard::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::ToolTip:
            return ShowToolTip(event);
        case QEvent::FocusIn: {
            // Tabbing in starts at the first picture, tabbing back in at the last.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::TabFocusReason) focused_ = 0;
            if (reason == Qt::BacktabFocusReason)
                focused_ = static_cast<int>(Visible(chain_()).size()) - 1;
            // A click gives the window the keyboard too: no picture is marked until Tab.
            window_.update();
            return false;
        }
        case QEvent::FocusOut:
            window_.update();
            return false;
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            // Keys a child widget passed up are not for the pictures.
            if (!window_.hasFocus()) return false;
            const bool plain = (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0;
            if (!plain) return false;
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                const bool forward =
                    key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
                if (Move(forward)) return true;
                // Past the last picture the window's own widgets take the focus.
                return false;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                key->key() == Qt::Key_Space) {
                CImgButton* focused = Focused();
                if (focused == nullptr) return false;
                press_(*focused);
                window_.update();
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

}  // namespace torvane
