#include "ui/page.h"

#include <QComboBox>
#include <QVariant>

#include "store/card.h"

namespace torvane {

void SetControlId(QWidget* widget, int id) {
    widget->setProperty("controlId", id);
}

int ControlId(const QWidget* widget) {
    return widget->property("controlId").toInt();
}

UpdatePageBase::UpdatePageBase(QWidget* parent)
    : QWidget(parent), driveChooser_(new QComboBox(this)) {
    SetControlId(driveChooser_, kDriveChooserId);
    driveChooser_->setObjectName("DriveChooser");
    driveChooser_->setGeometry(20, 20, 260, 24);
}

std::shared_ptr<Card> UpdatePageBase::TargetCard() const {
    if (targetCard_) return targetCard_();
    const std::string drive = driveChooser_->currentText().toStdString();
    return drive.empty() ? nullptr : std::make_shared<Card>(drive);
}

}  // namespace torvane
