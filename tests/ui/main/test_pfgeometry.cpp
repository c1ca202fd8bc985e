// Pixel geometry of the P&F tab and the cursor window, and the texts of the cursor window.

#include "guiapp.h"
#include "celltext.h"
#include "cursorwindow.h"
#include "pfgeometry.h"
#include "quotes.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QImage>
#include <QPixmap>

using namespace korvala;
using namespace korvala::pfview;

TEST(PFGeometry, WindowPlacementAndMagnitude)
{
    // An eighth of the screen round it (1024 × 768 is the main window's test); 1366 / 8 = 170.
    EXPECT_EQ(MainWindowRect(1366, 768), QRect(170, 96, 1026, 576));
    EXPECT_FALSE(MagnitudeFromText("").has_value());
    for (const auto &[text, size] : std::vector<std::pair<const char *, int>>{
             {"5", 5}, {"abc", 1}, {"0", 1}, {"-4", 1}, {"40", 12}, {"99999999999", 1}})
        EXPECT_EQ(MagnitudeFromText(text), size) << text;
}

TEST(PFGeometry, CellsUnderThePointerAndScrolling)
{
    // Columns, rows, left column, top row, cell width and height, view width and height:
    // 6 full columns of 3 pixels and a part.
    GridMetrics m{10, 100, 2, 50, 3, 3, 20, 30};
    EXPECT_EQ(std::vector<int>({ColAtX(m, 0), ColAtX(m, 5), ColAtX(m, -1), ColAtX(m, 24), RowAtY(m, 29)}),
              std::vector<int>({2, 3, -1, -1, 59})); // column 10 does not exist
    EXPECT_EQ(std::vector<int>({FullyVisibleCols(m), PartlyVisibleCols(m), FullyVisibleRows(m), MaxLeftCol(m),
                                MaxTopRow(m)}),
              std::vector<int>({6, 7, 10, 4, 90}));
    // The partly visible column 8 becomes fully visible: the view starts one further.
    EXPECT_EQ(std::vector<int>(
                  {LeftColToShow(m, 8), LeftColToShow(m, 7), LeftColToShow(m, 0), TopRowToShow(m, 99)}),
              std::vector<int>({3, 2, 0, 90}));
    // Ten rows in view: row 60 in the middle starts the view at 55; near the ends the
    // view stops at the first and the last row.
    EXPECT_EQ(std::vector<int>({TopRowToCentre(m, 60), TopRowToCentre(m, 3), TopRowToCentre(m, 99)}),
              std::vector<int>({55, 0, 90}));
    // A hundred million rows stay in range.
    m = {3, 100'000'000, 0, 99'999'000, 12, 12, 1920, 1080};
    EXPECT_EQ(MaxTopRow(m), 100'000'000 - 90);
    EXPECT_EQ(RowAtY(m, 1079), 99'999'089);
    EXPECT_EQ(TopRowToCentre(m, 99'999'999), 100'000'000 - 90);
}

