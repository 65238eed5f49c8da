// The sign-in window against the local content service: success, refusals, every message of a
// failed attempt, the remembered values and the banner.
#include "service/login_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "service/session.h"
#include "shell/qt_settings.h"
#include "tests/support/fake_media_engine.h"
#include "tests/support/qt_texts.h"
#include "tests/support/recording_sink.h"
#include "tools/demo_service/demo_service.h"

namespace torvane {

using test::RecordingSink;

class LoginDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<demo::DemoService> service_;
    RecordingSink sink_;
    MemorySettings settings_;
    ServiceSession session_;

    std::unique_ptr<CLoginDlg> Open() {
        return std::make_unique<CLoginDlg>(session_, settings_, sink_);
    }
    static void Fill(CLoginDlg& dialog, const QString& id, const QString& password) {
        dialog.IdEdit()->setText(id);
        dialog.PasswordEdit()->setText(password);
    }

  private Q_SLOTS:
    void initTestCase() {
        service_ = std::make_unique<demo::DemoService>();
        QVERIFY2(service_->Start(0), service_->Error().c_str());
    }
    void init() {
        session_ = ServiceSession{};
        session_.baseUrl = service_->BaseUrl();
        sink_.Clear();
        settings_ = MemorySettings();
    }
    void cleanupTestCase() { service_->Stop(); }

