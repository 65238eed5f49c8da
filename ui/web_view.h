// The embedded browser under the pages: the shop's pages and the local home page.
#pragma once

#include <QWebEngineView>

namespace torvane {

class CWebView : public QWebEngineView {
    Q_OBJECT
  public:
    explicit CWebView(QWidget* parent = nullptr);

    // Opens an address: http(s) pages of the shop or a file:// page.
    void Navigate(const QString& address);
    void GoBack();
    void GoForward();
    void Refresh();
};

}  // namespace torvane
