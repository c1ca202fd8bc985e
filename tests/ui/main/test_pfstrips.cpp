// The P&F grid's cells and the strips round it, read from rendered images.

#include "guiapp.h"
#include "pixels.h"

#include "document.h"
#include "pfgridview.h"
#include "pfstrips.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

using namespace korvala;
using test::CountPixels;
using test::Is;
using test::IsInk;

namespace {

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);

// Box 1, reversal 3: column 0 rises from 10 to 13 (volume 20 + 0), column 1 falls to 9
// (volume 79), column 2 rises to 13 (volume 80). MaxClose 13, MinClose 9: 6 rows.
const std::string kQuotes = test::QuoteText({"01.02.05;10:00;10;10,5;9,5;10;20", "02.02.05;10:00;10;13,5;10;13;0",
                                              "03.02.05;10:00;13;13;8,5;9;79", "04.02.05;10:00;9;13,2;9;13;80"});

class StripsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        doc.OpenBytes("quotes.txt", kQuotes);
        doc.eBox = "1";
        doc.eReverse = "3";
        ASSERT_TRUE(doc.Refresh());
        ASSERT_EQ(std::make_pair(doc.sg.ColCount, doc.sg.RowCount), std::make_pair(3, 6));
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

    PFDocument doc;
    PFViewState state;
    PFGridView grid;
    QFont font;
    PFStrips strips{state, doc, grid};
};

QColor At(const QImage &image, int x, int y) { return image.pixelColor(x, y); }

} // namespace

TEST_F(StripsTest, GridCellColoursAndTheCurrentCell)
{
    for (int s : {1, 3, 12}) {
        grid.ResetView(s);
        const QImage image = grid.viewport()->grab().toImage();
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < 6; ++r) {
                const char mark = doc.sg.Mark(c, r);
                const QColor expected = c + r == 0     ? grid.CurrentCellColor() // empty current cell
                                        : mark == 'x' ? QColor(160, 255, 160)
                                        : mark == '0' ? QColor(255, 160, 160)
                                                      : kWhite;
                EXPECT_EQ(At(image, c * s + s / 2, r * s + s / 2), expected) << s << ": " << c << "," << r;
            }
        // Beyond the cells the grid's background; row 6, where the O column's last box lies,
        // is not shown.
        EXPECT_EQ(At(image, 3 * s + 1, 0), QColor(249, 249, 249));
        EXPECT_EQ(At(image, s + s / 2, 6 * s + s / 2), QColor(249, 249, 249));
    }
    // A current cell on a box keeps the box colour; the earlier one is white again.
    grid.SetCol(1);
    grid.SetRow(3);
    const QImage image = grid.viewport()->grab().toImage();
    EXPECT_EQ(At(image, 12 + 6, 36 + 6), QColor(255, 160, 160));
    EXPECT_EQ(At(image, 6, 6), kWhite);
    // Cells drawn one at a time with sgDrawCell give the picture of DrawCells.
    const QSize size(36, 72);
    EXPECT_EQ(Paint(size, [&](QPainter &p) { grid.DrawCells(p, QRect(QPoint(0, 0), size)); }),
              Paint(size, [&](QPainter &p) {
                  for (int c = 0; c < 3; ++c)
                      for (int r = 0; r < 6; ++r)
                          grid.sgDrawCell(p, c, r, grid.CellRect(c, r));
              }));
}

