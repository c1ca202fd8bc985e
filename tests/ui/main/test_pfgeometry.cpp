// Pixel geometry of the P&F tab and the cursor window, and the texts of the cursor window.

#include "guiapp.h"
#include "celltext.h"
#include "cursorwnd.h"
#include "pfgeometry.h"
#include "uChartFin.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QImage>
#include <QPixmap>

using namespace korvala;
using namespace korvala::pfview;

TEST(MainWindowPlacement, MiddleThreeQuartersOfTheScreen)
{
    EXPECT_EQ(MainWindowRect(1024, 768), QRect(128, 96, 768, 576));
    // Integer division: 1366 / 8 = 170, 1366 - 340 = 1026.
    EXPECT_EQ(MainWindowRect(1366, 768), QRect(170, 96, 1026, 576));
}

TEST(Magnitude, TextIntoCellSize)
{
    EXPECT_FALSE(MagnitudeFromText("").has_value());
    EXPECT_EQ(MagnitudeFromText("5"), 5);
    EXPECT_EQ(MagnitudeFromText("abc"), 1);
    EXPECT_EQ(MagnitudeFromText("0"), 1);
    EXPECT_EQ(MagnitudeFromText("-4"), 1);
    EXPECT_EQ(MagnitudeFromText("40"), 12);
    EXPECT_EQ(MagnitudeFromText("99999999999"), 1); // not a 32-bit whole number
}

TEST(GridGeometry, CellsUnderThePointerAndBeyond)
{
    GridMetrics m;
    m.colCount = 10;
    m.rowCount = 100;
    m.leftCol = 2;
    m.topRow = 50;
    m.cellW = m.cellH = 3;
    m.viewW = 20; // 6 full columns and a part
    m.viewH = 30;
    EXPECT_EQ(ColAtX(m, 0), 2);
    EXPECT_EQ(ColAtX(m, 5), 3);
    EXPECT_EQ(ColAtX(m, -1), -1);
    EXPECT_EQ(ColAtX(m, 24), -1); // column 10 does not exist
    EXPECT_EQ(RowAtY(m, 29), 59);
    EXPECT_EQ(FullyVisibleCols(m), 6);
    EXPECT_EQ(PartlyVisibleCols(m), 7);
    EXPECT_EQ(FullyVisibleRows(m), 10);
    EXPECT_EQ(MaxLeftCol(m), 4);
    EXPECT_EQ(MaxTopRow(m), 90);
    // The partly visible column 8 becomes fully visible: the view starts one further.
    EXPECT_EQ(LeftColToShow(m, 8), 3);
    EXPECT_EQ(LeftColToShow(m, 7), 2);
    EXPECT_EQ(LeftColToShow(m, 0), 0);
    EXPECT_EQ(TopRowToShow(m, 99), 90);
}

