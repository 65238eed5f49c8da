// The main window: its pages and their switching by clicks, and the left menu's layout.
#include <QComboBox>
#include <QtTest>

#include "base/window_file.h"
#include "tests/shell/window_fixture.h"
#include "ui/left_menu.h"
#include "ui/menu_definition.h"
#include "ui/web_view.h"

namespace torvane {
namespace {

// Clicks by the widget ids the window reports; the menu's ids are those of its definition.
constexpr int Click(MainWindowId id) {
    return static_cast<int>(IdOf(id));
}
constexpr int kContent = Click(MainWindowId::ContentButton);
constexpr int kUpdate = Click(MainWindowId::UpdateButton);
constexpr int kMyPageCategory = 1000;
constexpr int kMoreContentsCategory = 1001;
constexpr int kOrdersEntry = 2002;
constexpr int kBooksEntry = 2007;

const QString kNoDevice = QStringLiteral("저장장치를 찾을 수 없습니다.");
const QString kNotReady = QStringLiteral("서비스 준비중입니다.");
const QString kPlayRefused =
    QStringLiteral("해당 기능은 라크스핀 동요, 동화, DIY 기능에서만 작동합니다.");

}  // namespace

class MainWindowTest : public QObject, private test::WindowFixture {
    Q_OBJECT

  private Q_SLOTS:
    void init() { Reset(); }
    void cleanup() { window_.reset(); }

    void createsTheWindowWithItsPagesAfterSignIn() {
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        QCOMPARE(window.size(), QSize(956, 763));
        QCOMPARE(window.windowTitle(), QStringLiteral("Torvane"));
        const struct {
            QWidget* page;
            const char* name;
            int id;
        } pages[] = {{window.ContentPage(), "SendContents", CTorvaneDlg::kContentPageId},
                     {window.UpdatePage(), "UpdateSystemView", CTorvaneDlg::kUpdatePageId},
                     {window.ChildPage(), "ManagerPrivate", CTorvaneDlg::kChildPageId}};
        for (const auto& page : pages) {
            QCOMPARE(page.page->objectName(), QString(page.name));
            QCOMPARE(ControlId(page.page), page.id);
            QVERIFY(page.page->isHidden());
            QCOMPARE(page.page->geometry(), QRect(221, 100, 711, 641));
        }
        QCOMPARE(ControlId(window.WebView()), CTorvaneDlg::kWebViewId);
        QCOMPARE(ControlId(window.UpdatePage()->DriveChooser()), UpdatePageBase::kDriveChooserId);
        QCOMPARE(window.CurrentPage(), window.WebView());
        QVERIFY(window.TopMenu()->Player()->IsHidden());

        QFile home(temp_->path() + "/home.html");
        QVERIFY(home.open(QIODevice::ReadOnly));
        QVERIFY(home.readAll().contains(" Version 1.9.7.0 "));
        QCOMPARE(window.HomeAddress(), "file://" + temp_->path() + "/home.html");
        QVERIFY(QFile::exists(temp_->path() + "/HomeBG.jpg"));
    }

    // A second start finds the first one's window by the id in "tmp.dat": it must be the id of
    // the window on the screen, also after the native window was made anew.
    void windowFileHoldsTheShownWindowsId() {
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        const std::string folder = temp_->path().toStdString();
        QCOMPARE(ReadWindowFile(folder), 0u);  // nothing is shown yet
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const auto shownId = static_cast<std::uint32_t>(window.windowHandle()->winId());
        QVERIFY(shownId != 0);
        QCOMPARE(ReadWindowFile(folder), shownId);

        // The native window made anew, as the desktop may do for the web view's sake.
        window.windowHandle()->destroy();
        window.windowHandle()->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.windowHandle()));
        const auto recreatedId = static_cast<std::uint32_t>(window.windowHandle()->winId());
        QVERIFY(recreatedId != shownId);
        QTRY_COMPARE(ReadWindowFile(folder), recreatedId);

