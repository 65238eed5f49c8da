// Picture widgets: which picture a widget draws, hit testing, loading, hover, the pager's
// layouts and arrows, and the top bar's hit order.

#include "ui/image_widgets.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/fake_media_engine.h"
#include "ui/img_widget_host.h"
#include "ui/player.h"

using torvane::CImgButton;
using torvane::CPageGroup;

namespace {

// Solid-colour picture files standing for the four pictures of a widget.
class ColourPictures {
  public:
    ColourPictures() {
        const QList<QPair<QString, QColor>> colours = {
            {"off", Qt::red}, {"on", Qt::green}, {"second-off", Qt::blue}};
        for (const auto& [name, colour] : colours) {
            QImage image(8, 8, QImage::Format_RGB32);
            image.fill(colour);
            image.save(Path(name));
        }
    }
    QString Path(const QString& name) const { return dir_.filePath(name + ".png"); }

  private:
    QTemporaryDir dir_;
};

// What the widget draws at a point, over white.
QColor DrawnAt(CImgButton& widget, QPoint point) {
    QImage canvas(200, 100, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    widget.Draw(painter);
    painter.end();
    return canvas.pixelColor(point);
}

QStringList Labels(const CPageGroup& pager) {
    QStringList labels;
    for (const auto& button : pager.NumberButtons()) labels << button->Label();
    return labels;
}

}  // namespace

class ImageWidgetsTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void drawsThePictureOfItsState_data() {
        QTest::addColumn<bool>("firstSet");
        QTest::addColumn<int>("state");
        QTest::addColumn<QStringList>("pictures");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QColor>("expected");
        // A second on-picture comes only from resources: see drawsTheSecondPairFromResources.
        const QStringList all{"off", "on", "second-off"};
        QTest::newRow("first set, off") << true << 0 << all << false << QColor(Qt::red);
        QTest::newRow("first set, on") << true << 1 << all << false << QColor(Qt::green);
        QTest::newRow("first set, on picture missing: nothing")
            << true << 1 << QStringList{"off"} << false << QColor(Qt::white);
        QTest::newRow("first set, off picture missing: nothing")
            << true << 0 << QStringList{"on"} << false << QColor(Qt::white);
        QTest::newRow("second set without second-on, state 0: second-off")
            << false << 0 << all << false << QColor(Qt::blue);
        QTest::newRow("second set without second-on, state 1: still second-off")
            << false << 1 << all << false << QColor(Qt::blue);
        QTest::newRow("second set without second pictures: off")
            << false << 1 << QStringList{"off", "on"} << false << QColor(Qt::red);
        QTest::newRow("hidden draws nothing") << true << 0 << all << true << QColor(Qt::white);
    }
    void drawsThePictureOfItsState() {
        QFETCH(bool, firstSet);
        QFETCH(int, state);
        QFETCH(QStringList, pictures);
        QFETCH(bool, hidden);
        QFETCH(QColor, expected);
        ColourPictures files;
        auto path = [&](const QString& name) {
            return pictures.contains(name) ? files.Path(name) : QString();
        };
        CImgButton button(nullptr, 1, 0, 20, 10, 120, 60);
        QVERIFY(button.LoadFromFilesWithSecond(path("off"), path("on"), path("second-off"), "x"));
        button.SetFirstSet(firstSet);
        button.SetState(state);
        button.SetHidden(hidden);
        QCOMPARE(DrawnAt(button, QPoint(70, 35)), expected);
    }

    void drawsTheSecondPairFromResources() {
        // Pictures 228/229 (previous, off and on) as the first pair, 230/231 as the second.
        CImgButton button(nullptr, 0, 0, 0, 0, 40, 33);
        QVERIFY(button.LoadFourFromResources(228, 229, 230, 231, QString()));
        button.SetFirstSet(false);
        for (int state : {0, 1}) {
            button.SetState(state);
            QCOMPARE(button.SecondOnPicture().isNull(), false);
            QImage drawn(40, 33, QImage::Format_ARGB32), expected(40, 33, QImage::Format_ARGB32);
            drawn.fill(Qt::white);
            expected.fill(Qt::white);
            QPainter p1(&drawn);
            button.Draw(p1);
            p1.end();
            QPainter p2(&expected);
            p2.drawPixmap(QRect(0, 0, 40, 33),
                          state ? button.SecondOnPicture() : button.SecondOffPicture());
            p2.end();
            QCOMPARE(drawn, expected);
        }
    }

