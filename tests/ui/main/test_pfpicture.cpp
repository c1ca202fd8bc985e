// The picture of the whole P&F chart, read pixel by pixel: the boxes where the build put
// them, every column and row however small the view, rulers with prices, dates, volume
// bars, and the part in view. A chart too large for a picture is the export's test.

#include "guiapp.h"
#include "pixels.h"

#include "document.h"
#include "pfgeometry.h"
#include "pfgridview.h"
#include "pfpicture.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

using namespace korvala;
using test::CountPixels;
using test::Is;
using test::IsInk;

namespace {

const QColor kX(160, 255, 160);
const QColor kO(255, 160, 160);
const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);

// The worked example of the build (box 1, reversal 3, closes 10, 12.5, 13, 9.5, 9, 12.6):
// 6 rows, the first close 10 on row 4, so row r stands for 14 − r. Column 0: X on rows 4
// to 2 (volume 100 + 200 + 300 + 400); column 1: O on rows 3 to 6, row 6 past the grid
// (volume 500); column 2: X on rows 5 to 2 (volume 600).
const std::string kExample = std::string(KORVALA_TEST_DATA_DIR) + "/pf_example.txt";

QFont StripFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(11);
    return font;
}

class PFPictureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        doc.OpenFile(kExample);
        doc.eBox = "1";
        doc.eReverse = "3";
        ASSERT_TRUE(doc.Refresh());
        ASSERT_EQ(std::make_pair(doc.sg.ColCount, doc.sg.RowCount), std::make_pair(3, 6));
    }

    // The centre of cell (c, r) in a whole-chart picture at magnitude s.
    static QPoint Cell(const PFPicture &p, int s, int c, int r)
    {
        return p.GridOrigin() + QPoint(c * s + s / 2, r * s + s / 2);
    }

    PFDocument doc;
};

} // namespace

TEST_F(PFPictureTest, TheWholeChartCellByCellWithItsStrips)
{
    const int s = 5;
    PFPicture picture(doc, s, StripFont(), PFPicture::WholeChart(doc));
    // Prices of at most six characters ("14,000") leave the rulers at the tab's 75 pixels:
    // the grid starts right of the left ruler and its splitter, under the title and dates.
    const int gridX = 75 + 3;
    const int gridY = PFPicture::kTitleHeight + 16;
    ASSERT_EQ(picture.GridOrigin(), QPoint(gridX, gridY));
    // Ruler, splitter, 3 columns, right ruler, but at least the title's width; title,
    // dates, 6 rows, volume strip.
    const int titleWidth = QFontMetrics(StripFont()).horizontalAdvance(picture.Title()) + 2 * 3;
    ASSERT_GT(titleWidth, 75 + 3 + 3 * s + 75);
    EXPECT_EQ(picture.Size().width, titleWidth);
    EXPECT_EQ(picture.Size().height, 18 + 16 + 6 * s + 54);
    EXPECT_EQ(PFPicture(doc, 12, StripFont(), PFPicture::WholeChart(doc)).Size().width,
              std::max(titleWidth, 75 + 3 + 3 * 12 + 75));

    const QImage image = picture.Image();
    ASSERT_EQ(image.size(), QSize(titleWidth, 18 + 16 + 30 + 54));
    // The title is drawn whole: ink up to its end, past the right ruler.
    EXPECT_GT(CountPixels(image, IsInk, QRect(titleWidth - 40, 0, 40, PFPicture::kTitleHeight)), 5);

    // Light green X boxes and light red O boxes exactly where the build put them, the
    // boxes of a column touching; white around them.
    for (int r = 2; r <= 4; ++r)
        EXPECT_EQ(image.pixelColor(Cell(picture, s, 0, r)), kX) << r;
    for (int r = 3; r <= 5; ++r)
        EXPECT_EQ(image.pixelColor(Cell(picture, s, 1, r)), kO) << r;
    for (int r = 2; r <= 5; ++r)
        EXPECT_EQ(image.pixelColor(Cell(picture, s, 2, r)), kX) << r;
    EXPECT_EQ(image.pixelColor(gridX, gridY + 2 * s), kX);              // first pixel of (0, 2)
    EXPECT_EQ(image.pixelColor(gridX + s - 1, gridY + 5 * s - 1), kX); // last pixel of (0, 4)
    for (const QPoint &empty : {Cell(picture, s, 0, 1), Cell(picture, s, 0, 5), Cell(picture, s, 1, 2),
                                Cell(picture, s, 1, 0), Cell(picture, s, 2, 1)})
        EXPECT_EQ(image.pixelColor(empty), kWhite);
    // Row 6 of the O column lies past the grid: nothing light red under the last row.
    EXPECT_EQ(CountPixels(image, Is(kO), QRect(gridX, gridY + 6 * s, 3 * s, 8)), 0);

    // The volume strip under the grid (its bars are the strip's, tested there): 40 pixels
    // for the largest volume (1000), s − 1 wide, ending 5 pixels above the strip's bottom.
    const int stripTop = gridY + 6 * s;
    EXPECT_EQ(CountPixels(image, Is(kRed), QRect(gridX, stripTop, s, 54)), 40 * (s - 1));
    EXPECT_EQ(image.pixelColor(gridX + 1, stripTop + 54 - 5 - 1), kRed);

    // Prices: 11-pixel text needs 3 rows of 5 pixels, so every 5th row from the first
    // close's row 4 is labelled: row 4 (10,000) alone. Its ticks end at the grid and start
    // at the right ruler, on the row's middle line.
    const int rowMiddle = gridY + 4 * s + s / 2;
    for (int x = 75 - 4; x < 75; ++x)
        EXPECT_TRUE(IsInk(image.pixelColor(x, rowMiddle))) << x;
    for (int x = gridX + 3 * s; x < gridX + 3 * s + 4; ++x)
        EXPECT_TRUE(IsInk(image.pixelColor(x, rowMiddle))) << x;
    EXPECT_GT(CountPixels(image, IsInk, QRect(0, rowMiddle - 6, 75 - 5, 13)), 20);
    EXPECT_GT(CountPixels(image, IsInk, QRect(gridX + 3 * s + 5, rowMiddle - 6, 70, 13)), 20);
    EXPECT_EQ(CountPixels(image, IsInk, QRect(0, gridY, 75, 4 * s - 8)), 0); // no label above
    // Dates: the columns start at different times of day, so the labels carry the time
    // and are about 100 pixels wide: one every 20 columns, column 0 alone, its tick at
    // the column's left edge.
    EXPECT_TRUE(IsInk(image.pixelColor(gridX, gridY - 1)));
    EXPECT_GT(CountPixels(image, IsInk, QRect(gridX + 60, PFPicture::kTitleHeight + 1, 30, 12)), 10);
    EXPECT_EQ(CountPixels(image, IsInk, QRect(0, PFPicture::kTitleHeight, gridX, 16)), 0);
    EXPECT_EQ(CountPixels(image, IsInk, QRect(gridX + 110, PFPicture::kTitleHeight, 100, 16)), 0);
    // The title names the file, the box and the reversal.
    EXPECT_TRUE(picture.Title().startsWith(QStringLiteral("P & F file: pf_example.txt")));
    EXPECT_TRUE(picture.Title().contains(QStringLiteral("Box 1   Reversal 3")));
}

