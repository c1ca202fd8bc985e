// The analysis chart's pictures: background, plot, grid, the layers and their switches,
// the crosshair and the prices picked with the mouse, the zoom's limits, and the merged
// drawing of many quotes against a plain drawing of every segment. Where prices and
// steps lie is the geometry's test.

#include "analysischart.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include "pixels.h"
#include "qtestapp.h"
#include "testfiles.h"

#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace korvala;
using test::CountPixels;
using test::Is;

namespace {

// Quotes with open = high = low = close.
void Load(TFList &list, const std::vector<double> &closes)
{
    list.LoadFromStream(test::QuoteText(test::FlatQuoteLines(closes)));
}

// A chart of the given size with a white background.
struct Fixture
{
    explicit Fixture(int w, int h)
    {
        QPalette white = chart.palette();
        white.setColor(QPalette::Window, Qt::white);
        chart.setPalette(white);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(11);
        chart.setFont(font);
        chart.resize(w, h);
    }
    QImage Grab() { return chart.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    TFinChart chart;
};

// The colours at the points, by name ("#rrggbb").
std::string At(const QImage &image, std::initializer_list<QPoint> points)
{
    std::string s;
    for (const QPoint &p : points)
        s += image.pixelColor(p).name().toStdString() + " ";
    return s;
}
std::string Times(const QColor &c, int n)
{
    std::string s;
    while (n-- > 0)
        s += c.name().toStdString() + " ";
    return s;
}

const QColor kWhite(255, 255, 255), kBlack(0, 0, 0), kPlot(250, 250, 250), kGrid(192, 192, 192),
    kCross(200, 200, 200), kRed(255, 0, 0);

} // namespace

// Closes 10, 11, 12, 11, 10, 13 in 370 x 400: plot 30, 80, 310, 240; steps of 40
// pixels (X(k) = 310 - 40 k); rows 13 → 80, 12 → 133, 11 → 187, 10 → 240.
class SmallChartPixels : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Load(list, {10, 11, 12, 11, 10, 13});
        f.chart.SetData(&list);
    }
    TFList list;
    Fixture f{370, 400};
};

TEST_F(SmallChartPixels, BackgroundPlotGridAndSwitches)
{
    const QImage image = f.Grab();
    // The plot's right and bottom edges are exclusive; no grid line for MaxHigh itself.
    EXPECT_EQ(At(image, {{5, 390}, {100, 100}, {309, 239}, {310, 200}, {100, 223}}),
              Times(kWhite, 1) + Times(kPlot, 2) + Times(kWhite, 1) + Times(kPlot, 1));
    EXPECT_NE(image.pixelColor(100, 80), kGrid);
    // Grid rows 240 - 16 i, dashed; their labels start at x = 3.
    for (int y : {224, 208, 96}) {
        const QRect line(40, y, 61, 1);
        EXPECT_GT(CountPixels(image, Is(kGrid), line), 20) << y;
        EXPECT_GT(CountPixels(image, Is(kPlot), line), 5) << y;
        EXPECT_GT(CountPixels(image, [](const QColor &c) { return qGray(c.rgb()) < 128; }, QRect(3, y, 27, 12)), 10);
    }
    // The layers are checked below against a plain drawing of every pixel; here their
    // switches: the close line and the zigzag off, the average (not shown by default: 130,187
    // lies on its second segment) on.
    EXPECT_EQ(At(image, {{130, 160}, {250, 160}, {130, 187}}), Times(kBlack, 1) + Times(kRed, 1) + Times(kPlot, 1));
    f.chart.SetShowMA3x3(true);
    f.chart.SetShowZigzag(false);
    f.chart.SetShowResSup(false);
    f.chart.SetShowTargets(false);
    f.chart.SetShowClose(false);
    // The average: (150,187)-(110,187), after the three-step first segment (270,169)-(150,187).
    EXPECT_EQ(At(f.Grab(), {{130, 187}, {270, 169}, {210, 178}, {250, 160}, {130, 160}, {308, 139},
                            {300, 232}}),
              Times(kBlack, 3) + Times(kPlot, 4));
}