TEST(GridGeometry, HundredMillionRowsStayInRange)
{
    GridMetrics m;
    m.colCount = 3;
    m.rowCount = 100'000'000;
    m.topRow = 99'999'000;
    m.cellW = m.cellH = 12;
    m.viewW = 1920;
    m.viewH = 1080;
    EXPECT_EQ(MaxTopRow(m), 100'000'000 - 90);
    EXPECT_EQ(RowAtY(m, 1079), 99'999'089);
    const BandEdges far = ColumnBandEdges(5, 99'999'999, 0, 12);
    EXPECT_EQ(far.top, 60);
    EXPECT_GT(far.bottom, 100'000); // kept far below any strip, no overflow
}

TEST(VolumeBars, FortyPixelsForTheLargestVolume)
{
    EXPECT_EQ(VolumeBarHeight(80, 80), 40);
    EXPECT_EQ(VolumeBarHeight(80, 20), 10);
    EXPECT_EQ(VolumeBarHeight(80, 79), 39); // 39.5 truncated
    EXPECT_EQ(VolumeBarHeight(0, 79), 0);
}

TEST(VolumeBars, RectangleLeavesTheLastFiveRowsAndOneColumn)
{
    // Strip 54 high: the bar ends above row 49; magnitude 12 gives bars 11 wide.
    const QRect bar = VolumeBarRect(79, 12, 2, 54, 40);
    EXPECT_EQ(bar.left(), 79 + 24);
    EXPECT_EQ(bar.width(), 11);
    EXPECT_EQ(bar.top(), 9);
    EXPECT_EQ(bar.bottom(), 48);
    EXPECT_EQ(VolumeBarRect(79, 1, 0, 54, 40).width(), 0); // magnitude 1: no bar
}

TEST(ColumnBand, EdgesOfTheHighestAndLowestBox)
{
    const BandEdges band = ColumnBandEdges(2, 6, 0, 3);
    EXPECT_EQ(band.top, 6);
    EXPECT_EQ(band.bottom, 21);
    const BandEdges scrolled = ColumnBandEdges(2, 6, 4, 5);
    EXPECT_EQ(scrolled.top, -10);
    EXPECT_EQ(scrolled.bottom, 15);
}

TEST(LeftRuler, OnlyGrows)
{
    EXPECT_EQ(GrownRulerWidth(75, 91), 93);
    EXPECT_EQ(GrownRulerWidth(75, 75), 75);
    EXPECT_EQ(GrownRulerWidth(120, 91), 120);
}

TEST(CursorWindowText, LinesEndAtCrLfOrEither)
{
    EXPECT_EQ(LineCount(u""), 0);
    EXPECT_EQ(LineCount(u"a"), 1);
    EXPECT_EQ(LineCount(u"a\r\nb\r\n"), 2);
    EXPECT_EQ(LineCount(u"a\rb\nc"), 3);
    EXPECT_EQ(LineCount(u"a\n\nb"), 3);
    EXPECT_EQ(SplitLines(u"a\r\n\r\nb"), QStringList({QStringLiteral("a"), QString(), QStringLiteral("b")}));
}

TEST(CursorWindowGeometry, WorkedExample)
{
    // Pointer 500, 300; margin 16; widest line 120; 5 lines of 13 pixels; no correction.
    const QRect r = CursorWndRect(QPoint(500, 300), 16, 120, 5, 13, 10000);
    EXPECT_EQ(r.x(), 510);
    EXPECT_EQ(r.x() + r.width(), 640);
    EXPECT_EQ(r.y(), 316);
    EXPECT_EQ(r.y() + r.height(), 390);
    EXPECT_EQ(r.size(), QSize(130, 74));
}

TEST(CursorWindowGeometry, MovedUpAboveTheGridsLimit)
{
    // Its bottom before the 4 extra pixels would be 386; the limit 380 moves it up by 6.
    const QRect r = CursorWndRect(QPoint(500, 300), 16, 120, 5, 13, 380);
    EXPECT_EQ(r.y(), 310);
    EXPECT_EQ(r.y() + r.height(), 384);
}

TEST(CursorWindowGeometry, KeptOnTheDesktopExceptItsTop)
{
    const QRect desktop(0, 0, 800, 600);
    EXPECT_EQ(ClampToDesktop(QRect(750, 580, 130, 74), desktop), QRect(670, 526, 130, 74));
    EXPECT_EQ(ClampToDesktop(QRect(-20, -30, 130, 74), desktop), QRect(0, -30, 130, 74));
    EXPECT_EQ(ClampToDesktop(QRect(10, 10, 130, 74), desktop), QRect(10, 10, 130, 74));
}

TEST(CursorHeightMargin, LowestVisibleRowBelowTheHotSpot)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y <= 20; ++y)
        image.setPixel(4, y, qRgba(0, 0, 0, 255));
    EXPECT_EQ(CursorMarginFromImage(image, 0), 20);
    EXPECT_EQ(CursorMarginFromImage(image, 8), 12);
    QImage empty(16, 16, QImage::Format_ARGB32);
    empty.fill(Qt::transparent);
    EXPECT_EQ(CursorMarginFromImage(empty, 3), -4);
}

TEST(CursorHeightMargin, StandardHeightWithoutAnImage)
{
    test::App();
    EXPECT_EQ(CursorHeightMargin(QCursor(Qt::CrossCursor)), kStandardCursorHeight);
    // A cursor of its own image: a vertical bar down to row 20, hot spot at row 5.
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QImage image = pixmap.toImage();
    for (int y = 0; y <= 20; ++y)
        image.setPixel(3, y, qRgba(0, 0, 0, 255));
    EXPECT_EQ(CursorHeightMargin(QCursor(QPixmap::fromImage(image), 3, 5)), 15);
}

TEST(CellTexts, QuoteOfTheCell)
{
    TFPoint q;
    q.DateText = "01.02.05 10:00";
    q.Open = 1.5;
    q.High = 2;
    q.Low = 1;
    q.Close = 1.75;
    EXPECT_EQ(CellText(&q),
              "Cell: 01.02.05 10:00\r\nOpen: 1,500\r\nHigh: 2,000\r\nLow: 1,000\r\nClose: 1,750");
    EXPECT_EQ(CellText(nullptr), "");
    q.Close = 12345.678;
    EXPECT_EQ(CloseText(q), "C: 12 345,678");
}

TEST(CellTexts, SummaryOfTheColumn)
{
    TFPoint r;
    r.PeriodStart = "01.02.05 10:00";
    r.PeriodEnd = "03.02.05 10:00 - DOWN";
    r.Open = 5;
    r.High = 1234.5;
    r.Low = 1;
    r.Close = 2;
    r.Volume = 1500;
    EXPECT_EQ(ColumnText(r), "Trend: 01.02.05 10:00-03.02.05 10:00 - DOWN\r\nO: 5,000\r\n"
                             "H: 1 234,500\r\nL: 1,000\r\nC: 2,000\r\nVolume: 1 500,000\r\n");
    EXPECT_EQ(LineCount(QString::fromStdString(ColumnText(r))), 6);
}