TEST_F(StripsTest, VolumeBarsScaleToFortyPixels)
{
    ASSERT_EQ(doc.FColumns.MaxVolume, 80);
    const auto bars = [&](QPainter &p) { strips.DrawVolumeBars(p, QSize(400, 54), 75); };
    const QImage image = Paint(QSize(400, 54), bars);
    const int g = PFStrips::GridLeft(75);
    const auto bar = [&](int x) { return CountPixels(image, Is(kRed), QRect(x, 0, 1, 54)); };
    EXPECT_EQ(bar(g), 10);     // 20 of 80
    EXPECT_EQ(bar(g + 3), 39); // 79 of 80: 39.5 truncated
    EXPECT_EQ(bar(g + 6), 40); // the largest volume
    EXPECT_EQ(bar(g + 2), 0);  // one pixel column between bars
    EXPECT_EQ(At(image, g + 6, 48), kRed);
    EXPECT_EQ(At(image, g + 6, 49), kWhite); // the last five rows stay free
    // The "Volume" label ends 3 pixels left of the ruler's edge.
    const QFontMetrics fm(font);
    const int label = fm.horizontalAdvance(QStringLiteral("Volume"));
    EXPECT_GT(CountPixels(image, IsInk, QRect(75 - label - 3, 34, label, fm.height())), 0);
    // Magnitude 1: the bars have no width; the label stays.
    grid.ResetView(1);
    const QImage one = Paint(QSize(400, 54), bars);
    EXPECT_EQ(CountPixels(one, Is(kRed)), 0);
    EXPECT_GT(CountPixels(one, IsInk), 0);
}

TEST_F(StripsTest, ColumnBandsCrossLinesAndTheirLabels)
{
    EXPECT_EQ(CountPixels(Paint(QSize(75, 60), [&](QPainter &p) { strips.DrawColumnBand(p, 75); }), Is(kWhite)),
              75 * 60); // no column record yet: nothing
    state.FColumnRec = doc.FColumns.Share(1);
    grid.SetCol(1);
    grid.SetRow(1);
    const QImage image = Paint(QSize(75, 60), [&](QPainter &p) { strips.DrawColumnBand(p, 75); });
    // Rows 2 to 6 at 3 pixels: from y 6 to y 21, light red between red edge lines.
    const QColor fill(255, 230, 230);
    EXPECT_EQ(std::vector<QColor>({At(image, 70, 5), At(image, 70, 6), At(image, 70, 12), At(image, 70, 21),
                                   At(image, 70, 22)}),
              std::vector<QColor>({kWhite, kRed, fill, kRed, kWhite}));
    // The low 8,500 is written at the band's lower edge - 2 on a white box.
    const QFontMetrics fm(font);
    const QRect low(0, 19, fm.horizontalAdvance(QStringLiteral("8,500")), fm.height() - 3);
    EXPECT_GT(CountPixels(image, IsInk, low), 10);
    EXPECT_EQ(CountPixels(image, Is(fill), low), 0);
    // The high is written from 8 pixels above the band: its white box covers the band's
    // first rows at the left edge while the band shows further right.
    EXPECT_NE(At(image, 0, 7), fill);
    EXPECT_EQ(At(image, 70, 7), fill);

    state.FColumnRec = doc.FColumns.Share(2); // a rising column: green
    grid.SetCol(2);
    const QImage rising = Paint(QSize(75, 60), [&](QPainter &p) { strips.DrawColumnBand(p, 75); });
    EXPECT_GT(CountPixels(rising, Is(QColor(230, 255, 230))), 0);
    EXPECT_GT(CountPixels(rising, Is(QColor(0, 128, 0))), 0);
    EXPECT_EQ(CountPixels(rising, Is(fill)), 0);

    state.FCellX = 9;
    state.FCellY = 12;
    state.FCellQuote = doc.QuoteList.Items(3);
    const QImage top = Paint(QSize(400, 16), [&](QPainter &p) { strips.pb1Paint(p, 75); });
    EXPECT_EQ(At(top, 75 + 9 + 5, 0), QColor(0, 0, 255));
    EXPECT_EQ(At(top, 75 + 9 + 5, 15), QColor(0, 0, 255));
    const QImage ruler = Paint(QSize(120, 60), [&](QPainter &p) { strips.pbcPaint(p, QSize(120, 60)); });
    EXPECT_EQ(At(ruler, 0, 12), QColor(0, 0, 255));
    // "C: 13,000" right-aligned one pixel from the right edge, below the line.
    EXPECT_GT(CountPixels(ruler, IsInk, QRect(60, 13, 59, 13)), 10);
}
