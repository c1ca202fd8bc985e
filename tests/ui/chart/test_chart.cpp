// The chart control through its own API and rendered pictures: candle colours and
// width, placing of points, mouse zoom, line colour, value marks, legend, title, back
// wall, ticks and filling the parent. Where a view, a candle or a mark lies is the
// geometry's test; here the chart draws what the geometry gives.

#include "chart.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest/QTest>

#include "pixels.h"
#include "qtestapp.h"

#include <cmath>

using namespace korvala::chart;
using korvala::test::CountPixels;
namespace test = korvala::test;

namespace {

const QColor kGrid(226, 226, 226);

bool IsRed(const QColor &c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }
bool IsBlack(const QColor &c) { return c.red() < 60 && c.green() < 60 && c.blue() < 60; }
bool IsWhite(const QColor &c) { return c.red() > 245 && c.green() > 245 && c.blue() > 245; }

// The bounds of the red pixels.
QRect RedBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            bounds |= IsRed(image.pixelColor(x, y)) ? QRect(x, y, 1, 1) : QRect();
    return bounds;
}

class ChartTest : public ::testing::Test
{
protected:
    ChartTest() { chart.resize(400, 300); }

    QImage Render()
    {
        chart.ReplotNow();
        QImage image(chart.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        chart.render(&image);
        return image;
    }
    QWidget *Plot() { return chart.findChild<QWidget *>(); }
    QPoint Middle() const { return QPoint(chart.width() / 2, chart.height() / 2); }
    void Wheel(QPoint pos, int delta)
    {
        QWheelEvent event(pos, Plot()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Plot(), &event);
        Render();
    }
    std::pair<double, double> View() const { return {chart.ViewFirst(), chart.ViewLast()}; }

    Chart chart;
};

} // namespace

TEST_F(ChartTest, RisingBodyWhiteFallingBodyRedBothFourPixelsWide)
{
    chart.SetLegendVisible(false);
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    candles->Add(10, 22, 8, 20); // rising
    candles->Add(20, 22, 8, 10); // falling
    const QImage image = Render();
    // The falling body: a red inside two pixels wide between black outline columns.
    const QRect red = RedBounds(image);
    ASSERT_EQ(red.width(), 2);
    EXPECT_GT(red.height(), 20);
    const int y = red.center().y();
    const auto row = [&](int from, int n) {
        std::string s;
        for (int x = from; x < from + n; ++x)
            s += IsBlack(image.pixelColor(x, y))   ? 'b'
                 : IsWhite(image.pixelColor(x, y)) ? 'w'
                 : IsRed(image.pixelColor(x, y))   ? 'r'
                                              : '?';
        return s;
    };
    EXPECT_EQ(row(red.left() - 2, 6), "wbrrbw");
    // The rising body on the same rows (same open and close): black, white, white, black;
    // its wick reaches above the body (high 22).
    int left = 0;
    while (!IsBlack(image.pixelColor(left, y)))
        ++left;
    EXPECT_LT(left, red.left());
    EXPECT_EQ(row(left - 1, 6), "wbwwbw");
    const int wick = red.top() - 6;
    EXPECT_TRUE(IsBlack(image.pixelColor(left + 1, wick)) || IsBlack(image.pixelColor(left + 2, wick)));
}

// Dated points stand at their dates, with the view over them (points at indexes are the
// replays' test); the demonstration candles go back to indexes.
TEST_F(ChartTest, PointsAtTheirDateOrAtTheNextIndex)
{
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    const double day = 38442.4166666667; // 31.03.2005 10:00
    candles->AddDated(day, 1, 2, 0.5, 1.5);
    candles->AddDated(day + 1, 2, 3, 1.5, 2.5);
    EXPECT_TRUE(candles->Dated());
    EXPECT_EQ(candles->At(1).x, day + 1);
    EXPECT_TRUE(chart.ViewFirst() < day && chart.ViewLast() > day + 1);
    candles->FillSampleValues(100);
    EXPECT_FALSE(candles->Dated());
    EXPECT_EQ(candles->At(99).x, 99);
}