        window.close();  // the window's file goes with it
        QCOMPARE(ReadWindowFile(folder), 0u);
    }

    void refusedSignInBuildsNothing() {
        CTorvaneDlg& window = MakeWindow(0);
        QVERIFY(!window.Create());
        QVERIFY(window.CurrentPage() == nullptr);
        QVERIFY(!QFile::exists(temp_->path() + "/tmp.dat"));
        window.DispatchClick(MainWindowId::ContentButton);  // nothing to dispatch to
        QVERIFY(test::Said(sink_).isEmpty());
    }

    void clicksSwitchPages_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<bool>("device");
        QTest::addColumn<bool>("playable");
        QTest::addColumn<int>("currentId");
        QTest::addColumn<bool>("playerHidden");
        QTest::addColumn<QStringList>("messages");

        using enum MainWindowId;
        const int web = CTorvaneDlg::kWebViewId;
        const int content = CTorvaneDlg::kContentPageId;
        const int update = CTorvaneDlg::kUpdatePageId;
        QTest::newRow("content without device: refused, update page")
            << QList<int>{kContent} << false << false << update << true << QStringList{kNoDevice};
        QTest::newRow("content with device shows the player")
            << QList<int>{kContent} << true << false << content << false << QStringList{};
        QTest::newRow("content twice")
            << QList<int>{kContent, kContent} << true << false << content << false << QStringList{};
        QTest::newRow("update hides the player")
            << QList<int>{kContent, kUpdate} << true << false << update << true << QStringList{};
        QTest::newRow("home keeps the player")
            << QList<int>{kContent, Click(Home)} << true << false << web << false << QStringList{};
        QTest::newRow("shop entry hides the player")
            << QList<int>{kContent, kMyPageCategory, kOrdersEntry} << true << false << web << true
            << QStringList{};
        QTest::newRow("refusal from the content page keeps the player")
            << QList<int>{kContent, Click(Home), kUpdate, kContent} << true << false << content
            << false << QStringList{};
        QTest::newRow("child name page")
            << QList<int>{kMyPageCategory, Click(ChildNamesEntry)} << false << false
            << CTorvaneDlg::kChildPageId << true << QStringList{};
        QTest::newRow("cards and special contents are not ready")
            << QList<int>{kMoreContentsCategory, Click(CardShopEntry), Click(SpecialShopEntry)}
            << false << false << web << true << QStringList{kNotReady, kNotReady};
        QTest::newRow("play outside the content page does nothing")
            << QList<int>{Click(PlayerPlay), Click(PlayerPrevious), Click(PlayerNext),
                          Click(PlayerStop)}
            << false << false << web << true << QStringList{};
        QTest::newRow("play on a list that cannot be played")
            << QList<int>{kContent, Click(PlayerPlay)} << true << false << content << false
            << QStringList{kPlayRefused};
        QTest::newRow("play on songs") << QList<int>{kContent, Click(PlayerPlay)} << true << true
                                       << content << false << QStringList{};
        QTest::newRow("ids without meaning")
            << QList<int>{Click(TopBar), Click(PlayerVolumeKnob), Click(PlayerPositionKnob),
                          Click(LeftMenu), Click(LastMenuCategory)}
            << true << false << web << true << QStringList{};
    }

    void clicksSwitchPages() {
        QFETCH(QList<int>, clicks);
        QFETCH(bool, device);
        QFETCH(bool, playable);
        QFETCH(int, currentId);
        QFETCH(bool, playerHidden);
        QFETCH(QStringList, messages);

        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        Content()->playable = playable;
        if (device) {
            qputenv("TORVANE_DRIVES", MakeCard("card", true).toUtf8());
            window.PollDrives();
        }
        for (int id : clicks) window.DispatchClick(static_cast<unsigned>(id));

        QCOMPARE(ControlId(window.CurrentPage()), currentId);
        QCOMPARE(window.TopMenu()->Player()->IsHidden(), playerHidden);
        QCOMPARE(test::Said(sink_), messages);
        // Only the current page is in front; the web view is never hidden.
        QVERIFY(!window.WebView()->isHidden());
        for (QWidget* page : {static_cast<QWidget*>(window.ContentPage()),
                              static_cast<QWidget*>(window.UpdatePage()),
                              static_cast<QWidget*>(window.ChildPage())})
            QCOMPARE(page->isVisibleTo(&window), page == window.CurrentPage());
    }

    void childPageReloadsItsChildrenAndRefreshReloadsContent() {
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        window.DispatchClick(MainWindowId::ChildNamesEntry);
        QCOMPARE(Child()->calls, QStringList{"children"});
        qputenv("TORVANE_DRIVES", MakeCard("card", true).toUtf8());
        window.PollDrives();
        window.DispatchClick(MainWindowId::ContentButton);
        window.DispatchClick(MainWindowId::Refresh);
        QCOMPARE(Content()->calls, QStringList{"refresh"});
    }

    void aBackupFromTheFileManagerIsOfferedAndAWrittenCardIsReadAgain() {
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        window.OfferRestore("/home/kim/card.tvbackup");
        QCOMPARE(ControlId(window.CurrentPage()), CTorvaneDlg::kUpdatePageId);
        QVERIFY(Update()->calls.contains("restore:/home/kim/card.tvbackup"));

        Update()->WriteToCard();  // no card yet: nothing to read
        QVERIFY(!Content()->calls.contains("load"));
        qputenv("TORVANE_DRIVES", MakeCard("card", true).toUtf8());
        window.PollDrives();
        QTRY_VERIFY(Content()->calls.contains("load"));
        Content()->calls.clear();
        Update()->WriteToCard();
        QCOMPARE(Content()->calls, QStringList{"load"});
    }

    void menuEntriesOpenTheirAddresses_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("address");
        QTest::newRow("identifier and ampersands")
            << kOrdersEntry
            << "http://127.0.0.1:9/torvane/html_order_list.asp?userID=kim&cookie=Tv7qK2mX9pL4wR8z";
        QTest::newRow("address without identifier")
            << kBooksEntry << "http://127.0.0.1:9/ui/goods_list3.asp?sch_gd_group_m=4&category=a";
    }

    void menuEntriesOpenTheirAddresses() {
        QFETCH(int, entry);
        QFETCH(QString, address);
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        window.DispatchClick(kMyPageCategory);
        window.DispatchClick(kMoreContentsCategory);
        window.DispatchClick(static_cast<unsigned>(entry));
        QTRY_COMPARE_WITH_TIMEOUT(window.WebView()->url().toString(), address, 10000);
    }

    void menuLaysOutItsCategories() {
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        CLeftWebMenu& menu = *window.LeftMenu();
        const auto& categories = menu.Categories();
        QCOMPARE(categories.size(), size_t{2});
        QCOMPARE(categories[0]->Rect(), QRect(QPoint(2, 270), QPoint(200, 305)));
        QCOMPARE(categories[1]->Rect(), QRect(QPoint(2, 313), QPoint(200, 348)));

        window.DispatchClick(kMyPageCategory);
        QVERIFY(categories[0]->IsOpen());
        QCOMPARE(categories[0]->State(), 1);
        QList<int> tops;
        for (const auto& entry : categories[0]->Entries()) tops << entry->Top();
        QCOMPARE(tops, (QList<int>{303, 324, 345}));
        QCOMPARE(categories[1]->Top(), 376);
        // An entry under the open category is hit; the second category's entries are not.
        QCOMPARE(menu.HitTest(100, 330)->Id(), unsigned{kOrdersEntry});
        QCOMPARE(menu.HitTest(100, 380)->Id(), unsigned{kMoreContentsCategory});

        window.DispatchClick(kMoreContentsCategory);
        QVERIFY(!categories[0]->IsOpen());
        QCOMPARE(categories[0]->State(), 0);
        QCOMPARE(categories[1]->Top(), 313);
        tops.clear();
        for (const auto& entry : categories[1]->Entries()) tops << entry->Top();
        QCOMPARE(tops, (QList<int>{346, 367, 388, 409, 430, 451}));
        QVERIFY(menu.HitTest(100, 310) == nullptr);   // the gap between categories
        window.DispatchClick(kMoreContentsCategory);  // the open category stays as it is
        QCOMPARE(categories[1]->Top(), 313);
        window.DispatchClick(kMoreContentsCategory + 4);  // no such category
        QVERIFY(categories[1]->IsOpen());
    }

    // A screen reader says each picture button by the words its picture shows, or by what it
    // does when the picture is a sign.
    void everyPictureButtonHasAnAccessibleName() {
        CTorvaneDlg& window = MakeWindow();
        QVERIFY(window.Create());
        QList<const CImgButton*> buttons{window.ContentButton(), window.UpdateButton()};
        for (int i = 0; i < 5; ++i) buttons << window.TopMenu()->Button(i);
        using enum MainWindowId;
        for (MainWindowId control : {PlayerPrevious, PlayerNext, PlayerStop, PlayerPlay,
                                     PlayerSound, PlayerVolumeKnob, PlayerPositionKnob})
            buttons << window.TopMenu()->Player()->Child(control);
        for (const auto& category : window.LeftMenu()->Categories()) {
            buttons << category.get();
            for (const auto& entry : category->Entries()) buttons << entry.get();
        }
        for (const CImgButton* button : buttons)
            QVERIFY2(!button->AccessibleName().isEmpty(),
                     qPrintable(QString::number(button->Id())));

        QCOMPARE(window.ContentButton()->AccessibleName(), QStringLiteral("컨텐츠 전송"));
        QCOMPARE(window.UpdateButton()->AccessibleName(), QStringLiteral("시스템 업데이트"));
        QCOMPARE(window.TopMenu()->Button(4)->AccessibleName(), QStringLiteral("닫기"));
        QCOMPARE(window.TopMenu()->Player()->Child(PlayerPlay)->AccessibleName(),
                 QStringLiteral("재생"));
        QCOMPARE(window.LeftMenu()->FindEntry(kOrdersEntry)->AccessibleName(),
                 QStringLiteral("구매관리"));
    }

    void menuDefinitionReading() {
        const MenuDefinition stray = ParseMenuDefinition(
            "<xml><menu id=\"2000\"/><cat id=\"1000\" img=\"left_menu_01.jpg\">"
            "<menu id=\"2001\" url=\"a?x=1&amp;y=%s\">Caption</menu></cat></xml>");
        QCOMPARE(stray.categories.size(), size_t{1});
        QCOMPARE(stray.categories[0].entries.size(), size_t{1});
        QCOMPARE(QString::fromStdString(stray.categories[0].entries[0].url),
                 QString("a?x=1&#38;y=%s"));
        QCOMPARE(stray.categories[0].entries[0].caption, std::string("Caption"));
        QCOMPARE(MenuPictureId(stray.categories[0].img), 246);
        QCOMPARE(MenuPictureId("unknown.jpg"), 0);

        const MenuDefinition broken = ParseMenuDefinition("<xml><cat id=\"1000\"></xml>");
        QVERIFY(broken.categories.empty());
        QVERIFY(!broken.errorText.empty());
    }
};

}  // namespace torvane

QTEST_MAIN(torvane::MainWindowTest)
#include "main_window_test.moc"
