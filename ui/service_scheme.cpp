#include "ui/service_scheme.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <thread>

#include "service/http_client.h"
#include "service/service_pages.h"
#include "service/session.h"

namespace torvane {
namespace {

const QByteArray kScheme(kServicePageScheme.data(), static_cast<int>(kServicePageScheme.size()));

// What the page is, by its address: the service's pages are ASP pages, the rest its pictures and
// style sheets.
QByteArray MimeTypeOf(const QUrl& url, bool html) {
    if (html || url.path().endsWith(QStringLiteral(".asp"), Qt::CaseInsensitive) ||
        url.path().endsWith(QStringLiteral("/")))
        return "text/html";
    return QMimeDatabase()
        .mimeTypeForFile(url.path(), QMimeDatabase::MatchExtension)
        .name()
        .toUtf8();
}

}  // namespace

void RegisterServiceScheme() {
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::HostAndPort);
    scheme.setDefaultPort(80);
    // Like the http pages it stands for: the local home page may frame it, and it may use its
    // own scripts.
    scheme.setFlags(QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void ServiceSchemeHandler::Serve(const ServiceSession& session, QObject* owner) {
    session_ = &session;
    connect(owner, &QObject::destroyed, this, [this, served = &session] {
        if (session_ == served) session_ = nullptr;
    });
}

void ServiceSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QUrl url = job->requestUrl();
    const std::string address = ServiceAddressOfWeb(url.toString(QUrl::FullyEncoded).toStdString());
    // Only the service's own pages get its session cookie; a link elsewhere is not followed.
    const auto wanted = SplitUrl(address);
    const auto service = session_ != nullptr ? SplitUrl(session_->baseUrl) : std::nullopt;
    if (!wanted || !service || wanted->host != service->host || wanted->port != service->port) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    std::string cookie = session_->cookie;
    QPointer<QWebEngineUrlRequestJob> pending(job);
    // The fetch blocks: it runs beside the user interface thread, which answers the job.
    std::thread([address, cookie, url, pending]() mutable {
        std::optional<std::string> answer;
        const Status status = RequestText(address, std::nullopt, cookie, answer);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [status, answer, url, pending] {
            if (!pending) return;  // the page went away meanwhile
            if (!status.ok() || !answer) {
                pending->fail(QWebEngineUrlRequestJob::RequestFailed);
                return;
            }
            const ReadablePage page = ReadableServicePage(*answer, {});
            const QByteArray type = MimeTypeOf(url, page.converted);
            auto* body = new QBuffer(pending);
            body->setData(page.bytes.data(), static_cast<qsizetype>(page.bytes.size()));
            pending->reply(page.converted ? type + ";charset=utf-8" : type, body);
        });
    }).detach();
}

bool ServiceSchemeRegistered() {
    return QWebEngineUrlScheme::schemeByName(kScheme).name() == kScheme;
}

void InstallServiceScheme(const ServiceSession& session, QObject* owner) {
    if (!ServiceSchemeRegistered()) return;
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    auto* handler = qobject_cast<ServiceSchemeHandler*>(
        const_cast<QWebEngineUrlSchemeHandler*>(profile->urlSchemeHandler(kScheme)));
    if (handler == nullptr) {
        handler = new ServiceSchemeHandler(profile);
        profile->installUrlSchemeHandler(kScheme, handler);
    }
    handler->Serve(session, owner);
}

QString WebViewAddress(const std::string& address, const std::string& serviceBase) {
    return QString::fromStdString(
        ServiceSchemeRegistered() ? WebAddressOfService(address, serviceBase) : address);
}

}  // namespace torvane