TEST_F(PFPictureTest, EveryColumnAndRowWhateverTheViewShows)
{
    PFDocument daily;
    daily.OpenFile(std::string(KORVALA_EXAMPLES_DIR) + "/daily.txt");
    ASSERT_TRUE(daily.Refresh());
    const int s = 3;
    PFGridView grid;
    grid.SetGrid(&daily.sg);
    grid.resize(61, 41); // a column and a row partly in view
    grid.show();
    grid.ResetView(s);
    ASSERT_GT(daily.sg.ColCount * s, 60); // far more than the view
    PFPicture picture(daily, s, StripFont(), PFPicture::WholeChart(daily));
    const QImage image = picture.Image();
    ASSERT_FALSE(image.isNull());
    // Each column's highest and lowest drawn box, in its colour.
    for (int c = 0; c < daily.sg.ColCount; ++c) {
        const QColor colour = daily.sg.ColumnMark(c) == PFGrid::kMarkX ? kX : kO;
        for (int r : {std::max(daily.sg.FirstRow(c), 0), std::min(daily.sg.LastRow(c), daily.sg.RowCount - 1)})
            EXPECT_EQ(image.pixelColor(picture.GridOrigin() + QPoint(c * s + 1, r * s + 1)), colour) << c << " " << r;
    }

    // The part in view: the columns and rows the grid shows, partly shown ones included.
    grid.SetLeftCol(4);
    const PFPicture::Cells view = PFPicture::InView(grid);
    const int viewRows = (grid.viewport()->height() + s - 1) / s;
    EXPECT_EQ(std::vector<int>({view.firstCol, view.firstRow, view.cols, view.rows}),
              std::vector<int>({4, 0, (grid.viewport()->width() + s - 1) / s, viewRows}));
    PFPicture part(daily, s, StripFont(), view);
    const QImage partImage = part.Image();
    EXPECT_EQ(partImage.height(), 18 + 16 + viewRows * s + 54);
    // Column 4's cells stand first in the picture of the part.
    for (int r = 0; r < viewRows; ++r) {
        const char mark = daily.sg.Mark(4, r);
        const QColor expected = mark == PFGrid::kMarkX ? kX : (mark == PFGrid::kMarkO ? kO : kWhite);
        EXPECT_EQ(partImage.pixelColor(part.GridOrigin() + QPoint(1, r * s + 1)), expected) << r;
    }
}
