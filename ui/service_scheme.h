// Serves the service's pages to the web view under "torvane-web://": fetched with the app's own
// HTTP client and session cookie, an EUC-KR page converted to UTF-8 (see service/service_pages.h).
#pragma once

#include <QWebEngineUrlSchemeHandler>

namespace torvane {

struct ServiceSession;

// Makes the scheme known to the web engine; call once before the QApplication is made.
void RegisterServiceScheme();

// The scheme's one handler, kept by the web engine's default profile for the program's run. It
// serves the session of the window that installed it last, for as long as that window lives.
class ServiceSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
  public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    // Serves `session` until `owner` (which holds it) is destroyed; then every request fails.
    void Serve(const ServiceSession& session, QObject* owner);
    void requestStarted(QWebEngineUrlRequestJob* job) override;

  private:
    const ServiceSession* session_ = nullptr;
};

// True once RegisterServiceScheme() was called (the app; not every test).
bool ServiceSchemeRegistered();

// Serves the scheme to every page of the web engine's default profile with `session`.
void InstallServiceScheme(const ServiceSession& session, QObject* owner);

// `address` as the web view should load it: through the scheme when it is a page of the service
// at `serviceBase` and the scheme is served, else unchanged.
QString WebViewAddress(const std::string& address, const std::string& serviceBase);

}  // namespace torvane
