// The short help F1 opens (the manual's content in Korean) and the About box it leads to.
#pragma once

#include <QDialog>
#include <string>

class QTextBrowser;

namespace torvane {

class HelpDialog : public QDialog {
    Q_OBJECT
  public:
    // `serviceUrl` is the service the About box names.
    HelpDialog(std::string serviceUrl, QWidget* parent = nullptr);
    QTextBrowser* Page() const { return page_; }
    QPushButton* AboutButton() const { return about_; }

  private:
    QTextBrowser* page_;
    QPushButton* about_;
    std::string serviceUrl_;
};

// The About box's text: the program, its version, its licence and the service's address.
QString AboutText(const std::string& serviceUrl);
void ShowAboutBox(QWidget* parent, const std::string& serviceUrl);

}  // namespace torvane