    void pictureIsStretchedToTheRectangle() {
        ColourPictures files;
        CImgButton button(nullptr, 1, 0, 20, 10, 120, 60);
        QVERIFY(button.LoadFromFiles(files.Path("off"), QString(), QString()));
        QCOMPARE(DrawnAt(button, QPoint(20, 10)), QColor(Qt::red));
        QCOMPARE(DrawnAt(button, QPoint(119, 59)), QColor(Qt::red));
        QCOMPARE(DrawnAt(button, QPoint(120, 35)), QColor(Qt::white));
        QCOMPARE(DrawnAt(button, QPoint(70, 60)), QColor(Qt::white));
    }

    void hitTest_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("hit");
        QTest::newRow("top-left corner") << QPoint(20, 10) << false << true;
        QTest::newRow("last pixel") << QPoint(119, 59) << false << true;
        QTest::newRow("right edge is outside") << QPoint(120, 30) << false << false;
        QTest::newRow("bottom edge is outside") << QPoint(50, 60) << false << false;
        QTest::newRow("left of it") << QPoint(19, 30) << false << false;
        QTest::newRow("hidden, inside") << QPoint(50, 30) << true << false;
    }
    void hitTest() {
        QFETCH(QPoint, point);
        QFETCH(bool, hidden);
        QFETCH(bool, hit);
        CImgButton button(nullptr, 1, 0, 20, 10, 120, 60);
        button.SetHidden(hidden);
        QCOMPARE(button.HitTest(point.x(), point.y()) == &button, hit);
    }

    void loadingFailsWithoutChangingTheWidget() {
        CImgButton button(nullptr, 7, 0, 0, 0, 36, 36);
        QVERIFY(button.LoadFromResources(236, 237, "back"));
        QCOMPARE(button.Label(), QStringLiteral("back"));
        QVERIFY(!button.OffPicture().isNull() && !button.OnPicture().isNull());
        const qint64 before = button.OffPicture().cacheKey();

        QVERIFY(!button.LoadFromResources(238, 99999, "other"));  // on picture missing
        QCOMPARE(button.Label(), QStringLiteral("back"));
        QCOMPARE(button.OffPicture().cacheKey(), before);
        QVERIFY(!button.LoadFromFiles("/nonexistent/off.png", QString(), "other"));
        QVERIFY(!button.LoadFourFromResources(236, 237, 99999, 0, "other"));
        QVERIFY(button.SecondOffPicture().isNull());

        QVERIFY(button.LoadFromResources(0, 0, "none"));  // 0 means "no picture"
        QCOMPARE(button.Label(), QStringLiteral("none"));
    }

    void hoverKeepsOneWidgetOn() {
        CImgButton a(nullptr, 2, 0, 0, 0, 10, 10), b(nullptr, 3, 0, 0, 10, 10, 20);
        torvane::CHoverTracker hover;
        hover.SetHovered(&a);
        QCOMPARE(a.State(), 1);
        hover.SetHovered(&b);
        QCOMPARE(a.State(), 0);
        QCOMPARE(b.State(), 1);
        hover.SetHovered(&b);
        QCOMPARE(b.State(), 1);
        hover.Clear();
        QCOMPARE(b.State(), 0);
        QVERIFY(hover.Hovered() == nullptr);
    }

    void pagerLayout_data() {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("firstPage");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("lastPage");
        QStringList oneToTen;
        for (int i = 1; i <= 10; ++i) oneToTen << QString::number(i);
        QTest::newRow("no items: one page") << 0 << 0 << QStringList{"1"} << QList<int>{20} << 0;
        QTest::newRow("ten items") << 10 << 0 << QStringList{"1"} << QList<int>{20} << 0;
        QTest::newRow("101 items, first group") << 101 << 0 << oneToTen << QList<int>(10, 20) << 10;
        QTest::newRow("101 items, second group")
            << 101 << 10 << QStringList{"11"} << QList<int>{20} << 10;
        QTest::newRow("three-digit page")
            << 1005 << 90
            << QStringList{"91", "92", "93", "94", "95", "96", "97", "98", "99", "100"}
            << (QList<int>(9, 20) << 28) << 100;
        QTest::newRow("first page past the last: arrows only")
            << 20 << 10 << QStringList{} << QList<int>{} << 1;
    }
    void pagerLayout() {
        QFETCH(int, total);
        QFETCH(int, firstPage);
        QFETCH(QStringList, labels);
        QFETCH(QList<int>, widths);
        QFETCH(int, lastPage);
        CPageGroup pager(nullptr, 0, 0, 1, 480, 352, 501);
        pager.SetPages(total, firstPage, 10, 0);
        QCOMPARE(Labels(pager), labels);
        QCOMPARE(pager.LastPage(), lastPage);
        int x = pager.PreviousArrow()->Right() + 5;
        for (int i = 0; i < widths.size(); ++i) {
            const CImgButton& number = *pager.NumberButtons()[i];
            QCOMPARE(number.Left(), x);
            QCOMPARE(number.Width(), widths[i]);
            QCOMPARE(number.Id(), unsigned(firstPage + i));
            QCOMPARE(number.Top(), 480);
            QCOMPARE(number.Bottom(), 501);
            x = number.Right();
        }
        QCOMPARE(pager.PreviousArrow()->Width(), 21);
        QCOMPARE(pager.NextArrow()->Left(), x + 5);
        QCOMPARE(pager.NextArrow()->Width(), 21);
        // Centred: the space left of the group and right of it differ by at most one pixel.
        const int leftGap = pager.PreviousArrow()->Left() - 1;
        const int rightGap = 352 - pager.NextArrow()->Right();
        QVERIFY2(std::abs(leftGap - rightGap) <= 1,
                 qPrintable(QString("%1 vs %2").arg(leftGap).arg(rightGap)));
        QCOMPARE(pager.CurrentPage(), labels.isEmpty() ? -1 : firstPage);
    }

    void pagerArrowsOnlyLeadWhereThereArePages() {
        CPageGroup pager(nullptr, 0, 0, 1, 480, 352, 501);
        auto arrowHit = [&](CImgButton* arrow) {
            return pager.HitTest(arrow->Left() + 3, arrow->Top() + 3);
        };
        pager.SetPages(0, 0, 10, 0);
        QVERIFY(arrowHit(pager.PreviousArrow()) == nullptr);
        QVERIFY(arrowHit(pager.NextArrow()) == nullptr);

        pager.SetPages(101, 0, 10, 3);
        QCOMPARE(pager.CurrentPage(), 3);
        QVERIFY(arrowHit(pager.PreviousArrow()) == nullptr);
        QCOMPARE(arrowHit(pager.NextArrow())->Id(), CPageGroup::kNextId);
        QCOMPARE(pager.NextGroupFirstPage(), 10);

        pager.SetPages(101, pager.NextGroupFirstPage(), 10, 0);
        QCOMPARE(Labels(pager), QStringList{"11"});
        QCOMPARE(pager.CurrentPage(), 10);
        QVERIFY(arrowHit(pager.NextArrow()) == nullptr);
        QCOMPARE(arrowHit(pager.PreviousArrow())->Id(), CPageGroup::kPreviousId);
        QCOMPARE(pager.PreviousGroupFirstPage(), 0);

        pager.SetHidden(true);
        QVERIFY(arrowHit(pager.PreviousArrow()) == nullptr);
    }

    void pagerNumberClickSelectsOnce() {
        CPageGroup pager(nullptr, 0, 0, 1, 480, 352, 501);
        pager.SetPages(45, 0, 10, 0);
        CImgButton* third = pager.NumberButtons()[2].get();
        CImgButton* hit = pager.HitTest(third->Left() + 2, 490);
        QCOMPARE(hit, third);
        QCOMPARE(pager.CurrentPage(), 2);
        QCOMPARE(third->State(), 1);
        QCOMPARE(pager.NumberButtons()[0]->State(), 0);
        QVERIFY(pager.HitTest(third->Left() + 2, 490) == nullptr);  // already the current page
    }

    void pagerWithoutPageSizeKeepsTen() {
        CPageGroup pager(nullptr, 0, 0, 1, 480, 352, 501);
        pager.SetPages(35, 0, 0, 0);
        QCOMPARE(pager.PageSize(), 10);
        QCOMPARE(pager.LastPage(), 3);
    }

    void topMenuHitOrder() {
        torvane::test::FakeMediaEngine::Script script;
        QStringList log;
        torvane::CTopMenu bar(nullptr, 4, 0, 1, 0, 956, 75, nullptr,
                              std::make_unique<torvane::test::FakeMediaEngine>(&script, &log));
        QVERIFY(bar.LoadFromResources(206, 0, QString()));
        QCOMPARE(bar.HitTest(1 + 765, 30)->Id(), torvane::IdOf(torvane::MainWindowId::Back));
        QCOMPARE(bar.HitTest(1 + 940, 30)->Id(), torvane::IdOf(torvane::MainWindowId::Close));
        QCOMPARE(bar.HitTest(100, 10), &bar);  // the bar's empty part: the window is dragged there
        QCOMPARE(bar.HitTest(370, 20), &bar);  // the player is hidden at first
        bar.Player()->SetHidden(false);
        QCOMPARE(bar.HitTest(370, 20)->Id(), torvane::IdOf(torvane::MainWindowId::PlayerPrevious));
        QCOMPARE(bar.HitTest(700, 60), bar.Player());
        QVERIFY(bar.HitTest(100, 80) == nullptr);
    }

    void hostDispatchesReleasedClicksById() {
        torvane::CImgWidgetHost host;
        host.resize(400, 200);
        CImgButton first(nullptr, 10005, 0, 10, 10, 70, 70);
        CImgButton hidden(nullptr, 10006, 0, 100, 10, 160, 70);
        CImgButton under(nullptr, 10007, 0, 10, 10, 70, 70);  // covered by the first
        CPageGroup pager(nullptr, 0, 0, 0, 150, 400, 171);
        pager.SetPages(30, 0, 10, 0);
        hidden.SetHidden(true);
        for (CImgButton* w : {&first, &hidden, &under, static_cast<CImgButton*>(&pager)}) {
            host.AddWidget(w);
        }
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QSignalSpy clicks(&host, &torvane::CImgWidgetHost::widgetClicked);

        QTest::mouseClick(&host, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseClick(&host, Qt::LeftButton, {}, QPoint(120, 20));   // hidden: nothing
        QTest::mouseClick(&host, Qt::LeftButton, {}, QPoint(300, 100));  // empty: nothing
        CImgButton* second = pager.NumberButtons()[1].get();
        QTest::mouseClick(&host, Qt::LeftButton, {}, second->Rect().center());
        QTest::mouseClick(&host, Qt::LeftButton, {}, second->Rect().center());  // current page
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(clicks[0][0].toUInt(), 10005u);
        QCOMPARE(clicks[1][0].toUInt(), 1u);  // page numbers carry their page index
        QCOMPARE(pager.CurrentPage(), 1);

        // Pressed on one widget, released on another: the widget under the release counts.
        QTest::mousePress(&host, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseRelease(&host, Qt::LeftButton, {}, pager.NumberButtons()[2]->Rect().center());
        QCOMPARE(clicks.count(), 3);
        QCOMPARE(clicks[2][0].toUInt(), 2u);
    }

    void hostLightsTheWidgetUnderTheMouse() {
        torvane::CImgWidgetHost host;
        host.resize(200, 100);
        CImgButton a(nullptr, 2, 0, 0, 0, 50, 50), b(nullptr, 3, 0, 60, 0, 110, 50);
        host.AddWidget(&a);
        host.AddWidget(&b);
        host.SetHoverEnabled(true);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QTest::mouseMove(&host, QPoint(10, 10));
        QTRY_COMPARE(a.State(), 1);
        QTest::mouseMove(&host, QPoint(70, 10));
        QTRY_COMPARE(b.State(), 1);
        QCOMPARE(a.State(), 0);
        QTest::mouseMove(&host, QPoint(150, 80));
        QTRY_COMPARE(b.State(), 0);
        QVERIFY(host.Hovered() == nullptr);
    }
};

QTEST_MAIN(ImageWidgetsTest)
#include "image_widgets_test.moc"
