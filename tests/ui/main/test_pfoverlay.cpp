// The signals overlay of the P&F grid: its geometry, and what it adds to a rendered grid.

#include "guiapp.h"
#include "pixels.h"

#include "document.h"
#include "pfgridview.h"
#include "pfoverlay.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>

using namespace korvala;

namespace {

// Box 1, reversal 3, one close per column: X 100-105, O -101, X -107 (a buy above 105),
// O -103, X -106, O -100 (a sell below 103). Closes 99,5 to 107,5: 10 rows; the first
// close lies on row 9, so an X box of price p sits on row 9 − (p − 100).
const std::vector<double> kCloses = {100, 105.5, 100.5, 107.5, 102.5, 106.5, 99.5};

constexpr int kCell = 12;

QPoint Centre(int col, int row) { return QPoint(col * kCell + kCell / 2, row * kCell + kCell / 2); }

// Pixels within radius of p that are close to colour c.
int Near(const QImage &image, QPoint p, int radius, const QColor &c)
{
    return test::CountPixels(
        image,
        [c](const QColor &q) {
            return std::abs(q.red() - c.red()) + std::abs(q.green() - c.green()) + std::abs(q.blue() - c.blue()) < 40;
        },
        QRect(p.x() - radius, p.y() - radius, 2 * radius + 1, 2 * radius + 1));
}

class OverlayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        doc.OpenBytes("quotes.txt", test::QuoteText(test::FlatQuoteLines(kCloses)));
        doc.eBox = "1";
        doc.eReverse = "3";
        ASSERT_TRUE(doc.Refresh());
        ASSERT_EQ(std::make_pair(doc.sg.ColCount, doc.sg.RowCount), std::make_pair(6, 10));
        overlay.BuildDone();
        view.SetGrid(&doc.sg);
        view.resize(300, 300);
        view.show();
        view.ResetView(kCell);
    }

    QImage Render() const
    {
        QImage image(view.viewport()->size(), QImage::Format_RGB32);
        QPainter painter(&image);
        view.DrawView(painter, image.rect());
        return image;
    }

    PFDocument doc;
    PFSignalOverlay overlay{doc};
    PFGridView view;
};

} // namespace

TEST(OverlayGeometry, CellCentresLinesInViewAndObjectiveDashes)
{
    // 100 × 100 cells of 4 pixels from column 10, row 20, in a view of 200 × 120.
    const pfview::GridMetrics m{100, 100, 10, 20, 4, 4, 200, 120};
    EXPECT_EQ(pfview::ColumnsInView(m), std::make_pair(10, 59)); // 50 columns of 4 pixels
    EXPECT_EQ(pfview::CellCentre(m, 12, 25), QPointF(10, 22));

    // A support line from column 5, row 40, to column 30: in view from column 10 (row 35)
    // to column 30 (row 15, above the view).
    PFTrendLine line;
    line.Kind = PFTrendKind::Support;
    line.FromColumn = 5;
    line.FromRow = 40;
    line.ToColumn = 30;
    EXPECT_EQ(pfview::LineInView(m, line), QLineF(2, 62, 82, -18));
    line.ToColumn = 9; // ends left of the view
    EXPECT_FALSE(pfview::LineInView(m, line));
    line.ToColumn = 30;
    line.FromRow = 1000; // far below
    EXPECT_FALSE(pfview::LineInView(m, line));
    line.Kind = PFTrendKind::Resistance; // falling from row 5 at column 5: row 10 at column 10
    line.FromRow = 5;
    EXPECT_EQ(pfview::LineInView(m, line), QLineF(2, -38, 82, 42));

    // Price 120 with the first close 100 on row 50: row 30, y = 10 rows × 4 + 2.
    const PFPriceScale scale{100, 50, 1};
    EXPECT_EQ(pfview::ObjectiveDash(m, scale, 120), QLineF(188, 42, 198, 42));
    EXPECT_FALSE(pfview::ObjectiveDash(m, scale, 200));
    EXPECT_FALSE(pfview::ObjectiveDash(m, scale, 60));
}

TEST_F(OverlayTest, MarksLinesAndDashesOverTheCellsAndNothingWithoutIt)
{
    const QImage plain = Render();
    view.SetOverlay(&overlay);
    const QImage shown = Render();
    EXPECT_NE(shown, plain);

    // B at the box above column 0's top (column 2, row 3), S below column 3's bottom
    // (column 5: the O at 103 is on row 7, the box below on row 8).
    EXPECT_GT(Near(shown, Centre(2, 3), 6, PFSignalOverlay::kBuyColor), 4);
    EXPECT_EQ(Near(plain, Centre(2, 3), 6, PFSignalOverlay::kBuyColor), 0);
    EXPECT_GT(Near(shown, Centre(5, 8), 6, PFSignalOverlay::kSellColor), 4);
    EXPECT_EQ(Near(shown, Centre(2, 3), 6, PFSignalOverlay::kSellColor), 0);

    // The active resistance runs from above column 2's top (row 1) down a row per column:
    // through the centre of the empty cell (3, 2) and of (4, 3).
    EXPECT_GT(Near(shown, Centre(3, 2), 1, PFSignalOverlay::kSellColor), 0);
    EXPECT_EQ(Near(plain, Centre(3, 2), 1, PFSignalOverlay::kSellColor), 0);

    // The sell's vertical count, 92, on row 17 at the right edge; the buy's 122 lies above
    // the view and draws nothing.
    const int right = view.viewport()->width() - 7;
    EXPECT_GT(Near(shown, QPoint(right, 17 * kCell + kCell / 2), 1, PFSignalOverlay::kSellColor), 0);
    EXPECT_EQ(Near(shown, QPoint(right, 17 * kCell + kCell / 2), 1, PFSignalOverlay::kBuyColor), 0);

    // Off again, or over quotes it no longer belongs to: the plain grid, pixel for pixel.
    view.SetOverlay(nullptr);
    EXPECT_EQ(Render(), plain);
    view.SetOverlay(&overlay);
    overlay.Forget();
    EXPECT_EQ(Render(), plain);
    EXPECT_EQ(overlay.SignalAt(2, 3), nullptr);
    overlay.BuildDone();
    ASSERT_NE(overlay.SignalAt(2, 3), nullptr);
    EXPECT_EQ(overlay.SignalAt(2, 3)->DateText, "01.12.05 10:03");
}

TEST_F(OverlayTest, OnlyWhatLiesInThePaintedRectangleIsDrawn)
{
    view.SetOverlay(&overlay);
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        view.DrawView(painter, QRect(0, 0, 3 * kCell, 3 * kCell)); // columns 0-2, rows 0-2
    }
    // The resistance starts in that corner; the S mark lies outside it and is not drawn.
    EXPECT_GT(Near(image, Centre(2, 1), 1, PFSignalOverlay::kSellColor), 0);
    EXPECT_EQ(Near(image, Centre(5, 8), 8, PFSignalOverlay::kSellColor), 0);
    EXPECT_EQ(image.pixelColor(4 * kCell, 4 * kCell), QColor(Qt::black));
}