TEST_F(ChartTest, ViewAndMouseZoom)
{
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    candles->FillSampleValues(30);
    Render();
    EXPECT_TRUE(chart.ViewFirst() < 0 && chart.ViewLast() > 29 && chart.ViewLast() < 33);
    const auto all = View();

    // The wheel near the right edge zooms about the pointer: the left end moves most.
    Wheel(QPoint(chart.width() * 9 / 10, chart.height() / 2), 120);
    EXPECT_LT(chart.ViewLast() - chart.ViewFirst(), (all.second - all.first) * 0.95);
    EXPECT_GT(chart.ViewFirst() - all.first, 3 * (all.second - chart.ViewLast()));
    QTest::mouseDClick(Plot(), Qt::LeftButton, Qt::NoModifier, Middle()); // shows all again
    Render();
    EXPECT_EQ(View(), all);
    chart.SetMouseZoom(false);
    Wheel(Middle(), 120);
    EXPECT_EQ(View(), all);
}

// Two lines that cross each other, with marks: every mark inside the plot and clear of
// both lines as drawn; a rise at the very end still gets its mark. The marks' arrows are
// in their own colour; marks off again give the picture without them.
TEST_F(ChartTest, MarksOfAllLinesStandInsideThePlotOffTheLines)
{
    chart.resize(600, 400);
    chart.SetLegendVisible(false);
    LineSeries *a = chart.AddLineSeries(QStringLiteral("A"));
    LineSeries *b = chart.AddLineSeries(QStringLiteral("B"));
    std::vector<double> va, vb;
    for (int i = 0; i < 120; ++i) {
        va.push_back(100 + 10 * std::sin(i / 6.0) + i % 3);
        vb.push_back(100 + 10 * std::sin(i / 6.0 + 0.8));
    }
    va.back() = 125; // the last point is the highest of all
    a->Assign(va);
    b->Assign(vb);
    a->SetColor(Qt::red);
    b->SetColor(QColor(0, 128, 0));
    b->SetMarkArrowColor(QColor(0, 128, 128));
    const auto teal = test::Is(QColor(0, 128, 128));
    const QImage off = Render();
    EXPECT_EQ(CountPixels(off, teal), 0);
    a->SetMarksVisible(true);
    b->SetMarksVisible(true);
    const QImage image = Render();
    EXPECT_GT(CountPixels(image, teal), 8);

    // The plot's frame: the axis lines round it, found on the middle row and column.
    const QRgb axis = qRgb(150, 150, 150);
    int left = -1, right = -1, top = -1, bottom = -1;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, image.height() / 2) == axis)
            (left < 0 ? left : right) = x;
    for (int y = 0; y < image.height(); ++y)
        if (image.pixel(image.width() / 2, y) == axis)
            (top < 0 ? top : bottom) = y;
    const QRect frame(QPoint(left, top), QPoint(right, bottom));
    ASSERT_GT(frame.width(), 400);
    ASSERT_GT(frame.height(), 250);
    // The lines' colours blended with the white background, told apart from the marks'
    // darker texts: red (255, 0, 0) keeps its red at 255; green (0, 128, 0) at red r has
    // the green 128 + 127 r / 255 (the texts' is 26 (1 - r / 255) lower).
    const auto lineInk = [](const QColor &c) {
        const int r = c.red(), g = c.green(), bl = c.blue();
        return (r == 255 && g == bl && g < 200) || (r == bl && r < 180 && std::abs(g - (128 + 127 * r / 255)) <= 2);
    };
    ASSERT_GT(CountPixels(image, lineInk), 500);
    for (const LineSeries *s : {a, b}) {
        EXPECT_GE(s->ShownMarks().size(), 3u) << s->ValueAt(0);
        for (const LineSeries::ShownMark &m : s->ShownMarks()) {
            EXPECT_TRUE(frame.adjusted(1, 1, -1, -1).contains(m.box.toAlignedRect())) << m.index;
            EXPECT_EQ(CountPixels(image, lineInk, m.box.adjusted(1, 1, -1, -1).toAlignedRect()), 0)
                << "a line through the mark of " << m.index;
        }
    }
    const auto marks = a->ShownMarks();
    EXPECT_TRUE(std::any_of(marks.begin(), marks.end(), [](const auto &m) { return m.index == 119; }));
    a->SetMarksVisible(false);
    b->SetMarksVisible(false);
    EXPECT_EQ(Render(), off);
}

