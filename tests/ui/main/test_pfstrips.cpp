// The P&F grid's cells and the strips round it, read from rendered images.

#include "guiapp.h"

#include "document.h"
#include "pfgridview.h"
#include "pfstrips.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

using namespace korvala;

namespace {

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);

// Box 1, reversal 3: column 0 rises from 10 to 13 (volume 20 + 0), column 1 falls to 9
// (volume 79), column 2 rises to 13 (volume 80). MaxClose 13, MinClose 9: 6 rows.
const char kQuotes[] = "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n"
                       "01.02.05;10:00;10;10,5;9,5;10;20\r\n"
                       "02.02.05;10:00;10;13,5;10;13;0\r\n"
                       "03.02.05;10:00;13;13;8,5;9;79\r\n"
                       "04.02.05;10:00;9;13,2;9;13;80\r\n";

class StripsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::App();
        doc.OpenBytes("quotes.txt", kQuotes);
        doc.eBox = "1";
        doc.eReverse = "3";
        ASSERT_TRUE(doc.Refresh());
        ASSERT_EQ(doc.sg.ColCount, 3);
        ASSERT_EQ(doc.sg.RowCount, 6);
        font.setFamily(QStringLiteral("Courier New"));
        font.setPixelSize(11);
        grid.setFont(font);
        grid.SetGrid(&doc.sg);
        grid.resize(300, 200);
        grid.show();
        grid.ResetView(3);
    }

    QImage Paint(QSize size, const std::function<void(QPainter &)> &paint)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        paint(painter);
        return image;
    }

    QApplication &app = test::App();
    PFDocument doc;
    PFViewState state;
    TPFGridView grid;
    QFont font;
    TPFStrips strips{state, doc, grid};
};

QColor At(const QImage &image, int x, int y) { return image.pixelColor(x, y); }

// A text pixel: dark and grey (glyphs are drawn smoothed).
bool IsInk(const QColor &c) { return c.red() < 120 && c.green() < 120 && c.blue() < 120; }

int CountInk(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += IsInk(image.pixelColor(x, y));
    return n;
}

int CountColor(const QImage &image, const QColor &color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == color;
    return n;
}

} // namespace

TEST_F(StripsTest, GridCellColoursAndTheCurrentCell)
{
    for (int magnitude : {1, 3, 12}) {
        grid.ResetView(magnitude);
        const QImage image = grid.viewport()->grab().toImage();
        const int s = magnitude;
        for (int c = 0; c < 3; ++c) {
            for (int r = 0; r < 6; ++r) {
                const char mark = doc.sg.Mark(c, r);
                QColor expected = mark == 'x' ? QColor(160, 255, 160)
                                  : mark == '0' ? QColor(255, 160, 160)
                                                : kWhite;
                if (c == 0 && r == 0)
                    expected = grid.CurrentCellColor(); // empty current cell: selection look
                EXPECT_EQ(At(image, c * s + s / 2, r * s + s / 2), expected)
                    << "magnitude " << magnitude << " cell " << c << "," << r;
            }
        }
        // Beyond the cells: the grid's background. Row 6, where the O column's last box
        // lies, is not shown.
        EXPECT_EQ(At(image, 3 * s + 1, 0), QColor(249, 249, 249));
        EXPECT_EQ(At(image, s + s / 2, 6 * s + s / 2), QColor(249, 249, 249));
    }
    // Column 1 has its boxes on rows 2 to 6; its first row is empty.
    EXPECT_EQ(doc.sg.Mark(1, 2), '0');
    EXPECT_EQ(doc.sg.Mark(1, 1), '\0');
}

TEST_F(StripsTest, CurrentCellOnABoxKeepsTheBoxColour)
{
    grid.ResetView(12);
    grid.SetCol(1);
    grid.SetRow(3);
    const QImage image = grid.viewport()->grab().toImage();
    EXPECT_EQ(At(image, 12 + 6, 36 + 6), QColor(255, 160, 160));
    EXPECT_EQ(At(image, 6, 6), kWhite); // the earlier current cell is white again
}

TEST_F(StripsTest, PerCellRuleIsExact)
{
    // Cells drawn one at a time with sgDrawCell give the same picture as DrawCells.
    grid.ResetView(5);
    grid.SetCol(2);
    grid.SetRow(1);
    const QSize size(3 * 5, 6 * 5);
    const QImage bulk = Paint(size, [&](QPainter &p) { grid.DrawCells(p, QRect(QPoint(0, 0), size)); });
    const QImage cells = Paint(size, [&](QPainter &p) {
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < 6; ++r)
                grid.sgDrawCell(p, c, r, grid.CellRect(c, r));
    });
    EXPECT_EQ(bulk, cells);
}

TEST_F(StripsTest, VolumeBarsScaleToFortyPixels)
{
    ASSERT_EQ(doc.FColumns.MaxVolume, 80);
    const int pbcWidth = 75;
    const QImage image = Paint(QSize(400, 54), [&](QPainter &p) {
        strips.DrawVolumeBars(p, QSize(400, 54), pbcWidth);
    });
    const int g = TPFStrips::GridLeft(pbcWidth);
    auto barHeight = [&](int x) {
        int h = 0;
        for (int y = 0; y < 54; ++y)
            h += At(image, x, y) == kRed;
        return h;
    };
    EXPECT_EQ(barHeight(g), 10);      // 20 of 80
    EXPECT_EQ(barHeight(g + 3), 39);  // 79 of 80: 39.5 truncated
    EXPECT_EQ(barHeight(g + 6), 40);  // the largest volume
    EXPECT_EQ(barHeight(g + 2), 0);   // one pixel column between bars
    EXPECT_EQ(At(image, g + 6, 48), kRed);
    EXPECT_EQ(At(image, g + 6, 49), kWhite); // the last five rows stay free
    EXPECT_EQ(At(image, g + 6, 9), kRed);
    EXPECT_EQ(At(image, g + 6, 8), kWhite);
    // The "Volume" label ends 3 pixels left of the ruler's edge.
    const int labelWidth = QFontMetrics(font).horizontalAdvance(QStringLiteral("Volume"));
    bool inked = false;
    for (int x = pbcWidth - labelWidth - 3; x < pbcWidth - 3; ++x)
        for (int y = 34; y < 34 + QFontMetrics(font).height(); ++y)
            inked = inked || IsInk(At(image, x, y));
    EXPECT_TRUE(inked);
}

