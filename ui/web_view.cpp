#include "ui/web_view.h"

#include <QUrl>
#include <QWebEngineSettings>

namespace torvane {

CWebView::CWebView(QWidget* parent) : QWebEngineView(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);
    // The local home page (a file) shows the service's notices in a frame.
    settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
}

void CWebView::Navigate(const QString& address) {
    // The address goes as written: the shop's query strings are already encoded.
    load(QUrl(address.trimmed(), QUrl::TolerantMode));
}

void CWebView::GoBack() {
    back();
}

void CWebView::GoForward() {
    forward();
}

void CWebView::Refresh() {
    reload();
}

}  // namespace torvane