TEST_F(ChartTest, LegendTitleBackWallAndRemovedSeries)
{
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Series1"));
    candles->Add(20, 22, 8, 10);
    candles->Add(20, 22, 8, 10);
    // The legend lies in the top-left corner: hiding it changes that quarter only.
    const QImage shown = Render();
    chart.SetLegendVisible(false);
    const QImage hidden = Render();
    const int w = chart.width(), h = chart.height();
    EXPECT_NE(shown.copy(0, 0, w / 2, h / 2), hidden.copy(0, 0, w / 2, h / 2));
    EXPECT_EQ(shown.copy(w / 2, 0, w / 2, h), hidden.copy(w / 2, 0, w / 2, h));
    // The title is centred above the plot, clear of the value axis labels.
    const auto dark = [](const QColor &c) { return qGray(c.rgb()) < 110; };
    const QRect top(chart.width() / 3, 0, chart.width() / 3, 12);
    EXPECT_EQ(CountPixels(Render(), dark, top), 0);
    chart.SetTitle(QStringLiteral("TChart"));
    EXPECT_GT(CountPixels(Render(), dark, top), 10);
    // The back wall in its colour, or white with a clear brush.
    const QColor wall(255, 255, 180);
    const QRect middle(chart.width() / 3, chart.height() / 3, chart.width() / 3, chart.height() / 3);
    const auto isWall = test::Is(wall);
    chart.SetBackWallColor(wall);
    EXPECT_GT(CountPixels(Render(), isWall, middle), middle.width() * middle.height() / 2);
    chart.SetBackWallClearBrush(true);
    EXPECT_GT(CountPixels(Render(), IsWhite, middle), middle.width() * middle.height() / 2);
    chart.RemoveSeries(candles);
    EXPECT_EQ(CountPixels(Render(), IsRed), 0);
}

namespace {

// The grid lines of a picture: columns (vertical lines) or rows (horizontal lines) that
// are mostly grid colour.
int GridLines(const QImage &image, bool vertical)
{
    const int lines = vertical ? image.width() : image.height();
    const int length = vertical ? image.height() : image.width();
    int found = 0;
    for (int i = 0; i < lines; ++i) {
        int grid = 0;
        for (int j = 0; j < length; ++j)
            grid += (vertical ? image.pixelColor(i, j) : image.pixelColor(j, i)) == kGrid;
        found += grid > length / 3;
    }
    return found;
}

} // namespace

// Charts filled while their tab is hidden (the line-break and candle tabs after an open)
// show, when the tab comes up, the ticks they have after a reset of the view.
TEST(ChartTicks, TheFirstViewOfAChartShownLaterHasItsFullTicks)
{
    for (const bool dated : {true, false}) {
        QTabWidget tabs;
        tabs.addTab(new QLabel(QStringLiteral("P & F")), QStringLiteral("P & F"));
        auto *chart = new Chart;
        tabs.addTab(chart, QStringLiteral("Candle"));
        chart->SetLegendVisible(false);
        tabs.resize(1000, 650);
        tabs.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs));
        // 222 days of quotes, or as many bricks at consecutive places.
        std::vector<Candle> candles;
        for (int i = 0; i < 222; ++i) {
            const double open = 1250 + 20 * std::sin(i / 20.0);
            candles.push_back({38200.0 + i, open, open + 3, open - 3, open + (i % 2 ? 2 : -2)});
        }
        chart->AddCandleSeries(QStringLiteral("Candles"))->Assign(candles, dated);
        QApplication::processEvents();
        tabs.setCurrentIndex(1);
        QApplication::processEvents();
        const QImage first = chart->grab().toImage();
        chart->ResetZoom(); // what a double click does
        QApplication::processEvents();
        const QImage reset = chart->grab().toImage();
        EXPECT_GE(GridLines(first, true), 5) << dated;
        EXPECT_GE(GridLines(first, false), 8) << dated;
        EXPECT_EQ(GridLines(first, true), GridLines(reset, true)) << dated;
        EXPECT_EQ(GridLines(first, false), GridLines(reset, false)) << dated;
    }
}

TEST(ChartPlacement, FillsAParentWithoutLayoutAndObeysALayout)
{
    QWidget parent;
    parent.resize(500, 300);
    auto *chart = new Chart(&parent);
    EXPECT_EQ(chart->geometry(), parent.rect());
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    parent.resize(620, 410);
    QApplication::processEvents();
    EXPECT_EQ(chart->geometry(), parent.rect());

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Panel")));
    auto *laidOut = new Chart(&window);
    layout->addWidget(laidOut);
    window.resize(500, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    EXPECT_TRUE(laidOut->y() > 0 && laidOut->height() < 300);
}
