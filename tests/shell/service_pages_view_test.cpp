// The local service's notice page, labelled "euc-kr" and sent in CP949, read in the web view
// with every syllable: 똠, 뷁 and 펲 come through the app's own fetch as UTF-8.
#include <QApplication>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QtTest>

#include "service/service_pages.h"
#include "service/session.h"
#include "tools/demo_service/demo_service.h"
#include "ui/service_scheme.h"
#include "ui/web_view.h"

namespace torvane {

class ServicePagesViewTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void noticePageShowsEveryHangulSyllable() {
        demo::DemoService service;
        QVERIFY2(service.Start(0), service.Error().c_str());
        ServiceSession session;
        session.baseUrl = service.BaseUrl();
        CWebView view;
        InstallServiceScheme(session, &view);
        QSignalSpy loaded(&view, &CWebView::loadFinished);
        view.Navigate(QString::fromStdString(WebAddressOfService(
            session.baseUrl + "/torvane/html_notice_list.asp?userID=torvanehome",
            session.baseUrl)));
        QVERIFY(loaded.wait(30000));
        QVERIFY(loaded.first().first().toBool());
        QString text;
        view.page()->toPlainText([&text](const QString& plain) { text = plain; });
        QTRY_VERIFY(!text.isEmpty());
        for (const char* syllable : {"똠", "뷁", "펲"})
            QVERIFY2(text.contains(QString::fromUtf8(syllable)), qPrintable(text));
        service.Stop();
    }

    void anotherHostIsNotFetchedWithTheSessionCookie() {
        demo::DemoService ours;
        demo::DemoService other;
        QVERIFY(ours.Start(0) && other.Start(0));
        ServiceSession session;
        session.baseUrl = ours.BaseUrl();
        session.cookie = "ASPSESSION=secret";
        CWebView view;
        InstallServiceScheme(session, &view);
        QSignalSpy loaded(&view, &CWebView::loadFinished);
        view.load(QUrl(QString::fromStdString(WebAddressOfService(
            other.BaseUrl() + "/torvane/html_notice_list.asp", other.BaseUrl()))));
        loaded.wait(10000);
        QString text = QStringLiteral("?");
        view.page()->toPlainText([&text](const QString& plain) { text = plain; });
        QTRY_VERIFY(text != QStringLiteral("?"));
        QVERIFY2(!text.contains(QStringLiteral("공지사항")), qPrintable(text));
        ours.Stop();
        other.Stop();
    }
};

}  // namespace torvane

// The scheme must be known before the application starts.
int main(int argc, char** argv) {
    torvane::RegisterServiceScheme();
    QApplication app(argc, argv);
    torvane::ServicePagesViewTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "service_pages_view_test.moc"
