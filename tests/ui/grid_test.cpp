// The list grid and the program's grid, clicked as a parent clicks them: heading clicks and
// sorting with filler rows last, rows that keep their key and tick through a sort, check and
// picture button cells and their notifications, spanned rows, widths, editing, scrolling.

#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include "ui/image_widgets.h"
#include "ui/my_grid.h"

using namespace torvane;

namespace {

constexpr int kGridId = 101;

// A content list as the content page builds it: a heading row, rows with a key (the content
// number), then filler rows without one up to ten rows.
std::unique_ptr<CMyGrid> ContentList(const QStringList& titles, const QStringList& dates,
                                     int rows = 11) {
    auto grid = std::make_unique<CMyGrid>();
    grid->Create(QRect(0, 0, 351, 331), nullptr, kGridId);
    grid->SetColumnCount(4);
    grid->SetRowCount(1);
    grid->SetFixedRowCount(1);
    grid->SetRowHeight(0, 30);
    grid->SetDefaultRowHeight(30);
    grid->SetRowCount(rows);
    grid->SetColumnWidth(0, 30);
    grid->SetColumnWidth(1, 180);
    grid->SetColumnWidth(2, 80);
    grid->SetColumnWidth(3, 50);
    grid->SetHeaderSort(true);
    grid->SetItemText(0, 1, "컨텐츠명 ▲▼");
    grid->SetItemText(0, 2, "다운로드");
    grid->SetCheckCell(0, 0);
    for (int i = 0; i < titles.size(); ++i) {
        grid->SetCheckCell(i + 1, 0);
        grid->SetItemText(i + 1, 1, titles[i]);
        grid->SetItemText(i + 1, 2, dates.value(i));
        grid->SetRowKey(i + 1, QString::number(1000 + i));
    }
    return grid;
}

QStringList Column(const CGridCtrl& grid, int col) {
    QStringList texts;
    for (int row = 1; row < grid.GetRowCount(); ++row) texts << grid.GetItemText(row, col);
    return texts;
}

QStringList Padded(QStringList texts, int rows) {
    while (texts.size() < rows) texts << QString();
    return texts;
}

// A click where a parent clicks: on the heading in the header, on a row in the viewport.
void ClickAt(CGridCtrl& grid, int row, QPoint point) {
    QTest::mouseClick(grid.Surface(row), Qt::LeftButton, {}, point);
}

void ClickCell(CGridCtrl& grid, int row, int col) {
    ClickAt(grid, row, grid.CellRect(row, col).center());
}

std::shared_ptr<CImgButton> Button22() {
    return std::make_shared<CImgButton>(nullptr, 0, 0, 0, 0, 22, 22);
}

struct Notice {
    int row, column, button;
    bool operator==(const Notice&) const = default;
};

QList<Notice> Notices(QSignalSpy& spy) {
    QList<Notice> notices;
    for (const auto& args : spy)
        notices.append({args[0].toInt(), args[1].toInt(), args[2].toInt()});
    return notices;
}

}  // namespace

class GridTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // Title and date headings sort, a second click turns the order; another column starts
    // ascending; the rows' keys travel with their texts.
    void headingClicksSortTitleAndDate() {
        auto grid =
            ContentList({"다람쥐", "가방", "나비"}, {"2012-03-01", "2012-01-05", "2012-02-10"});
        ClickCell(*grid, 0, 1);
        QCOMPARE(Column(*grid, 1), Padded({"가방", "나비", "다람쥐"}, 10));
        QCOMPARE(Column(*grid, 2), Padded({"2012-01-05", "2012-02-10", "2012-03-01"}, 10));
        QCOMPARE(grid->GetRowKey(1), QStringLiteral("1001"));
        QVERIFY(grid->GetRowKey(4).isEmpty());
        QVERIFY(grid->GetSortAscending());
        ClickCell(*grid, 0, 1);
        QCOMPARE(Column(*grid, 1), Padded({"다람쥐", "나비", "가방"}, 10));
        QVERIFY(!grid->GetSortAscending());
        ClickCell(*grid, 0, 2);
        QCOMPARE(grid->GetSortColumn(), 2);
        QCOMPARE(Column(*grid, 2), Padded({"2012-01-05", "2012-02-10", "2012-03-01"}, 10));
    }

    void fillerRowsStayLast_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("filled");
        QTest::newRow("three records, seven fillers") << 11 << 3;
        QTest::newRow("a full page") << 11 << 10;
        QTest::newRow("no records") << 11 << 0;
        QTest::newRow("one record") << 11 << 1;
        QTest::newRow("long list") << 15 << 14;
    }
    void fillerRowsStayLast() {
        QFETCH(int, rows);
        QFETCH(int, filled);
        QStringList titles;
        for (int i = 0; i < filled; ++i) titles << QString(QChar(u'하' - i * 300));
        QStringList sorted = titles;
        std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return QString::localeAwareCompare(a, b) < 0;
        });
        for (const bool ascending : {true, false}) {
            auto grid = ContentList(titles, {}, rows);
            grid->SortItems(1, ascending);
            QStringList expected = sorted;
            if (!ascending) std::reverse(expected.begin(), expected.end());
            QCOMPARE(Column(*grid, 1), Padded(expected, rows - 1));
        }
    }

    // A tick belongs to its row's content: after a sort the ticked row is the one showing the
    // ticked title, under its own key.
    void aTickTravelsWithItsRow() {
        auto grid = ContentList({"다", "가", "나"}, {});
        QSignalSpy spy(grid.get(), &CGridCtrl::buttonClicked);
        ClickCell(*grid, 1, 0);  // "다"
        QVERIFY(grid->GetCheck(1, 0));
        ClickCell(*grid, 0, 1);
        QCOMPARE(Column(*grid, 1).first(3), (QStringList{"가", "나", "다"}));
        QVERIFY(!grid->GetCheck(1, 0) && !grid->GetCheck(2, 0) && grid->GetCheck(3, 0));
        QCOMPARE(grid->GetRowKey(3), QStringLiteral("1000"));
        QCoreApplication::processEvents();
        QCOMPARE(Notices(spy), (QList<Notice>{{1, 0, 0}}));
    }

    // Headings other than title and date do not sort; the select-all box flips and tells the
    // page as any box does.
    void otherHeadingsAndTheSelectAllBox() {
        auto grid = ContentList({"다", "가"}, {});
        QSignalSpy spy(grid.get(), &CGridCtrl::buttonClicked);
        ClickCell(*grid, 0, 3);
        QCOMPARE(Column(*grid, 1).first(), QStringLiteral("다"));
        QCOMPARE(grid->GetSortColumn(), -1);
        grid->SetHeaderSort(false);
        ClickCell(*grid, 0, 1);
        QCOMPARE(Column(*grid, 1).first(), QStringLiteral("다"));
        ClickCell(*grid, 0, 0);
        QVERIFY(grid->GetCheck(0, 0));
        ClickCell(*grid, 0, 0);
        QVERIFY(!grid->GetCheck(0, 0));
        QCOMPARE(grid->GetSortColumn(), -1);
        QCoreApplication::processEvents();
        QCOMPARE(Notices(spy), (QList<Notice>{{0, 0, 0}, {0, 0, 0}}));
    }

    // Only a click on an enabled box flips it.
    void checkCellsFlipOnTheirBox() {
        auto grid = ContentList({"가", "나"}, {});
        const QRect cell = grid->CellRect(1, 0);
        ClickAt(*grid, 1, cell.topLeft() + QPoint(1, 1));  // beside the box
        QVERIFY(!grid->GetCheck(1, 0));
        ClickCell(*grid, 1, 0);
        QVERIFY(grid->GetCheck(1, 0));
        QVERIFY(grid->SetCheckEnabled(2, 0, false));
        ClickCell(*grid, 2, 0);
        QVERIFY(!grid->GetCheck(2, 0));
        QVERIFY(!grid->SetCheck(1, 1, true));  // a text cell has no box
        QVERIFY(!grid->IsCheckEnabled(1, 1));
    }

    void multiButtonPositions_data() {
        QTest::addColumn<QList<bool>>("present");
        QTest::addColumn<QList<int>>("lefts");  // from the cell's left; -1 not shown
        QTest::newRow("all four") << QList<bool>{true, true, true, true}
                                  << QList<int>{10, 79, 33, 56};
        QTest::newRow("first and second")
            << QList<bool>{true, true, false, false} << QList<int>{10, 33, -1, -1};
        QTest::newRow("third without fourth is left out")
            << QList<bool>{true, true, true, false} << QList<int>{10, 33, -1, -1};
        QTest::newRow("first alone is centred")
            << QList<bool>{true, false, false, false} << QList<int>{44, -1, -1, -1};
        QTest::newRow("second alone")
            << QList<bool>{false, true, false, false} << QList<int>{-1, 33, -1, -1};
        QTest::newRow("fourth without third")
            << QList<bool>{true, true, false, true} << QList<int>{10, 79, -1, 56};
    }
    void multiButtonPositions() {
        QFETCH(QList<bool>, present);
        QFETCH(QList<int>, lefts);
        auto grid = ContentList({"가"}, {});
        grid->SetColumnWidth(3, 110);
        CGridCtrl::Buttons buttons;
        for (int i = 0; i < 4; ++i) {
            if (present[i]) buttons[static_cast<std::size_t>(i)] = Button22();
        }
        QVERIFY(grid->SetButtons(1, 3, buttons));
        const QRect rect = grid->CellRect(1, 3);
        QSignalSpy spy(grid.get(), &CGridCtrl::buttonClicked);
        QList<Notice> expected;
        for (int i = 0; i < 4; ++i) {
            const QRect button = grid->ButtonRect(1, 3, i);
            QCOMPARE(button.isEmpty(), lefts[i] < 0);
            if (lefts[i] < 0) continue;
            QCOMPARE(button.left() - rect.left(), lefts[i]);
            QCOMPARE(button.top() - rect.top(), (30 - 22) / 2);
            QCOMPARE(button.width(), 22);
            ClickAt(*grid, 1, button.center());
            expected.append({1, 3, i});
        }
        QCOMPARE(spy.count(), 0);  // notifications come from the event loop
        QCoreApplication::processEvents();
        QCOMPARE(Notices(spy), expected);
    }

    void buttonCellsDrawTheirButtonsWhereTheyClick() {
        QTemporaryDir dir;
        QImage red(22, 22, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(dir.filePath("red.png")));
        auto redButton = [&] {
            auto button = Button22();
            button->LoadFromFiles(dir.filePath("red.png"), QString(), QString());
            return button;
        };
        auto grid = ContentList({"가", "나"}, {});
        grid->SetColumnWidth(3, 110);
        grid->SetCentredButton(1, 3, redButton());
        grid->SetButtons(2, 3, {redButton(), redButton()});
        const QImage drawn = grid->viewport()->grab().toImage();
        const QRect one = grid->CellRect(1, 3), two = grid->CellRect(2, 3);
        auto colourAt = [&](QPoint p) { return drawn.pixelColor(p); };
        QCOMPARE(colourAt(one.center()), QColor(Qt::red));                         // centred
        QCOMPARE(colourAt(two.topLeft() + QPoint(10 + 11, 15)), QColor(Qt::red));  // +10
        QCOMPARE(colourAt(two.topLeft() + QPoint(33 + 11, 15)), QColor(Qt::red));  // +33
        QVERIFY(colourAt(two.topLeft() + QPoint(5, 15)) != QColor(Qt::red));
        QVERIFY(colourAt(two.topLeft() + QPoint(70, 15)) != QColor(Qt::red));
        // The places drawn are the places clicked.
        QCOMPARE(grid->ButtonRect(2, 3, 1).left(), two.left() + 33);
    }

    // A picture button says what it shows, as its tooltip and to a screen reader.
    void aButtonsTooltipIsItsName() {
        auto grid = ContentList({"가", "나"}, {});
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        auto play = Button22();
        play->SetAccessibleName(QStringLiteral("미리 듣기"));
        grid->SetButtons(1, 3, {Button22(), play});
        const QPoint at = grid->ButtonRect(1, 3, 1).center();
        QHelpEvent help(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("미리 듣기"));
        // The view knows the rows under the heading: grid row 1 is its first.
        const QModelIndex cell = grid->model()->index(0, 3);
        QCOMPARE(cell.data(Qt::AccessibleTextRole).toString(), QStringLiteral("미리 듣기"));
    }

    void clicksBesideButtonsNotifyNothing() {
        auto grid = ContentList({"가", "나"}, {});
        grid->SetButtons(2, 3, {Button22()});
        grid->SetCentredButton(1, 3, Button22());
        QSignalSpy spy(grid.get(), &CGridCtrl::buttonClicked);
        for (int row : {1, 2}) {
            const QRect rect = grid->CellRect(row, 3);
            ClickAt(*grid, row, rect.topLeft() + QPoint(1, 1));
            ClickAt(*grid, row, rect.bottomRight() - QPoint(1, 1));
        }
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 0);
        ClickCell(*grid, 1, 3);
        ClickCell(*grid, 2, 3);
        QCoreApplication::processEvents();
        QCOMPARE(Notices(spy), (QList<Notice>{{1, 3, 0}, {2, 3, 0}}));
    }

    // The child name page's second row: one cell over the whole row, its buttons at their
    // places, each sending its command.
    void aSpannedRowCoversItsColumnsAndSendsCommands() {
        auto grid = ContentList({"가", "나"}, {});
        grid->SetColumnWidth(3, 300);
        QVERIFY(grid->SpanRow(2));
        QCOMPARE(grid->CellRect(2, 0), QRect(0, 30, 590, 30));
        QVERIFY(grid->SetChildInfo(2, 0, 2, QStringLiteral("적용되었습니다")));
        QSignalSpy spy(grid.get(), &CGridCtrl::buttonClicked);
        ClickAt(*grid, 2, grid->ButtonRect(2, 0, 0).center());
        ClickAt(*grid, 2, grid->ButtonRect(2, 0, 1).center());
        QCoreApplication::processEvents();
        QCOMPARE(Notices(spy), (QList<Notice>{{2, 0, CChildInfoCell::kRelease},
                                              {2, 0, CChildInfoCell::kListen}}));
        QVERIFY(grid->SetChildInfo(2, 0, 3, QStringLiteral("요청되었습니다")));
        QVERIFY(grid->ButtonRect(2, 0, 0).isEmpty());  // nothing to press while requested
    }

    void lastColumnTakesTheRest() {
        auto grid = ContentList({"가"}, {});
        grid->show();
        grid->SetColumnWidth(3, 10);
        grid->ExpandLastColumn();
        QCOMPARE(grid->GetColumnWidth(3), grid->viewport()->width() - 30 - 180 - 80);
        grid->SetColumnWidth(3, 500);
        grid->ExpandLastColumn();  // never narrows
        QCOMPARE(grid->GetColumnWidth(3), 500);
    }

    void editingInPlace() {
        auto grid = ContentList({"가", "나"}, {});
        grid->show();
        grid->SetItemEditable(1, 1, true);
        QSignalSpy edited(grid.get(), &CGridCtrl::cellEdited);
        QVERIFY(!grid->EditCell(0, 1));  // heading
        QVERIFY(!grid->EditCell(2, 1));  // not editable
        grid->SetEditable(false);
        QVERIFY(!grid->EditCell(1, 1));
        grid->SetEditable(true);

        QVERIFY(grid->EditCell(1, 1));
        QVERIFY(grid->Editor() != nullptr);
        grid->Editor()->setText(QStringLiteral("우리 아이 노래"));
        QTest::keyClick(grid->Editor(), Qt::Key_Return);
        QCoreApplication::processEvents();  // the editor hands its text over from the event loop
        QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("우리 아이 노래"));
        QVERIFY(grid->Editor() == nullptr);
        QCoreApplication::processEvents();  // and the page learns of it from there too
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.first().at(0).toInt(), 1);

        QVERIFY(grid->EditCell(1, 1));
        grid->Editor()->setText("버려질 글");
        QTest::keyClick(grid->Editor(), Qt::Key_Escape);
        QCoreApplication::processEvents();
        QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("우리 아이 노래"));
        QCoreApplication::processEvents();
        QCOMPARE(edited.count(), 1);
    }

    // The heading stays while the rows scroll.
    void rowsScrollUnderTheHeading() {
        QStringList titles;
        for (int i = 0; i < 30; ++i) titles << QString::number(i);
        auto grid = ContentList(titles, {}, 31);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
        QVERIFY(grid->verticalScrollBar()->value() > 0);
        QVERIFY(grid->horizontalHeader()->isVisible());
        QCOMPARE(grid->CellRect(0, 1).top(), 0);
        QVERIFY(grid->CellRect(1, 1).bottom() < 0);
        QVERIFY(grid->viewport()->rect().contains(grid->CellRect(30, 1)));
        grid->ScrollToTop();
        QCOMPARE(grid->CellRect(1, 1).top(), 0);
    }

    void deleteAllItemsEmptiesTheGrid() {
        auto grid = ContentList({"a", "b", "c"}, {});
        QVERIFY(!grid->SortItems(7, true));  // no such column
        grid->DeleteAllItems();
        QCOMPARE(grid->GetRowCount(), 0);
        QCOMPARE(grid->GetColumnCount(), 0);
        QCOMPARE(grid->GetFixedRowCount(), 0);
        QVERIFY(!grid->IsValid(0, 0));
        QVERIFY(grid->CellRect(0, 0).isEmpty());
    }
};

QTEST_MAIN(GridTest)
#include "grid_test.moc"
