#include "finchart.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include "qtestapp.h"

#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace korvala;

namespace {

// Quotes with open = high = low = close.
void Load(TFList &list, const std::vector<double> &closes)
{
    std::string text = "header\r\n";
    for (double c : closes) {
        std::string v = std::to_string(c);
        for (char &ch : v)
            if (ch == '.')
                ch = ',';
        text += "01.12.05;10:00;" + v + ";" + v + ";" + v + ";" + v + ";1\r\n";
    }
    list.LoadFromStream(text);
}

QFont TestFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    return font;
}

// A chart of the given size with a white background.
struct Fixture
{
    explicit Fixture(int w, int h)
    {
        QPalette white = chart.palette();
        white.setColor(QPalette::Window, Qt::white);
        chart.setPalette(white);
        chart.setFont(TestFont());
        chart.resize(w, h);
    }
    QImage Grab() { return chart.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QImage Direct() const
    {
        QImage image(chart.size(), QImage::Format_RGB32);
        QPainter painter(&image);
        chart.PaintDirect(painter);
        return image;
    }
    TFinChart chart;
};

QColor At(const QImage &image, int x, int y) { return image.pixelColor(x, y); }

const QColor kPlot(250, 250, 250);
const QColor kGrid(192, 192, 192);
const QColor kCross(200, 200, 200);
const QColor kMark(255, 100, 100);
const QColor kTarget(80, 80, 255);
const QColor kRed(255, 0, 0);

// Counts paint events of a widget.
class PaintCounter final : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

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

TEST_F(SmallChartPixels, BackgroundPlotAndDashedGrid)
{
    const QImage image = f.Grab();
    EXPECT_EQ(At(image, 5, 390), QColor(Qt::white));
    EXPECT_EQ(At(image, 100, 100), kPlot);
    EXPECT_EQ(At(image, 309, 239), kPlot);  // last plot pixel
    EXPECT_EQ(At(image, 310, 200), QColor(Qt::white)); // right and bottom exclusive
    // Grid rows 240 - 16 i, dashed between the plot's edges.
    for (int y : {224, 208, 96}) {
        int grey = 0, gaps = 0;
        for (int x = 40; x <= 100; ++x) {
            const QColor c = At(image, x, y);
            grey += c == kGrid;
            gaps += c == kPlot;
        }
        EXPECT_GT(grey, 20) << y;
        EXPECT_GT(gaps, 5) << y;
    }
    EXPECT_EQ(At(image, 100, 223), kPlot);
    EXPECT_NE(At(image, 100, 80), kGrid); // no line for MaxHigh itself
    // The grid labels start at x = 3 on their row: dark text pixels next to the rows.
    int dark = 0;
    for (int x = 3; x < 30; ++x)
        for (int y = 224; y < 236; ++y)
            dark += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(dark, 10);
}

TEST_F(SmallChartPixels, CloseLineZigzagMarksAndTargets)
{
    const QImage image = f.Grab();
    // Close line: (150,133)-(110,187) passes (130,160); its end (110,187) is close only.
    EXPECT_EQ(At(image, 130, 160), QColor(Qt::black));
    EXPECT_EQ(At(image, 110, 187), QColor(Qt::black));
    // Zigzag over it: (270,80)-(230,240) through (250,160), and the pivot 12 at (150,133).
    EXPECT_EQ(At(image, 250, 160), kRed);
    EXPECT_EQ(At(image, 150, 133), kRed);
    EXPECT_EQ(At(image, 230, 240), kRed);
    // The newest pivot's marks on the right edge: rows 141 and 189, 4 x 4 pixels.
    for (int y : {141, 189}) {
        EXPECT_EQ(At(image, 308, y - 2), kMark);
        EXPECT_EQ(At(image, 311, y + 1), kMark);
        EXPECT_NE(At(image, 312, y + 1), kMark);
        EXPECT_NE(At(image, 311, y + 2), kMark);
        EXPECT_NE(At(image, 307, y), kMark);
    }
    // Targets OP 9 → 293, COP → 232, XOP → 392 from the pivot's column 270 to 320.
    for (int y : {232, 293, 392}) {
        EXPECT_EQ(At(image, 270, y), kTarget) << y;
        EXPECT_EQ(At(image, 300, y), kTarget) << y;
        EXPECT_EQ(At(image, 320, y), kTarget) << y;
        EXPECT_NE(At(image, 321, y), kTarget) << y;
        EXPECT_NE(At(image, 269, y), kTarget) << y;
    }
    // No average by default: (130,187) lies only on the average's second segment.
    EXPECT_EQ(At(image, 130, 187), kPlot);
}

TEST_F(SmallChartPixels, AverageAndSwitches)
{
    f.chart.SetShowMA3x3(true);
    QImage image = f.Grab();
    // (150,187)-(110,187), and the three-step first segment (270,169)-(150,187).
    EXPECT_EQ(At(image, 130, 187), QColor(Qt::black));
    EXPECT_EQ(At(image, 270, 169), QColor(Qt::black));
    EXPECT_EQ(At(image, 210, 178), QColor(Qt::black));

    f.chart.SetShowZigzag(false);
    f.chart.SetShowResSup(false);
    f.chart.SetShowTargets(false);
    f.chart.SetShowClose(false);
    image = f.Grab();
    EXPECT_EQ(At(image, 250, 160), kPlot);
    EXPECT_EQ(At(image, 130, 160), kPlot);
    EXPECT_EQ(At(image, 308, 139), kPlot);
    EXPECT_EQ(At(image, 300, 232), kPlot);
    EXPECT_EQ(At(image, 130, 187), QColor(Qt::black));
}

TEST_F(SmallChartPixels, CrosshairBeforeAnyMovementLiesOnRowZero)
{
    EXPECT_EQ(f.chart.MouseX(), 0);
    EXPECT_EQ(f.chart.MouseY(), 0);
    const QImage image = f.Grab();
    EXPECT_EQ(At(image, 200, 0), kCross);
    EXPECT_EQ(At(image, 310, 0), kCross);
    EXPECT_EQ(At(image, 200, 1), QColor(Qt::white));
    // No vertical line: x = 0 is left of the plot.
    EXPECT_EQ(At(image, 0, 100), QColor(Qt::white));
    // The price of row 0 in green at (3, 0) and (3, 5) on the plot colour.
    int green = 0;
    for (int x = 3; x < 60; ++x)
        for (int y = 0; y < 18; ++y) {
            const QColor c = At(image, x, y);
            green += c.green() > c.red() + 40;
        }
    EXPECT_GT(green, 10);
    EXPECT_EQ(At(image, 3, 0), kPlot);
}

TEST_F(SmallChartPixels, CrosshairFollowsTheMouse)
{
    f.chart.show();
    QTest::mouseMove(&f.chart, QPoint(200, 150));
    EXPECT_EQ(f.chart.MouseX(), 200);
    EXPECT_EQ(f.chart.MouseY(), 150);
    const QImage image = f.Grab();
    EXPECT_EQ(At(image, 100, 150), kCross);
    EXPECT_EQ(At(image, 200, 100), kCross);
    EXPECT_EQ(At(image, 200, 80), kCross);
    EXPECT_EQ(At(image, 200, 240), kCross);
    EXPECT_NE(At(image, 200, 241), kCross);
    EXPECT_EQ(At(image, 200, 0), QColor(Qt::white));
    // Layers stay above the crosshair: the close line's end (110,187) is untouched, and
    // the crosshair row passes under the zigzag.
    QTest::mouseMove(&f.chart, QPoint(250, 160));
    EXPECT_EQ(At(f.Grab(), 250, 160), kRed);
}

TEST_F(SmallChartPixels, PressAndReleaseUseTheRowOfTheLastMovement)
{
    f.chart.show();
    QTest::mouseMove(&f.chart, QPoint(100, 150));
    // Not assigned yet: nothing happens.
    QTest::mousePress(&f.chart, Qt::LeftButton, {}, QPoint(100, 150));
    QTest::mouseRelease(&f.chart, Qt::LeftButton, {}, QPoint(100, 150));
    EXPECT_EQ(f.chart.PriceDown(), 0);
    EXPECT_EQ(f.chart.PriceUp(), 0);

    int downs = 0, ups = 0;
    TFinChart *sender = nullptr;
    f.chart.SetOnPriceDown([&](TFinChart *c) { ++downs; sender = c; });
    f.chart.SetOnPriceUp([&](TFinChart *) { ++ups; });
    // Other buttons are ignored.
    QTest::mousePress(&f.chart, Qt::RightButton, {}, QPoint(100, 150));
    QTest::mouseRelease(&f.chart, Qt::RightButton, {}, QPoint(100, 150));
    EXPECT_EQ(downs + ups, 0);
    EXPECT_EQ(f.chart.PriceDown(), 0);

    // Row 150: 3 x (240 - 150) / 160 + 10.
    QTest::mousePress(&f.chart, Qt::LeftButton, {}, QPoint(100, 150));
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(sender, &f.chart);
    EXPECT_DOUBLE_EQ(f.chart.PriceDown(), 11.6875);
    QTest::mouseMove(&f.chart, QPoint(100, 80));
    QTest::mouseRelease(&f.chart, Qt::LeftButton, {}, QPoint(100, 80));
    EXPECT_EQ(ups, 1);
    EXPECT_DOUBLE_EQ(f.chart.PriceUp(), 13);
    EXPECT_DOUBLE_EQ(f.chart.PriceDown(), 11.6875);
}

TEST(FinChart, ZoomLimitsAndRepaints)
{
    TFList list;
    Load(list, {1, 2, 3});
    Fixture f(300, 300);
    EXPECT_EQ(f.chart.VisibleCount(), 0);
    f.chart.SetData(&list);
    EXPECT_EQ(f.chart.VisibleCount(), 3);
    PaintCounter counter;
    f.chart.installEventFilter(&counter);
    f.chart.show();
    QApplication::processEvents();

    auto paintsAfter = [&](auto action) {
        counter.paints = 0;
        action();
        QApplication::processEvents();
        return counter.paints;
    };
    EXPECT_EQ(paintsAfter([&] { f.chart.ZoomOut(); }), 0); // already the whole list
    EXPECT_EQ(f.chart.VisibleCount(), 3);
    EXPECT_EQ(paintsAfter([&] { f.chart.ZoomIn(); }), 1);
    EXPECT_EQ(paintsAfter([&] { f.chart.ZoomIn(); }), 1);
    EXPECT_EQ(f.chart.VisibleCount(), 1);
    EXPECT_EQ(paintsAfter([&] { f.chart.ZoomIn(); }), 0);
    EXPECT_EQ(f.chart.VisibleCount(), 1);
    EXPECT_EQ(paintsAfter([&] { f.chart.ZoomOut(); }), 1);
    EXPECT_EQ(f.chart.VisibleCount(), 2);
    EXPECT_EQ(paintsAfter([&] { f.chart.ResetZoom(); }), 1);
    EXPECT_EQ(f.chart.VisibleCount(), 3);
    // SetData does not repaint by itself.
    EXPECT_EQ(paintsAfter([&] { f.chart.SetData(&list); }), 0);
    f.chart.SetData(nullptr);
    EXPECT_EQ(f.chart.VisibleCount(), 1);
}

TEST(FinChart, OneVisibleQuoteStandsInTheMiddle)
{
    TFList list;
    Load(list, {1, 3, 2});
    Fixture f(370, 400); // plot 30 … 310
    f.chart.SetData(&list);
    f.chart.ZoomIn();
    f.chart.ZoomIn();
    f.chart.SetShowZigzag(false);
    f.chart.SetShowTargets(false);
    f.chart.SetShowResSup(false);
    // The newest close (2, row 160) at 310 - 140 = 170, the next one (3, row 80) at 30.
    const QImage image = f.Grab();
    EXPECT_EQ(At(image, 170, 160), QColor(Qt::black));
    EXPECT_EQ(At(image, 30, 80), QColor(Qt::black));
    EXPECT_EQ(At(image, 100, 120), QColor(Qt::black));
}

TEST(FinChart, PeriodReachesTheListOnlyWhenAttached)
{
    TFList list;
    Load(list, {10, 11, 12, 11, 10, 13, 12, 14, 11});
    Fixture f(300, 300);
    f.chart.SetPeriod(5);
    EXPECT_EQ(f.chart.Period(), 5);
    f.chart.SetData(&list);
    EXPECT_EQ(list.LevelDepth, 0);
    f.chart.SetPeriod(2);
    EXPECT_EQ(list.LevelDepth, 2);
    // Depth 2: three pivots (every second one from the newest) carry levels.
    int withLevels = 0;
    for (int i = 0; i < list.Count(); ++i)
        withLevels += list.Items(i)->OP != 0;
    EXPECT_EQ(withLevels, 3);
}

TEST(FinChart, FlatPricesAndAControlOf240RowsDrawAndAnswer)
{
    TFList flat;
    Load(flat, {5, 5, 5, 5});
    Fixture f(300, 240); // bottom = top = 80
    f.chart.SetData(&flat);
    f.chart.show();
    const QImage image = f.Grab();
    // Steps of 42 from 240: the close line on the one row from 198 to 114.
    EXPECT_EQ(At(image, 150, 80), QColor(Qt::black));
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

// The picture as the paint sequence gives it, drawn the plain way: every segment of
// every polyline, every mark and every target line, wherever it lies.
QImage Reference(const TFinChart &chart, const TFList &list, int visible, int period,
                 bool ma)
{
    const int w = chart.width(), h = chart.height();
    const int left = 30, top = 80, right = w - 60, bottom = h - 160;
    const double range = list.MaxHigh - list.MinLow;
    const double scale = (bottom - top) / range;
    auto rnd = [](double v) { return static_cast<int>(std::nearbyint(v)); };
    auto Y = [&](double p) { return bottom - rnd((p - list.MinLow) * scale); };
    auto X = [&](long long k) {
        return right - rnd(static_cast<double>(k) * (right - left) / (visible + 1));
    };
    const int n = list.Count();
    auto q = [&](int i) { return *list.Items(i); };

    QImage image(chart.size(), QImage::Format_RGB32);
    QPainter p(&image);
    p.setFont(chart.font());
    // Background, plot, grid and crosshair: the chart with every layer off.
    TFinChart bare;
    bare.setPalette(chart.palette());
    bare.setFont(chart.font());
    bare.resize(chart.size());
    bare.SetData(const_cast<TFList *>(&list));
    bare.SetShowClose(false);
    bare.SetShowZigzag(false);
    bare.SetShowResSup(false);
    bare.SetShowTargets(false);
    bare.SetShowMA3x3(false);
    bare.PaintDirect(p);

    auto pen = [&](const QColor &c) { p.setPen(QPen(c, 1, Qt::SolidLine, Qt::SquareCap)); };
    for (int i = 0; i < n; ++i)
        if (q(i).Pivot > 0 && q(i).PivotEnabled) {
            const int x = X(n - 1 - i);
            for (double level : {q(i).Retrace382, q(i).Retrace681}) {
                const long long y = Y(level);
                if (std::llabs(y) < 100000)
                    p.fillRect(QRect(x - 2, static_cast<int>(y) - 2, 4, 4), QColor(255, 100, 100));
            }
        }
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
            const QPoint next(X(j + 1), Y(q(n - 1 - j).Pivot));
            p.drawLine(last, next);
            last = next;
        }
    if (ma) {
        pen(Qt::black);
        last = QPoint(X(1), Y(q(n - 3).MA3));
        for (int j = 3; j <= n - 2; ++j) {
            const QPoint next(X(j + 1), Y(q(n - 1 - j).MA3));
            p.drawLine(last, next);
            last = next;
        }
    }
    return image;
}

std::vector<double> RandomWalk(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> step(0, 2);
    std::vector<double> closes;
    double c = 500;
    for (int i = 0; i < n; ++i) {
        c = std::max(1.0, c + std::round(step(rng)) * 0.5);
        closes.push_back(c);
    }
    return closes;
}

int Differences(const QImage &a, const QImage &b)
{
    int diff = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            diff += a.pixel(x, y) != b.pixel(x, y);
    return diff;
}

} // namespace

