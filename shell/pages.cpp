#include "shell/pages.h"

#include <QComboBox>
#include <QVariant>

#include "shell/placeholder_pages.h"

namespace torvane {

void SetControlId(QWidget* widget, int id) {
    widget->setProperty("controlId", id);
}

int ControlId(const QWidget* widget) {
    return widget->property("controlId").toInt();
}

UpdatePageBase::UpdatePageBase(QWidget* parent)
    : QWidget(parent), driveChooser_(new QComboBox(this)) {
    SetControlId(driveChooser_, 100);
    driveChooser_->setObjectName("DriveChooser");
    driveChooser_->setGeometry(20, 20, 260, 24);
}

PageFactory PlaceholderPages() {
    return PageFactory{
        [](QWidget* parent, const ServiceSession&) { return new PlaceholderContentPage(parent); },
        [](QWidget* parent, const ServiceSession&) { return new PlaceholderUpdatePage(parent); },
        [](QWidget* parent, const ServiceSession&) { return new PlaceholderChildPage(parent); },
    };
}

}  // namespace torvane
