#include "children/child_window.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include "children/child_rules.h"
#include "common/messages.h"
#include "ui/app_font.h"
#include "ui/page.h"
#include "ui/picture_ids.h"
#include "ui/qt_text.h"

namespace torvane {
namespace {

// Rectangles as left, top, right and bottom edges; a drop-down list's bottom is where its open
// list would end, so the box itself is one line high.
QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

QLineEdit* MakeEdit(QWidget* parent, int id, const QRect& rect) {
    auto* edit = new QLineEdit(parent);
    SetControlId(edit, id);
    edit->setGeometry(rect);
    return edit;
}

QComboBox* MakeList(QWidget* parent, int id, const QRect& rect, const QStringList& entries) {
    auto* list = new QComboBox(parent);
    SetControlId(list, id);
    list->setGeometry(rect.left(), rect.top(), rect.width(), 24);
    list->setMaxVisibleItems(8);
    list->addItems(entries);
    list->setCurrentIndex(0);
    return list;
}

QStringList Numbers(int first, int last) {
    QStringList numbers;
    for (int n = first; n <= last; ++n) numbers << QString::number(n);
    return numbers;
}

}  // namespace

CChildWnd::CChildWnd(QWidget* parent) : QWidget(parent) {
    SetControlId(this, kControlId);
    setObjectName("ChildWnd");
    setGeometry(Edges(40, 540, 618, 611));
    familyName_ = MakeEdit(this, 106, Edges(19, 7, 79, 31));
    givenName_ = MakeEdit(this, 105, Edges(126, 7, 186, 31));
    familyName_->setAccessibleName(ToQString(kLabelFamilyName));
    givenName_->setAccessibleName(ToQString(kLabelGivenName));
    sex_ =
        MakeList(this, 101, Edges(237, 7, 338, 107), {ToQString(kLabelBoy), ToQString(kLabelGirl)});
    sex_->setAccessibleName(ToQString(kLabelChildSex));
    const int thisYear = QDate::currentDate().year();
    year_ = MakeList(this, 104, Edges(56, 38, 157, 138), Numbers(thisYear - 12, thisYear));
    month_ = MakeList(this, 102, Edges(182, 38, 226, 138), Numbers(1, 12));
    day_ = MakeList(this, 103, Edges(248, 38, 292, 138), Numbers(1, 31));
    year_->setAccessibleName(ToQString(kLabelYear));
    month_->setAccessibleName(ToQString(kLabelMonth));
    day_->setAccessibleName(ToQString(kLabelDay));
    setTabOrder(familyName_, givenName_);
    setTabOrder(givenName_, sex_);
    setTabOrder(sex_, year_);
    setTabOrder(year_, month_);
    setTabOrder(month_, day_);

    // The two buttons stand side by side inside the panel's 578 pixels, "취소" whole.
    add_ = std::make_unique<CImgButton>(this, kAddId, 0, 368, 15, 471, 63);
    add_->LoadFromResources(pic::kChildAddConfirm, pic::kChildAddConfirm, QString());
    cancel_ = std::make_unique<CImgButton>(this, kCancelId, 0, 471, 15, 574, 63);
    cancel_->LoadFromResources(pic::kChildAddCancel, pic::kChildAddCancel, QString());
    hide();
}

CChildWnd::~CChildWnd() = default;

bool CChildWnd::IsBoy() const {
    return sex_->currentText() == ToQString(kLabelBoy);
}

std::string CChildWnd::Birthday() const {
    return BirthdayText(year_->currentText().toStdString(), month_->currentText().toStdString(),
                        day_->currentText().toStdString());
}

void CChildWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    add_->Draw(painter);
    cancel_->Draw(painter);
    painter.setFont(AppFont(8, true));
    painter.setPen(QColor(0x59, 0x8F, 0x0E));
    const QFontMetrics metrics(painter.font());
    const struct {
        std::string_view text;
        int x, y;
    } labels[] = {{kLabelFamilyName, 3, 13}, {kLabelGivenName, 92, 13},
                  {kLabelChildSex, 198, 13}, {kLabelChildBirthday, 3, 44},
                  {kLabelYear, 164, 44},     {kLabelMonth, 230, 44},
                  {kLabelDay, 296, 44}};
    for (const auto& label : labels)
        painter.drawText(label.x, label.y + metrics.ascent(), ToQString(label.text));
}

void CChildWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    if (add_->HitTest(at.x(), at.y()) != nullptr) {
        // Drawn pressed while the page adds the child.
        add_->SetState(1);
        add_->Repaint();
        Q_EMIT addClicked();
        add_->SetState(0);
        add_->Repaint();
    } else if (cancel_->HitTest(at.x(), at.y()) != nullptr) {
        Q_EMIT cancelClicked();
    }
}

}  // namespace torvane
