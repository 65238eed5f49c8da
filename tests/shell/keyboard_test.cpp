// The main window from the keyboard: Tab walks its pictures in reading order with a visible mark,
// Return presses the focused one, every picture names itself in a tooltip, Ctrl+Q quits.
#include <QHelpEvent>
#include <QTextBrowser>
#include <QToolTip>
#include <QtTest>

#include "shell/help_dialog.h"
#include "tests/shell/window_fixture.h"
#include "torvane_version.h"
#include "ui/left_menu.h"
#include "ui/player.h"

namespace torvane {

class KeyboardTest : public QObject, private test::WindowFixture {
    Q_OBJECT

    CTorvaneDlg& ShownWindow() {
        CTorvaneDlg& window = MakeWindow();
        window.Create();
        window.show();
        window.activateWindow();
        return window;
    }

    std::vector<CImgButton*> Pictures(CTorvaneDlg& window) {
        std::vector<CImgButton*> pictures;
        for (int i = 0; i < 5; ++i) pictures.push_back(window.TopMenu()->Button(i));
        pictures.push_back(window.TopMenu()->Player()->Child(MainWindowId::PlayerPlay));
        pictures.push_back(window.ContentButton());
        pictures.push_back(window.UpdateButton());
        for (const auto& category : window.LeftMenu()->Categories())
            pictures.push_back(category.get());
        return pictures;
    }

  private Q_SLOTS:
    void init() { Reset(); }
    void cleanup() { window_.reset(); }

    void tabWalksThePicturesAndReturnPressesOne() {
        CTorvaneDlg& window = ShownWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Nothing is marked before the first Tab, which marks the bar's first button; five bar
        // buttons, five player buttons and the content button come before the update button.
        for (int i = 0; i < 12; ++i) QTest::keyClick(&window, Qt::Key_Tab);
        const QRect button = window.UpdateButton()->Rect();
        const QImage marked = window.grab().toImage();
        QCOMPARE(marked.pixelColor(button.left() + 1, button.center().y()),
                 QColor(0x1A, 0x5F, 0xB4));
        QTest::keyClick(&window, Qt::Key_Return);
        QCOMPARE(window.CurrentPage(), window.UpdatePage());
        QTest::keyClick(&window, Qt::Key_Backtab);
        QTest::keyClick(&window, Qt::Key_Space);  // the content button, without a card
        QCOMPARE(test::Said(sink_), QStringList{"저장장치를 찾을 수 없습니다."});
        // Back past the first picture the focus leaves the pictures: no mark is drawn.
        for (int i = 0; i < 12; ++i) QTest::keyClick(&window, Qt::Key_Backtab);
        const QImage unmarked = window.grab().toImage();
        QVERIFY(unmarked.pixelColor(button.left() + 1, button.center().y()) !=
                QColor(0x1A, 0x5F, 0xB4));
    }

    void everyPictureNamesItselfInATooltip() {
        CTorvaneDlg& window = ShownWindow();
        for (CImgButton* picture : Pictures(window)) {
            QVERIFY(picture != nullptr);
            const QString name = picture->AccessibleName();
            QVERIFY2(!name.isEmpty(), qPrintable(QString::number(picture->Id())));
            const QPoint centre = picture->Rect().center();
            QHelpEvent help(QEvent::ToolTip, centre, window.mapToGlobal(centre));
            QApplication::sendEvent(&window, &help);
            QTRY_COMPARE(QToolTip::text(), name);
        }
    }

    void f1OpensTheHelpAndItsAboutBox() {
        CTorvaneDlg& window = ShownWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_F1);
        QVERIFY(window.Help() != nullptr);
        QTRY_VERIFY(window.Help()->isVisible());
        QVERIFY(
            window.Help()->Page()->toPlainText().contains(QStringLiteral("카드 안전하게 꺼내기")));
        const QString about = AboutText("http://127.0.0.1:9");
        for (const QString& part :
             {QString::fromUtf8(kProgramVersion.data(), kProgramVersion.size()),
              QStringLiteral("라이선스"), QStringLiteral("http://127.0.0.1:9")})
            QVERIFY2(about.contains(part), qPrintable(part));
        // Escape closes it as Cancel.
        QTest::keyClick(window.Help(), Qt::Key_Escape);
        QTRY_VERIFY(!window.Help()->isVisible());
    }

    void ctrlQQuits() {
        CTorvaneDlg& window = ShownWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!window.isVisible());
    }
};

}  // namespace torvane

QTEST_MAIN(torvane::KeyboardTest)
#include "keyboard_test.moc"
