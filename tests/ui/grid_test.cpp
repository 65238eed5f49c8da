// The list grid and the program's grid: header clicks and sorting with filler rows last, picture
// button cells and their notifications, check cells, merged headers, widths, editing, scrolling.

#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "ui/my_grid.h"

using namespace torvane;

namespace {

constexpr int kGridId = 101;

// A content list as the content page builds it: a header row, rows with a record in column 1's
// item value, then filler rows without one up to ten rows.
std::unique_ptr<CMyGrid> ContentList(const QStringList& titles, const QStringList& dates,
                                     int rows = 11) {
    auto grid = std::make_unique<CMyGrid>();
    grid->Create(QRect(0, 0, 351, 331), nullptr, kGridId);
    grid->SetColumnCount(4);
    grid->SetRowCount(rows);
    grid->SetFixedRowCount(1);
    for (int row = 0; row < rows; ++row) grid->SetRowHeight(row, 30);
    grid->SetColumnWidth(0, 30);
    grid->SetColumnWidth(1, 180);
    grid->SetColumnWidth(2, 80);
    grid->SetColumnWidth(3, 50);
    grid->SetHeaderSort(true);
    grid->SetItemText(0, 1, "컨텐츠명 ▲▼");
    grid->SetItemText(0, 2, "다운로드");
    for (int i = 0; i < titles.size(); ++i) {
        grid->SetItemText(i + 1, 1, titles[i]);
        grid->SetItemText(i + 1, 2, dates.value(i));
        grid->SetItemData(i + 1, 1, GridItemData(1000 + i));
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

void ClickHeader(CGridCtrl& grid, int col) {
    grid.ClickAt(grid.CellRect(0, col).center());
}

std::unique_ptr<CImgButton> Button22() {
    return std::make_unique<CImgButton>(nullptr, 0, 0, 0, 0, 22, 22);
}

struct Notice {
    int row, column, button;
};

QList<Notice> Notices(QSignalSpy& spy) {
    QList<Notice> notices;
    for (const auto& args : spy) {
        notices.append({args[0].toInt(), args[1].toInt(), args[2].toInt()});
    }
    return notices;
}

}  // namespace

class GridTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void headerClickSortsAndKeepsFillersLast() {
        auto grid =
            ContentList({"다람쥐", "가방", "나비"}, {"2012-03-01", "2012-01-05", "2012-02-10"});
        ClickHeader(*grid, 1);
        QCOMPARE(Column(*grid, 1), Padded({"가방", "나비", "다람쥐"}, 10));
        // Whole rows move: dates and item values follow their titles.
        QCOMPARE(Column(*grid, 2), Padded({"2012-01-05", "2012-02-10", "2012-03-01"}, 10));
        QCOMPARE(grid->GetItemData(1, 1), GridItemData(1001));
        QCOMPARE(grid->GetItemData(4, 1), GridItemData(0));
        QCOMPARE(grid->GetRowKey(1), QStringLiteral("1001"));  // the key travels with its row
        QVERIFY(grid->GetRowKey(4).isEmpty());

        ClickHeader(*grid, 1);  // the same column again: descending
        QCOMPARE(Column(*grid, 1), Padded({"다람쥐", "나비", "가방"}, 10));
        QVERIFY(!grid->GetSortAscending());
        ClickHeader(*grid, 1);
        QCOMPARE(Column(*grid, 1), Padded({"가방", "나비", "다람쥐"}, 10));

        ClickHeader(*grid, 2);  // another column starts ascending
        QCOMPARE(grid->GetSortColumn(), 2);
        QCOMPARE(Column(*grid, 2), Padded({"2012-01-05", "2012-02-10", "2012-03-01"}, 10));
    }

    void sortRange_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("filled");
        QTest::addColumn<int>("lastSorted");
        QTest::newRow("three records, seven fillers") << 11 << 3 << 3;
        QTest::newRow("a full page") << 11 << 10 << 10;
        QTest::newRow("no records") << 11 << 0 << 0;
        QTest::newRow("one record") << 11 << 1 << 1;
        QTest::newRow("long list: every row") << 15 << 12 << 14;
    }
    void sortRange() {
        QFETCH(int, rows);
        QFETCH(int, filled);
        QFETCH(int, lastSorted);
        QStringList titles;
        for (int i = 0; i < filled; ++i) titles << QString(QChar(u'하' - i * 300));
        auto grid = ContentList(titles, {}, rows);
        QCOMPARE(grid->LastSortableRow(), lastSorted);
        grid->SortItems(1, true);
        QStringList sorted = titles;
        std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return QString::localeAwareCompare(a, b) < 0;
        });
        if (rows >= 12) {
            // Long lists ("show all") have no fillers: empty rows sort like any other.
            QCOMPARE(Column(*grid, 1).mid(rows - 1 - filled), sorted);
        } else {
            QCOMPARE(Column(*grid, 1), Padded(sorted, rows - 1));
        }
    }

    void otherHeaderCellsDoNothing() {
        auto grid = ContentList({"다", "가"}, {});
        grid->EnableSelection(true);
        grid->SetFixedRowSelection(true);
        ClickHeader(*grid, 3);
        QCOMPARE(Column(*grid, 1).first(), QStringLiteral("다"));
        QCOMPARE(grid->GetSortColumn(), -1);
        QVERIFY(!grid->GetSelectedCellRange().IsValid());
        grid->SetHeaderSort(false);
        ClickHeader(*grid, 1);  // sorting off: the header only selects
        QCOMPARE(Column(*grid, 1).first(), QStringLiteral("다"));
        QCOMPARE(grid->GetSelectedCellRange(), (CCellRange{0, 1, 0, 1}));
    }

    void headerCheckBoxTogglesSelectAll() {
        auto grid = ContentList({"가"}, {});
        QVERIFY(grid->SetCellType<CGridCellCheck>(0, 0));
        ClickHeader(*grid, 0);
        QVERIFY(grid->GetCheck(0, 0));
        QCOMPARE(grid->GetSortColumn(), -1);
        ClickHeader(*grid, 0);
        QVERIFY(!grid->GetCheck(0, 0));
    }

    void checkCellTogglesOnlyOnItsBox() {
        auto grid = ContentList({"가"}, {});
        QVERIFY(grid->SetCellType<CGridCellCheck>(1, 0));
        const QRect cell = grid->CellRect(1, 0);
        grid->ClickAt(cell.center());
        QVERIFY(grid->GetCheck(1, 0));
        grid->ClickAt(cell.topLeft() + QPoint(1, 1));  // beside the box
        QVERIFY(grid->GetCheck(1, 0));
        QVERIFY(!grid->SetCheck(1, 1, true));  // a plain cell has no box
    }

    void setCellTypeKeepsTheCellsContent() {
        auto grid = ContentList({"가"}, {});
        grid->SetItemState(1, 1, GVIS_READONLY);
        grid->SetItemFormat(1, 1, Qt::AlignCenter);
        QVERIFY(grid->SetCellType<CImgCellBtn>(1, 1));
        QVERIFY(grid->GetCellAs<CImgCellBtn>(1, 1) != nullptr);
        QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("가"));
        QCOMPARE(grid->GetItemData(1, 1), GridItemData(1000));
        QCOMPARE(grid->GetItemState(1, 1), unsigned(GVIS_READONLY));
        QCOMPARE(grid->GetItemFormat(1, 1), int(Qt::AlignCenter));
        QCOMPARE(grid->GetCell(1, 1)->Grid(), grid.get());
        QVERIFY(!grid->SetCellType<CGridCell>(20, 1));
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
        QVERIFY(grid->SetCellType<CDoubleImgCellBtn>(1, 3));
        auto* cell = grid->GetCellAs<CDoubleImgCellBtn>(1, 3);
        for (int i = 0; i < 4; ++i) {
            if (present[i]) cell->SetButton(i, Button22());
        }
        const QRect rect = grid->CellRect(1, 3);
        cell->PlaceButtons(rect);
        QSignalSpy spy(grid.get(), &CGridCtrl::buttonClicked);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(cell->IsShown(i), lefts[i] >= 0);
            if (lefts[i] < 0) continue;
            const CImgButton& button = *cell->Button(i);
            QCOMPARE(button.Left() - rect.left(), lefts[i]);
            QCOMPARE(button.Top() - rect.top(), (30 - 22) / 2);
            QCOMPARE(button.Width(), 22);
            grid->ClickAt(button.Rect().center());
        }
        QCOMPARE(spy.count(), 0);  // notifications come from the event loop
        QCoreApplication::processEvents();
        QList<int> buttons;
        for (const Notice& n : Notices(spy)) {
            QCOMPARE(n.row, 1);
            QCOMPARE(n.column, 3);
            buttons << n.button;
        }
        QList<int> expected;
        for (int i = 0; i < 4; ++i) {
            if (lefts[i] >= 0) expected << i;
        }
        QCOMPARE(buttons, expected);
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
        grid->SetCellType<CImgCellBtn>(1, 3);
        grid->GetCellAs<CImgCellBtn>(1, 3)->SetButton(redButton());
        grid->SetCellType<CDoubleImgCellBtn>(2, 3);
        auto* cell = grid->GetCellAs<CDoubleImgCellBtn>(2, 3);
        cell->SetButton(0, redButton());
        cell->SetButton(1, redButton());
        const QImage drawn = grid->viewport()->grab().toImage();
        const QRect one = grid->CellRect(1, 3), two = grid->CellRect(2, 3);
        auto colourAt = [&](QPoint p) { return drawn.pixelColor(p); };
        QCOMPARE(colourAt(one.center()), QColor(Qt::red));                         // centred
        QCOMPARE(colourAt(two.topLeft() + QPoint(10 + 11, 15)), QColor(Qt::red));  // +10
        QCOMPARE(colourAt(two.topLeft() + QPoint(33 + 11, 15)), QColor(Qt::red));  // +33
        QVERIFY(colourAt(two.topLeft() + QPoint(5, 15)) != QColor(Qt::red));
        QVERIFY(colourAt(two.topLeft() + QPoint(70, 15)) != QColor(Qt::red));
        // The places drawn are the places clicked.
        QCOMPARE(cell->Button(1)->Left(), two.left() + 33);
    }

    void clicksBesideButtonsNotifyNothing() {
        auto grid = ContentList({"가", "나"}, {});
        grid->SetCellType<CDoubleImgCellBtn>(2, 3);
        grid->GetCellAs<CDoubleImgCellBtn>(2, 3)->SetButton(0, Button22());
        grid->SetCellType<CImgCellBtn>(1, 3);
        grid->GetCellAs<CImgCellBtn>(1, 3)->SetButton(Button22());
        QSignalSpy spy(grid.get(), &CGridCtrl::buttonClicked);
        for (int row : {1, 2}) {
            const QRect rect = grid->CellRect(row, 3);
            grid->ClickAt(rect.topLeft() + QPoint(1, 1));
            grid->ClickAt(rect.bottomRight() - QPoint(1, 1));
        }
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 0);

        grid->ClickAt(grid->CellRect(1, 3).center());
        grid->ClickAt(grid->CellRect(2, 3).center());
        QCoreApplication::processEvents();
        const QList<Notice> notices = Notices(spy);
        QCOMPARE(notices.size(), 2);
        QCOMPARE(notices[0].row, 1);
        QCOMPARE(notices[0].column, 3);
        QCOMPARE(notices[0].button, 0);
        QCOMPARE(notices[1].row, 2);
        QCOMPARE(notices[1].column, 3);
        QCOMPARE(notices[1].button, 0);
    }

    void mergedHeaderSpansItsColumns() {
        auto grid = ContentList({"다", "가"}, {});
        QVERIFY(grid->MergeCells(CCellRange{0, 1, 0, 2}));
        QVERIFY(!grid->MergeCells(CCellRange{0, 2, 0, 3}));  // overlaps
        QCOMPARE(grid->CellRect(0, 1), QRect(30, 0, 260, 30));
        QCOMPARE(grid->CellRect(0, 2), QRect(30, 0, 260, 30));
        const CCellID hit = grid->CellAt(QPoint(250, 10));
        QCOMPARE(hit, (CCellID{0, 1}));
        grid->ClickAt(QPoint(250, 10));  // the column 2 part sorts by the merged cell's column
        QCOMPARE(grid->GetSortColumn(), 1);

        // A merge that no longer fits the shape goes with the columns it covered.
        grid->EnableSelection(true);
        grid->SetSelectedRange(1, 0, 1, 3);
        grid->SetColumnCount(2);
        QCOMPARE(grid->CellRect(0, 1), QRect(30, 0, 180, 30));
        QVERIFY(!grid->GetSelectedCellRange().IsValid());
        grid->SetColumnCount(4);
        QCOMPARE(grid->CellRect(0, 2), QRect(210, 0, CGridCtrl::kDefaultColumnWidth, 30));
    }

    void lastColumnTakesTheRemainingWidth() {
        auto grid = ContentList({"가"}, {});
        grid->show();
        grid->SetColumnWidth(3, 10);
        grid->ExpandLastColumn();
        QCOMPARE(grid->GetColumnWidth(3), grid->viewport()->width() - 30 - 180 - 80);
        grid->SetColumnWidth(3, 500);
        grid->ExpandLastColumn();  // never narrows
        QCOMPARE(grid->GetColumnWidth(3), 500);
    }

    void editingChangesEditableCellsOnly() {
        auto grid = ContentList({"가", "나"}, {});
        grid->show();
        grid->SetItemState(2, 1, GVIS_READONLY);
        QSignalSpy edited(grid.get(), &CGridCtrl::cellEdited);
        QVERIFY(!grid->EditCell(0, 1));  // header
        QVERIFY(!grid->EditCell(2, 1));  // read-only
        grid->SetEditable(false);
        QVERIFY(!grid->EditCell(1, 1));
        grid->SetEditable(true);

        QVERIFY(grid->EditCell(1, 1));
        QVERIFY(grid->Editor() != nullptr);
        grid->Editor()->setText(QStringLiteral("우리 아이 노래"));
        QTest::keyClick(grid->Editor(), Qt::Key_Return);
        QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("우리 아이 노래"));
        QCOMPARE(edited.count(), 1);
        QVERIFY(grid->Editor() == nullptr);

        QVERIFY(grid->EditCell(1, 1));
        grid->Editor()->setText("버려질 글");
        QTest::keyClick(grid->Editor(), Qt::Key_Escape);
        QCOMPARE(grid->GetItemText(1, 1), QStringLiteral("우리 아이 노래"));
        QCOMPARE(edited.count(), 1);
    }

    void headerStaysWhileRowsScroll() {
        QStringList titles;
        for (int i = 0; i < 30; ++i) titles << QString::number(i);
        auto grid = ContentList(titles, {}, 31);
        grid->show();
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
        QVERIFY(grid->verticalScrollBar()->value() > 0);
        QCOMPARE(grid->CellAt(QPoint(40, 10)).row, 0);
        QVERIFY(grid->CellAt(QPoint(40, 40)).row > 1);
        QCOMPARE(grid->CellAt(QPoint(40, grid->viewport()->height() - 2)).row, 30);
        grid->ScrollToTop();
        QCOMPARE(grid->CellAt(QPoint(40, 40)).row, 1);
    }

    void customCompareAndBounds() {
        auto grid = ContentList({"a", "b", "c"}, {});
        grid->SetCompareFunction([](const CGridCellBase& a, const CGridCellBase& b, GridItemData) {
            return int(b.GetData()) - int(a.GetData());  // by record, newest first
        });
        grid->SortItems(1, true);
        QCOMPARE(Column(*grid, 1), Padded({"c", "b", "a"}, 10));
        QVERIFY(!grid->SortItems(7, true));  // no such column
        grid->DeleteAllItems();
        QCOMPARE(grid->GetRowCount(), 0);
        QCOMPARE(grid->GetColumnCount(), 0);
        QVERIFY(!grid->IsValid(0, 0));
        grid->ClickAt(QPoint(5, 5));  // nothing to click
    }
};

QTEST_MAIN(GridTest)
#include "grid_test.moc"