// Thousands of quotes in a few hundred columns, whole and zoomed in: the merged and
// clipped drawing gives the pixels of the plain one. Mouse kept at row 0 so that the
// reference's crosshair matches.
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
        const QImage chart = f.Grab();
        const QImage reference = Reference(f.chart, list, visible, 400, true);
        EXPECT_EQ(Differences(chart, reference), 0) << visible;
        if (qEnvironmentVariableIsSet("KORVALA_DUMP")) {
            chart.save(QStringLiteral("/tmp/ka/chart_%1.png").arg(visible));
            reference.save(QStringLiteral("/tmp/ka/ref_%1.png").arg(visible));
        }
    }
}

// The cached images give the same picture as painting everything at once, wherever the
// mouse is and after every kind of change.
TEST(FinChart, CachedPaintEqualsTheFullPaint)
{
    TFList list;
    Load(list, RandomWalk(800, 3));
    Fixture f(600, 450);
    f.chart.SetData(&list);
    f.chart.SetPeriod(50);
    f.chart.show();
    const std::vector<QPoint> moves{{0, 0}, {120, 100}, {300, 200}, {35, 285}, {589, 449},
                                    {250, 120}, {-5, 500}, {310, 260}};
    auto check = [&](const char *what) {
        for (const QPoint &at : moves) {
            QTest::mouseMove(&f.chart, at);
            EXPECT_EQ(Differences(f.Grab(), f.Direct()), 0) << what << " at " << at.x() << ","
                                                            << at.y();
        }
    };
    check("all but average");
    f.chart.SetShowMA3x3(true);
    check("average on");
    f.chart.ZoomIn();
    f.chart.ZoomIn();
    check("zoomed");
    f.chart.resize(500, 520);
    check("resized");
    list.Items(list.Count() - 2)->PivotEnabled = false;
    list.CalcLevels();
    f.chart.DataChanged();
    check("pivot off");
}