    void signsInAndEndsWith200() {
        auto dialog = Open();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("로그인"));
        QCOMPARE(dialog->size(), QSize(582, 423));
        Fill(*dialog, "demo", "demo1234");
        dialog->SignIn();
        QCOMPARE(test::Said(sink_), QStringList{});
        QCOMPARE(dialog->result(), 200);
        QCOMPARE(session_.userId, std::string("demo"));
        QVERIFY(!session_.cookie.empty());
    }

    void failedAttemptsSayWhyAndStayOpen_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("serviceDown");
        QTest::addColumn<QString>("message");
        QTest::newRow("no identifier") << ""
                                       << "demo1234" << false << "아이디를 입력하세요";
        QTest::newRow("no password") << "demo"
                                     << "" << false << "암호를 입력하세요";
        QTest::newRow("wrong password") << "demo"
                                        << "nope" << false << "암호가 틀립니다.";
        QTest::newRow("unknown identifier") << "nobody"
                                            << "x" << false << "아이디가 틀립니다.";
        QTest::newRow("service unreachable") << "demo"
                                             << "demo1234" << true << "서버에 연결할 수 없습니다.";
    }

    void failedAttemptsSayWhyAndStayOpen() {
        QFETCH(QString, id);
        QFETCH(QString, password);
        QFETCH(bool, serviceDown);
        QFETCH(QString, message);
        if (serviceDown) session_.baseUrl = "http://127.0.0.1:9";
        auto dialog = Open();
        Fill(*dialog, id, password);
        dialog->SignIn();
        QCOMPARE(test::Said(sink_), QStringList{message});
        QCOMPARE(dialog->result(), 0);
        QVERIFY(!settings_.Has(kRememberIdKey));  // nothing saved by a failed attempt
    }

    void remembersWhatTheBoxesSay_data() {
        QTest::addColumn<bool>("rememberId");
        QTest::addColumn<bool>("rememberPassword");
        QTest::addColumn<int>("ckid");
        QTest::addColumn<int>("ckpass");
        QTest::addColumn<QString>("savedId");
        QTest::addColumn<QString>("savedPassword");
        QTest::newRow("both") << true << true << 1 << 1 << "demo"
                              << "demo1234";
        QTest::newRow("identifier only") << true << false << 1 << 0 << "demo"
                                         << "";
        QTest::newRow("password alone is not remembered") << false << true << 0 << 0 << ""
                                                          << "";
        QTest::newRow("neither") << false << false << 0 << 0 << ""
                                 << "";
    }

    void remembersWhatTheBoxesSay() {
        QFETCH(bool, rememberId);
        QFETCH(bool, rememberPassword);
        QFETCH(int, ckid);
        QFETCH(int, ckpass);
        QFETCH(QString, savedId);
        QFETCH(QString, savedPassword);
        settings_.SetString(kSavedIdKey, "old");
        settings_.SetString(kSavedPasswordKey, "old");
        auto dialog = Open();
        Fill(*dialog, "demo", "demo1234");
        dialog->RememberIdBox()->setChecked(rememberId);
        dialog->RememberPasswordBox()->setChecked(rememberPassword);
        dialog->SignIn();
        QCOMPARE(dialog->result(), 200);
        QCOMPARE(settings_.GetInt(kRememberIdKey, -1), ckid);
        QCOMPARE(settings_.GetInt(kRememberPasswordKey, -1), ckpass);
        QCOMPARE(QString::fromStdString(settings_.GetString(kSavedIdKey, "?")), savedId);
        QCOMPARE(QString::fromStdString(settings_.GetString(kSavedPasswordKey, "?")),
                 savedPassword);

        // The next start shows what was remembered.
        auto next = Open();
        QCOMPARE(next->IdEdit()->text(), savedId);
        QCOMPARE(next->PasswordEdit()->text(), savedPassword);
        QCOMPARE(next->RememberIdBox()->isChecked(), ckid == 1);
        QCOMPARE(next->RememberPasswordBox()->isChecked(), ckpass == 1);
    }

    void storedPasswordStaysHiddenUnlessRemembered() {
        settings_.SetInt(kRememberIdKey, 1);
        settings_.SetInt(kRememberPasswordKey, 0);
        settings_.SetString(kSavedIdKey, "demo");
        settings_.SetString(kSavedPasswordKey, "demo1234");
        auto dialog = Open();
        QCOMPARE(dialog->IdEdit()->text(), QString("demo"));
        QCOMPARE(dialog->PasswordEdit()->text(), QString());
    }

    void rememberIdBoxGovernsThePasswordBox() {
        auto dialog = Open();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QTest::mouseClick(dialog->RememberIdBox(), Qt::LeftButton);
        QVERIFY(dialog->RememberPasswordBox()->isEnabled());
        QTest::mouseClick(dialog->RememberIdBox(), Qt::LeftButton);
        QVERIFY(!dialog->RememberPasswordBox()->isEnabled());
    }

    void returnSignsInAndEscapeCancels() {
        auto dialog = Open();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        dialog->show();
        Fill(*dialog, "demo", "demo1234");
        QTest::keyClick(dialog->PasswordEdit(), Qt::Key_Return);
        QCOMPARE(dialog->result(), 200);
        QVERIFY(!dialog->isVisible());
    }

    void keyboardReachesTheButtonsAfterTheBoxes() {
        auto dialog = Open();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        dialog->activateWindow();
        dialog->IdEdit()->setFocus();
        QWidget* expected[] = {dialog->PasswordEdit(), dialog->RememberIdBox(), dialog.get()};
        dialog->RememberPasswordBox()->setEnabled(false);  // skipped while disabled
        for (QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // The sign-in button has the focus and Space presses it.
        Fill(*dialog, "demo", "nope");
        QTest::keyClick(dialog.get(), Qt::Key_Space);
        QCOMPARE(test::Said(sink_), QStringList{"암호가 틀립니다."});
    }

    void signInButtonIsClickable() {
        auto dialog = Open();
        Fill(*dialog, "demo", "nope");
        dialog->ClickAt(QPoint(400, 130));
        QCOMPARE(test::Said(sink_), QStringList{"암호가 틀립니다."});
        dialog->ClickAt(QPoint(300, 200));  // between the buttons
        QCOMPARE(test::Said(sink_).size(), 1);
    }

    void buttonsAreNamedByTheirWords_data() {
        QTest::addColumn<unsigned>("button");
        QTest::addColumn<QString>("name");
        QTest::newRow("sign in") << CLoginDlg::kSignInButtonId << QStringLiteral("로그인");
        QTest::newRow("home page")
            << CLoginDlg::kHomepageButtonId << QStringLiteral("홈페이지 바로가기");
        QTest::newRow("find account")
            << CLoginDlg::kFindAccountButtonId << QStringLiteral("아이디/비밀번호 찾기");
        QTest::newRow("join") << CLoginDlg::kJoinButtonId << QStringLiteral("회원가입");
    }
    void buttonsAreNamedByTheirWords() {
        QFETCH(unsigned, button);
        QFETCH(QString, name);
        auto dialog = Open();
        QCOMPARE(dialog->Button(button)->AccessibleName(), name);
    }

    // The picture buttons are drawn whole, none over another.
    void buttonsDoNotOverlap() {
        auto dialog = Open();
        const unsigned ids[] = {CLoginDlg::kSignInButtonId, CLoginDlg::kHomepageButtonId,
                                CLoginDlg::kFindAccountButtonId, CLoginDlg::kJoinButtonId};
        for (const unsigned first : ids)
            for (const unsigned second : ids)
                if (first < second)
                    QVERIFY2(
                        !dialog->Button(first)->Rect().intersects(dialog->Button(second)->Rect()),
                        qPrintable(QStringLiteral("%1 and %2").arg(first).arg(second)));
    }

    void settingsFileIsReadableByItsOwnerOnly() {
        QTemporaryDir folder;
        const QString path = folder.path() + "/Torvane.conf";
        const auto othersMayUse = [&path] {
            return QFile::permissions(path) &
                   ~(QFile::ReadUser | QFile::WriteUser | QFile::ReadOwner | QFile::WriteOwner);
        };
        {
            QtSettings settings(path);
            // Owner-only from the start: before anything is written, not restricted afterwards.
            QVERIFY(QFile::exists(path));
            QCOMPARE(othersMayUse(), QFile::Permissions());
            settings.SetString(kSavedPasswordKey, "demo1234");
            settings.SetInt(kRememberPasswordKey, 1);
        }
        QCOMPARE(QFile::permissions(path) &
                     ~(QFile::ReadUser | QFile::WriteUser | QFile::ReadOwner | QFile::WriteOwner),
                 QFile::Permissions());
        QtSettings reread(path);
        QCOMPARE(reread.GetString(kSavedPasswordKey, ""), std::string("demo1234"));
        QCOMPARE(reread.GetInt(kRememberPasswordKey, 0), 1);
    }

    void showsOneOfTheServiceBanners() {
        auto dialog = Open();
        QTRY_VERIFY(!dialog->Banner().isNull());
        QVERIFY(QFile::exists(QString::fromStdString(dialog->BannerImagePath())));
        QVERIFY(test::Said(sink_).isEmpty());
    }

    void bannerFailureShowsNothing() {
        session_.baseUrl = "http://127.0.0.1:9";
        auto dialog = Open();
        dialog->ShowBanner();
        QVERIFY(dialog->Banner().isNull());
        QVERIFY(test::Said(sink_).isEmpty());
    }
};

}  // namespace torvane

QTEST_MAIN(torvane::LoginDialogTest)
#include "login_dialog_test.moc"
