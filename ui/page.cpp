#include "ui/page.h"

#include <QComboBox>
#include <QVariant>

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

}  // namespace torvane