TEST(PFGeometry, ZoomKeepsTheCellUnderThePointerAndFitPicksTheLargestMagnitude)
{
    // Worked by hand: cell (20, 35) lies under (31, 47) at 3 pixels; at 6 pixels it must
    // start 5 whole columns and 7 whole rows from the edge.
    const GridMetrics m{100, 100, 10, 20, 3, 3, 300, 300};
    EXPECT_EQ(ZoomedTopLeft(m, QPoint(31, 47), 6), QPoint(15, 28));
    // Every size to every size, at points all over the view: the same cell stays under
    // the point wherever the scroll bars leave room for it.
    for (int from = kMinMagnitude; from <= kMaxMagnitude; ++from)
        for (int to = kMinMagnitude; to <= kMaxMagnitude; ++to)
            for (const QPoint p : {QPoint(0, 0), QPoint(17, 250), QPoint(299, 299), QPoint(150, 3)}) {
                const GridMetrics before{5000, 5000, 2000, 3000, from, from, 300, 300};
                GridMetrics after = before;
                after.cellW = after.cellH = to;
                const QPoint topLeft = ZoomedTopLeft(before, p, to);
                after.leftCol = topLeft.x();
                after.topRow = topLeft.y();
                ASSERT_EQ(ColAtX(after, p.x()), ColAtX(before, p.x())) << from << ">" << to;
                ASSERT_EQ(RowAtY(after, p.y()), RowAtY(before, p.y())) << from << ">" << to;
            }
    // At the edges the scroll bars win: zooming in at the top-left corner stays there,
    // zooming out over the last columns shows the whole chart from column 0.
    EXPECT_EQ(ZoomedTopLeft(GridMetrics{100, 100, 0, 0, 3, 3, 300, 300}, QPoint(2, 2), 12), QPoint(0, 0));
    EXPECT_EQ(ZoomedTopLeft(GridMetrics{100, 100, 90, 0, 12, 12, 120, 120}, QPoint(119, 5), 1),
              QPoint(0, 0));

    // Fit: 10 × 20 cells in 120 × 240 pixels fit at 12; one pixel less and 11 is the most;
    // a chart that fits nowhere gets 1.
    EXPECT_EQ(FitMagnitude(10, 20, 120, 240), 12);
    EXPECT_EQ(FitMagnitude(10, 20, 119, 240), 11);
    EXPECT_EQ(FitMagnitude(30, 30, 90, 300), 3);
    EXPECT_EQ(FitMagnitude(1000, 5, 300, 300), 1);
    EXPECT_EQ(FitMagnitude(1, 1, 0, 0), 1);
}

TEST(PFGeometry, AReplayStepKeepsThePricesInViewAndFollowsTheNewestColumn)
{
    // 20 columns and rows in view. Columns 10..29 of 100 are shown: the newest is not, so
    // only the rows move with the chart (4 rows added above).
    const GridMetrics middle{100, 200, 10, 50, 3, 3, 60, 60};
    EXPECT_EQ(ReplayTopLeft(middle, 100, 204, 4, 0), QPoint(10, 54));
    EXPECT_EQ(ReplayTopLeft(middle, 100, 204, -60, 0), QPoint(10, 0)); // kept in range
    // Columns 15..29 of 30 are shown, the newest among them: a 31st column comes into view
    // (the view starts at 11), and the box it reached on row 10 is brought into view too;
    // one on row 60 already is.
    const GridMetrics atTheEnd{30, 200, 15, 50, 3, 3, 60, 60};
    EXPECT_EQ(ReplayTopLeft(atTheEnd, 31, 200, 0, 10), QPoint(11, 10));
    EXPECT_EQ(ReplayTopLeft(atTheEnd, 31, 200, 0, 60), QPoint(11, 50));
    EXPECT_EQ(ReplayTopLeft(atTheEnd, 31, 200, 0, 90), QPoint(11, 71));
    // Stepping back to fewer columns than fill the view shows them all.
    EXPECT_EQ(ReplayTopLeft(atTheEnd, 12, 40, -3, 5), QPoint(0, 5));
}