TEST_F(StripsTest, MagnitudeOneDrawsNoBarButTheLabel)
{
    grid.ResetView(1);
    const QImage image = Paint(QSize(400, 54), [&](QPainter &p) {
        strips.DrawVolumeBars(p, QSize(400, 54), 75);
    });
    EXPECT_EQ(CountColor(image, kRed), 0);
    EXPECT_GT(CountInk(image), 0);
}

TEST_F(StripsTest, ColumnBandOfAFallingColumnWithItsLabels)
{
    state.FColumnRec = doc.FColumns.Share(1);
    grid.SetCol(1);
    grid.SetRow(1);
    ASSERT_EQ(doc.FColTopRow[1], 2);
    ASSERT_EQ(doc.FColBottomRow[1], 6);
    const QImage image = Paint(QSize(75, 60), [&](QPainter &p) { strips.DrawColumnBand(p, 75); });
    // Rows 2 to 6 at 3 pixels: from y 6 to y 21, lines on both edges.
    EXPECT_EQ(At(image, 70, 6), kRed);
    EXPECT_EQ(At(image, 70, 21), kRed);
    EXPECT_EQ(At(image, 70, 12), QColor(255, 230, 230));
    EXPECT_EQ(At(image, 70, 5), kWhite);
    EXPECT_EQ(At(image, 70, 22), kWhite);
    // The low is written at the band's lower edge - 2 on a white box.
    const QFontMetrics fm(font);
    const QString low = QStringLiteral("8,500");
    int ink = 0;
    for (int x = 0; x < fm.horizontalAdvance(low); ++x)
        for (int y = 19; y < 19 + fm.height(); ++y)
            ink += IsInk(At(image, x, y));
    EXPECT_GT(ink, 10);
    EXPECT_EQ(CountColor(image.copy(0, 19, fm.horizontalAdvance(low), fm.height() - 3), QColor(255, 230, 230)), 0);
    // The high is written from 8 pixels above the band: its white box covers the band's
    // first rows at the left edge while the band shows further right.
    EXPECT_NE(At(image, 0, 7), QColor(255, 230, 230));
    EXPECT_EQ(At(image, 70, 7), QColor(255, 230, 230));
}

TEST_F(StripsTest, RisingColumnBandIsGreenAndNoRecordDrawsNothing)
{
    const QImage none = Paint(QSize(75, 60), [&](QPainter &p) { strips.DrawColumnBand(p, 75); });
    EXPECT_EQ(CountColor(none, kWhite), 75 * 60);
    state.FColumnRec = doc.FColumns.Share(2);
    grid.SetCol(2);
    const QImage image = Paint(QSize(75, 60), [&](QPainter &p) { strips.DrawColumnBand(p, 75); });
    EXPECT_GT(CountColor(image, QColor(230, 255, 230)), 0);
    EXPECT_GT(CountColor(image, QColor(0, 128, 0)), 0);
    EXPECT_EQ(CountColor(image, QColor(255, 230, 230)), 0);
}

TEST_F(StripsTest, CrossLinesFollowTheCell)
{
    state.FCellX = 9;
    state.FCellY = 12;
    state.FCellQuote = doc.QuoteList.Items(3);
    const QImage top = Paint(QSize(400, 16), [&](QPainter &p) { strips.pb1Paint(p, 75); });
    EXPECT_EQ(At(top, 75 + 9 + 5, 0), QColor(0, 0, 255));
    EXPECT_EQ(At(top, 75 + 9 + 5, 15), QColor(0, 0, 255));
    const QImage ruler = Paint(QSize(120, 60), [&](QPainter &p) { strips.pbcPaint(p, QSize(120, 60)); });
    EXPECT_EQ(At(ruler, 0, 12), QColor(0, 0, 255));
    // "C: 13,000" right-aligned one pixel from the right edge, below the line.
    int ink = 0;
    for (int x = 60; x < 119; ++x)
        for (int y = 13; y < 26; ++y)
            ink += IsInk(At(ruler, x, y));
    EXPECT_GT(ink, 10);
}

TEST_F(StripsTest, LeftRulerGrowsForAWideClose)
{
    TFPoint quote;
    quote.Close = 12345.678;
    state.FCellQuote = &quote;
    state.FCellY = 10;
    const int w = QFontMetrics(font).horizontalAdvance(QStringLiteral("C: 12 345,678"));
    int width = 0;
    Paint(QSize(40, 60), [&](QPainter &p) { width = strips.pbcPaint(p, QSize(40, 60)); });
    EXPECT_EQ(width, w + 2);
    Paint(QSize(200, 60), [&](QPainter &p) { width = strips.pbcPaint(p, QSize(200, 60)); });
    EXPECT_EQ(width, 200);
}
