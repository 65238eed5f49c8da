#include "shell/help_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "common/messages.h"
#include "torvane_version.h"
#include "ui/qt_text.h"

namespace torvane {

HelpDialog::HelpDialog(std::string serviceUrl, QWidget* parent)
    : QDialog(parent),
      page_(new QTextBrowser(this)),
      about_(new QPushButton(ToQString(kLabelAbout), this)),
      serviceUrl_(std::move(serviceUrl)) {
    setWindowTitle(ToQString(kLabelHelp));
    resize(560, 600);
    QFile help(QStringLiteral(":/help/help.html"));
    if (help.open(QIODevice::ReadOnly)) page_->setHtml(QString::fromUtf8(help.readAll()));
    page_->setOpenExternalLinks(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(about_, QDialogButtonBox::HelpRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(about_, &QPushButton::clicked, this, [this] { ShowAboutBox(this, serviceUrl_); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(page_);
    layout->addWidget(buttons);
}

QString AboutText(const std::string& serviceUrl) {
    return QStringLiteral("<h3>Torvane %1</h3><p>%2</p><p>%3</p><p>%4 <a href=\"%5\">%5</a></p>")
        .arg(ToQString(kProgramVersion), ToQString(kAboutDescription), ToQString(kAboutLicence),
             ToQString(kAboutService), ToQString(serviceUrl).toHtmlEscaped());
}

void ShowAboutBox(QWidget* parent, const std::string& serviceUrl) {
    QMessageBox::about(parent, ToQString(kLabelAbout), AboutText(serviceUrl));
}

}  // namespace torvane