TEST_F(SmallChartPixels, CrosshairPressAndRelease)
{
    // Before any movement the crosshair lies on row 0, with no vertical line (x = 0 is left
    // of the plot) and the price of row 0 in green at (3, 0) and (3, 5) on the plot colour.
    QImage image = f.Grab();
    EXPECT_EQ(At(image, {{200, 0}, {310, 0}, {0, 100}, {3, 0}}), Times(kCross, 2) + Times(kWhite, 1) + Times(kPlot, 1));
    EXPECT_GT(CountPixels(image, [](const QColor &c) { return c.green() > c.red() + 40; }, QRect(3, 0, 57, 18)), 10);

    f.chart.show();
    QTest::mouseMove(&f.chart, QPoint(200, 150));
    image = f.Grab();
    EXPECT_EQ(At(image, {{100, 150}, {200, 80}, {200, 240}, {200, 0}}), Times(kCross, 3) + Times(kWhite, 1));
    EXPECT_NE(image.pixelColor(200, 241), kCross);
    QTest::mouseMove(&f.chart, QPoint(250, 160)); // the layers stay above the crosshair
    EXPECT_EQ(f.Grab().pixelColor(250, 160), kRed);

    // Press and release use the row of the last movement, only with the left button and
    // once the events are assigned.
    QTest::mouseMove(&f.chart, QPoint(100, 150));
    QTest::mousePress(&f.chart, Qt::LeftButton, {}, QPoint(100, 150));
    EXPECT_EQ(f.chart.PriceDown(), 0);
    int downs = 0, ups = 0;
    TFinChart *sender = nullptr;
    f.chart.SetOnPriceDown([&](TFinChart *c) { ++downs, sender = c; });
    f.chart.SetOnPriceUp([&](TFinChart *) { ++ups; });
    QTest::mousePress(&f.chart, Qt::RightButton, {}, QPoint(100, 150));
    QTest::mouseRelease(&f.chart, Qt::RightButton, {}, QPoint(100, 150));
    EXPECT_EQ(downs + ups, 0);
    QTest::mousePress(&f.chart, Qt::LeftButton, {}, QPoint(100, 150));
    EXPECT_TRUE(downs == 1 && sender == &f.chart);
    EXPECT_DOUBLE_EQ(f.chart.PriceDown(), 11.6875); // 3 x (240 - 150) / 160 + 10
    QTest::mouseMove(&f.chart, QPoint(100, 80));
    QTest::mouseRelease(&f.chart, Qt::LeftButton, {}, QPoint(100, 80));
    EXPECT_EQ(ups, 1);
    EXPECT_DOUBLE_EQ(f.chart.PriceUp(), 13);
    EXPECT_DOUBLE_EQ(f.chart.PriceDown(), 11.6875);
}