TEST(PFGeometry, VolumeBarsBandsRulerAndLabels)
{
    // The bar heights are seen in the strip's pixels; no volume at all draws none.
    EXPECT_EQ(VolumeBarHeight(0, 79), 0);
    // Strip 54 high: the bar ends above row 49; magnitude 12 gives bars 11 wide (at 1 none:
    // the strip's test).
    EXPECT_EQ(VolumeBarRect(79, 12, 2, 54, 40), QRect(QPoint(79 + 24, 9), QPoint(79 + 24 + 10, 48)));
    const BandEdges scrolled = ColumnBandEdges(2, 6, 4, 5);
    EXPECT_EQ(std::make_pair(scrolled.top, scrolled.bottom), std::make_pair(-10, 15));
    const BandEdges far = ColumnBandEdges(5, 99'999'999, 0, 12);
    EXPECT_EQ(far.top, 60);
    EXPECT_GT(far.bottom, 100'000); // kept far below any strip, no overflow
    EXPECT_EQ(GrownRulerWidth(120, 91), 120); // it only grows (how much: the main window's test)
    // A label every n-th cell, n of 1, 2, 5, 10 …: 13 pixels in cells of 12, 3, 1, 20, none.
    EXPECT_EQ(std::vector<long long>({LabelStep(12, 13), LabelStep(3, 13), LabelStep(1, 13), LabelStep(1, 60),
                                      LabelStep(20, 13), LabelStep(0, 13)}),
              std::vector<long long>({2, 5, 20, 100, 1, 20}));
}

TEST(CursorWindow, TextsAndPlace)
{
    EXPECT_EQ(std::vector<int>({LineCount(u""), LineCount(u"a"), LineCount(u"a\r\nb\r\n"),
                                LineCount(u"a\rb\nc"), LineCount(u"a\n\nb")}),
              std::vector<int>({0, 1, 2, 3, 3}));
    EXPECT_EQ(SplitLines(u"a\r\n\r\nb"), QStringList({QStringLiteral("a"), QString(), QStringLiteral("b")}));
    TFPoint r;
    r.SetPeriodStart("01.02.05 10:00");
    r.SetPeriodEnd("03.02.05 10:00 - DOWN");
    r.Open = 5, r.High = 1234.5, r.Low = 1, r.Close = 2, r.Volume = 1500;
    EXPECT_EQ(ColumnText(r), "Trend: 01.02.05 10:00-03.02.05 10:00 - DOWN\r\nO: 5,000\r\n"
                             "H: 1 234,500\r\nL: 1,000\r\nC: 2,000\r\nVolume: 1 500,000\r\n");
    EXPECT_EQ(CellText(nullptr), "");
    r.Close = 12345.678;
    EXPECT_EQ(CloseText(r), "C: 12 345,678");
    // A date field of a megabyte stays a short line on screen.
    TFPoint q;
    q.DateText = "01.12.05 " + std::string(1 << 20, '9');
    r.SetPeriodStart(q.DateText);
    EXPECT_LT(CellText(&q).size(), 200u);
    EXPECT_LT(ColumnText(r).size(), 300u);

    // Pointer 500, 300; margin 16; widest line 120; 5 lines of 13 pixels; no correction:
    // x from 510 to 640, y from 316 to 390.
    EXPECT_EQ(CursorWndRect(QPoint(500, 300), 16, 120, 5, 13, 10000), QRect(510, 316, 130, 74));
    // Its bottom before the 4 extra pixels would be 386; the limit 380 moves it up by 6.
    EXPECT_EQ(CursorWndRect(QPoint(500, 300), 16, 120, 5, 13, 380), QRect(510, 310, 130, 74));
    // Kept on the desktop, except its top.
    const QRect desktop(0, 0, 800, 600);
    EXPECT_EQ(ClampToDesktop(QRect(750, 580, 130, 74), desktop), QRect(670, 526, 130, 74));
    EXPECT_EQ(ClampToDesktop(QRect(-20, -30, 130, 74), desktop), QRect(0, -30, 130, 74));
}

TEST(CursorWindow, HeightMarginIsTheLowestVisibleRowBelowTheHotSpot)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    EXPECT_EQ(CursorMarginFromImage(image, 3), -4); // nothing visible
    for (int y = 0; y <= 20; ++y)
        image.setPixel(4, y, qRgba(0, 0, 0, 255));
    EXPECT_EQ(CursorMarginFromImage(image, 0), 20);
    EXPECT_EQ(CursorMarginFromImage(image, 8), 12);
    EXPECT_EQ(CursorHeightMargin(QCursor(Qt::CrossCursor)), kStandardCursorHeight);
    EXPECT_EQ(CursorHeightMargin(QCursor(QPixmap::fromImage(image), 3, 5)), 15);
}