TEST(FinChart, ZoomLimitsFlatPricesAndTinyControls)
{
    TFList list;
    Load(list, {1, 2, 3});
    Fixture f(300, 300);
    f.chart.SetData(&list);
    // The visible count after each step: from all quotes down to one and back.
    std::string seen;
    for (const auto &zoom : {&TFinChart::ZoomOut, &TFinChart::ZoomIn, &TFinChart::ZoomIn, &TFinChart::ZoomIn,
                             &TFinChart::ZoomOut, &TFinChart::ResetZoom}) {
        (f.chart.*zoom)();
        seen += std::to_string(f.chart.VisibleCount()) + " ";
    }
    EXPECT_EQ(seen, "3 2 1 1 2 3 ");
    f.chart.SetData(nullptr);
    EXPECT_EQ(f.chart.VisibleCount(), 1);

    // All prices equal in a control 240 high (bottom = top = 80): steps of 42 from 240, the
    // close line on the one row, and a press reads the one price.
    Load(list, {5, 5, 5, 5});
    f.chart.resize(300, 240);
    f.chart.SetData(&list);
    EXPECT_EQ(f.Grab().pixelColor(150, 80), kBlack);
    QTest::mouseMove(&f.chart, QPoint(100, 10));
    f.chart.SetOnPriceDown([](TFinChart *) {});
    QTest::mousePress(&f.chart, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_EQ(f.chart.PriceDown(), 5);
    TFList empty;
    f.chart.SetData(&empty);
    f.chart.resize(300, 100); // smaller than the margins
    EXPECT_FALSE(f.Grab().isNull());
}

namespace {

// The picture as the paint sequence gives it, drawn the plain way: every segment of every
// polyline, every mark and every target line, wherever it lies; background, plot, grid and
// crosshair from the chart with every layer off.
QImage Reference(const TFinChart &chart, const TFList &list, int visible, int period)
{
    // The pixels of prices and steps are the geometry's (tested on its own).
    const FinChartGeometry g = chart.Geometry();
    EXPECT_EQ(chart.VisibleCount(), visible);
    const int right = static_cast<int>(g.Right());
    const auto Y = [&](double p) { return static_cast<int>(g.Y(p)); };
    const auto X = [&](int k) { return static_cast<int>(g.X(k)); };
    const int n = list.Count();
    const auto q = [&](int i) { return *list.Items(i); };
    Fixture bare(chart.width(), chart.height());
    bare.chart.SetData(const_cast<TFList *>(&list));
    bare.chart.SetShowClose(false);
    bare.chart.SetShowZigzag(false);
    bare.chart.SetShowResSup(false);
    bare.chart.SetShowTargets(false);
    QImage image = bare.Grab();
    QPainter p(&image);
    const auto pen = [&](const QColor &c) { p.setPen(QPen(c, 1, Qt::SolidLine, Qt::SquareCap)); };
    for (int i = 0; i < n; ++i)
        for (double level : {q(i).Retrace382, q(i).Retrace681})
            if (q(i).Pivot > 0 && q(i).PivotEnabled && std::abs(Y(level)) < 100000)
                p.fillRect(QRect(X(n - 1 - i) - 2, Y(level) - 2, 4, 4), QColor(255, 100, 100));
    pen(QColor(80, 80, 255));
    for (int i = n - 1, done = 0; i >= 0 && done < period; --i)
        if (q(i).Pivot > 0 && q(i).PivotEnabled) {
            for (double level : {q(i).OP, q(i).COP, q(i).XOP})
                p.drawLine(X(n - i), Y(level), right + 10, Y(level));
            ++done;
        }
    pen(Qt::black);
    for (int j = 1; j <= n - 2; ++j)
        p.drawLine(X(j), Y(q(n - j).Close), X(j + 1), Y(q(n - 1 - j).Close));
    pen(QColor(255, 0, 0));
    QPoint last(X(1), Y(q(n - 1).Pivot));
    for (int j = 1; j <= n - 2; ++j)
        if (q(n - 1 - j).PivotEnabled && q(n - 1 - j).Pivot > 0) {
            p.drawLine(last, QPoint(X(j + 1), Y(q(n - 1 - j).Pivot)));
            last = QPoint(X(j + 1), Y(q(n - 1 - j).Pivot));
        }
    pen(Qt::black);
    last = QPoint(X(1), Y(q(n - 3).MA3));
    for (int j = 3; j <= n - 2; ++j) {
        p.drawLine(last, QPoint(X(j + 1), Y(q(n - 1 - j).MA3)));
        last = QPoint(X(j + 1), Y(q(n - 1 - j).MA3));
    }
    return image;
}

std::vector<double> RandomWalk(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> step(0, 2);
    std::vector<double> closes;
    for (double c = 500; n-- > 0; closes.push_back(c))
        c = std::max(1.0, c + std::round(step(rng)) * 0.5);
    return closes;
}

} // namespace

// Thousands of quotes in a few hundred columns, whole and zoomed in: the merged and clipped
// drawing gives the pixels of the plain one (mouse kept at row 0, like the reference's).
TEST(FinChart, MergedDrawingGivesThePlainPicture)
{
    TFList list;
    Load(list, RandomWalk(3000, 11));
    Fixture f(640, 480);
    f.chart.SetData(&list);
    f.chart.SetPeriod(400); // levels on many pivots
    f.chart.SetShowMA3x3(true);
    ASSERT_GT(list.Items(list.Count() - 1)->Pivot, 0); // the plain zigzag start
    for (int visible : {3000, 1000, 200, 37, 5}) {
        while (f.chart.VisibleCount() > visible)
            f.chart.ZoomIn();
        EXPECT_TRUE(f.Grab() == Reference(f.chart, list, visible, 400)) << visible;
    }
}
