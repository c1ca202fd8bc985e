// The chart control through its own API and rendered pictures: candle colours and
// width, placing of points, demonstration candles, mouse zoom, line colour, value marks
// and their lazy labels, legend, title, back wall and filling the parent.

#include "chart.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest/QTest>

#include <algorithm>
#include <cmath>
#include <set>

using namespace korvala::chart;

namespace {

class QtEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[11] = "test_chart";
    char *m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

const auto *const g_environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

QImage Render(Chart &chart)
{
    chart.ReplotNow();
    QImage image(chart.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    chart.render(&image);
    return image;
}

bool IsRed(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
}
bool IsBlack(QRgb p)
{
    return qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60;
}
bool IsWhite(QRgb p)
{
    return qRed(p) > 245 && qGreen(p) > 245 && qBlue(p) > 245;
}

template<typename Pred>
int CountPixels(const QImage &image, Pred pred, QRect area = {})
{
    if (area.isNull())
        area = image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += pred(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// Bounding box of the pixels that satisfy pred.
template<typename Pred>
QRect Box(const QImage &image, Pred pred)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pred(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

// Runs of black pixels along row y: (first x, length).
std::vector<std::pair<int, int>> BlackRuns(const QImage &image, int y)
{
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < image.width(); ++x) {
        if (!IsBlack(image.pixel(x, y)))
            continue;
        if (!runs.empty() && runs.back().first + runs.back().second == x)
            ++runs.back().second;
        else
            runs.emplace_back(x, 1);
    }
    return runs;
}

class ChartTest : public ::testing::Test
{
protected:
    ChartTest() { chart.resize(400, 300); }

    QWidget *Plot() { return chart.findChild<QWidget *>(); }

    void Wheel(QPoint pos, int delta)
    {
        QWheelEvent event(pos, Plot()->mapToGlobal(pos), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Plot(), &event);
    }

    Chart chart;
};

// --- candles ------------------------------------------------------------------------------

TEST_F(ChartTest, RisingBodyWhiteFallingBodyRedBothFourPixelsWide)
{
    chart.SetLegendVisible(false);
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    candles->Add(10, 22, 8, 20); // rising
    candles->Add(20, 22, 8, 10); // falling
    const QImage image = Render(chart);

    // The falling body: a red inside two pixels wide between black outline columns.
    const QRect red = Box(image, IsRed);
    ASSERT_FALSE(red.isNull());
    EXPECT_EQ(red.width(), 2);
    EXPECT_GT(red.height(), 20);
    const int y = red.center().y();
    EXPECT_TRUE(IsBlack(image.pixel(red.left() - 1, y)));
    EXPECT_TRUE(IsBlack(image.pixel(red.right() + 1, y)));
    EXPECT_FALSE(IsBlack(image.pixel(red.left() - 2, y)));
    EXPECT_FALSE(IsBlack(image.pixel(red.right() + 2, y)));

    // The rising body on the same row (same open and close): black, white, white, black.
    const auto runs = BlackRuns(image, y);
    ASSERT_GE(runs.size(), 3u);
    const int left = runs[0].first;
    EXPECT_EQ(runs[0].second, 1);
    EXPECT_TRUE(IsWhite(image.pixel(left + 1, y)));
    EXPECT_TRUE(IsWhite(image.pixel(left + 2, y)));
    EXPECT_TRUE(IsBlack(image.pixel(left + 3, y)));
    EXPECT_LT(left, red.left());

    // Both bodies span the same rows (open 10 and close 20 in both); the wick of the
    // rising candle reaches above its body (high 22).
    EXPECT_TRUE(IsBlack(image.pixel(left + 1, red.top() - 1)));
    EXPECT_FALSE(IsBlack(image.pixel(left + 1, red.top() - 3)) && IsBlack(image.pixel(left, red.top() - 3)));
    int wickTop = red.top() - 1;
    while (wickTop > 0 && (IsBlack(image.pixel(left + 1, wickTop - 1)) || IsBlack(image.pixel(left + 2, wickTop - 1))))
        --wickTop;
    EXPECT_LT(wickTop, red.top() - 5);
}

TEST_F(ChartTest, DegenerateCandlesDrawWithoutFault)
{
    chart.SetLegendVisible(false);
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Bricks"));
    candles->Add(20, 10, 20, 10);          // falling brick with high below low
    candles->Add(15, 15, 15, 15);          // all prices equal
    candles->Add(10, 30, 5, 10);           // close equals open
    candles->Add(NAN, 1, 0, 1);            // not a number
    const QImage image = Render(chart);
    EXPECT_GT(CountPixels(image, IsRed), 10);
    EXPECT_EQ(candles->Count(), 4);
}

TEST_F(ChartTest, AddPlacesAtNextIndexAddDatedKeepsTheDate)
{
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    candles->Add(1, 2, 0.5, 1.5);
    candles->Add(2, 3, 1.5, 2.5);
    candles->Add(3, 4, 2.5, 3.5);
    ASSERT_EQ(candles->Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_DOUBLE_EQ(candles->At(i).x, i);
    EXPECT_DOUBLE_EQ(candles->At(2).close, 3.5);
    EXPECT_FALSE(candles->Dated());

    candles->Clear();
    EXPECT_EQ(candles->Count(), 0);
    const double day = 38442.4166666667; // 31.03.2005 10:00
    candles->AddDated(day, 1, 2, 0.5, 1.5);
    candles->AddDated(day + 1, 2, 3, 1.5, 2.5);
    EXPECT_TRUE(candles->Dated());
    EXPECT_EQ(candles->At(0).x, day);
    EXPECT_EQ(candles->At(1).x, day + 1);
    EXPECT_DOUBLE_EQ(candles->At(1).high, 3);
    // The view covers the dates.
    EXPECT_LT(chart.ViewFirst(), day);
    EXPECT_GT(chart.ViewLast(), day + 1);
    EXPECT_EQ(candles->At(5).x, 0); // outside: a default candle
}

TEST_F(ChartTest, ClearEmptiesTheSeriesAndThePicture)
{
    chart.SetLegendVisible(false);
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    candles->FillSampleValues(100);
    ASSERT_GT(CountPixels(Render(chart), IsRed), 0);
    candles->Clear();
    EXPECT_EQ(candles->Count(), 0);
    EXPECT_FALSE(candles->Dated());
    EXPECT_EQ(CountPixels(Render(chart), IsRed), 0);
}

TEST_F(ChartTest, SampleValuesGiveConsistentCandlesAtIndexes)
{
    chart.SetLegendVisible(false);
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    candles->AddDated(38000, 1, 2, 0, 1);
    candles->FillSampleValues(100);
    ASSERT_EQ(candles->Count(), 100);
    EXPECT_FALSE(candles->Dated());
    for (int i = 0; i < 100; ++i) {
        const Candle c = candles->At(i);
        EXPECT_DOUBLE_EQ(c.x, i);
        EXPECT_LE(c.low, std::min(c.open, c.close));
        EXPECT_GE(c.high, std::max(c.open, c.close));
    }
    // Both kinds of body are drawn.
    const QImage image = Render(chart);
    EXPECT_GT(CountPixels(image, IsRed), 20);
    EXPECT_GT(CountPixels(image, IsBlack), 200);
    // The view shows all of them, with only a little room to spare.
    EXPECT_LT(chart.ViewFirst(), 0);
    EXPECT_GT(chart.ViewFirst(), -5);
    EXPECT_GT(chart.ViewLast(), 99);
    EXPECT_LT(chart.ViewLast(), 104);
}

TEST_F(ChartTest, CrowdedCandlesStayFourPixelsWide)
{
    chart.SetLegendVisible(false);
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    std::vector<Candle> many;
    for (int i = 0; i < 50'000; ++i) {
        const double open = 100 + 10 * std::sin(i / 3000.0);
        many.push_back({0, open, open + 2, open - 2, open + (i % 2 ? 1 : -1)});
    }
    candles->Assign(many, false);
    const QImage image = Render(chart);
    for (int y = 0; y < image.height(); y += 7) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = IsRed(image.pixel(x, y)) ? run + 1 : 0;
            ASSERT_LE(run, 2) << "red inside wider than a 4-pixel body at " << x << "," << y;
        }
    }
    EXPECT_GT(CountPixels(image, IsRed), 0);
}

// --- view and mouse -----------------------------------------------------------------------

TEST_F(ChartTest, SetViewHoldsUntilResetOrRefill)
{
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    candles->FillSampleValues(100);
    chart.SetView(10, 20);
    candles->Add(1, 2, 0, 1); // an added point keeps the chosen view
    Render(chart);
    EXPECT_DOUBLE_EQ(chart.ViewFirst(), 10);
    EXPECT_DOUBLE_EQ(chart.ViewLast(), 20);
    chart.ResetZoom();
    Render(chart);
    EXPECT_LT(chart.ViewFirst(), 0);
    EXPECT_GT(chart.ViewLast(), 100);

    chart.SetView(10, 20);
    candles->FillSampleValues(30); // a refill shows everything again
    Render(chart);
    EXPECT_LT(chart.ViewFirst(), 0);
    EXPECT_GT(chart.ViewLast(), 29);
    EXPECT_LT(chart.ViewLast(), 33);
}

TEST_F(ChartTest, WheelZoomsAboutThePointerAndDoubleClickShowsAll)
{
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    candles->FillSampleValues(100);
    Render(chart);
    const double first = chart.ViewFirst();
    const double last = chart.ViewLast();

    // Near the right edge: the left end moves much more than the right one.
    Wheel(QPoint(chart.width() * 9 / 10, chart.height() / 2), 120);
    Render(chart);
    const double zoomedFirst = chart.ViewFirst();
    const double zoomedLast = chart.ViewLast();
    EXPECT_LT(zoomedLast - zoomedFirst, (last - first) * 0.95);
    EXPECT_GT(zoomedFirst - first, 3 * (last - zoomedLast));

    QTest::mouseDClick(Plot(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(chart.width() / 2, chart.height() / 2));
    Render(chart);
    EXPECT_DOUBLE_EQ(chart.ViewFirst(), first);
    EXPECT_DOUBLE_EQ(chart.ViewLast(), last);
}

TEST_F(ChartTest, ZoomOutStopsAtAllAndMouseZoomCanBeSwitchedOff)
{
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    candles->FillSampleValues(100);
    Render(chart);
    const double first = chart.ViewFirst();
    const double last = chart.ViewLast();
    for (int i = 0; i < 5; ++i)
        Wheel(QPoint(chart.width() / 2, chart.height() / 2), -120);
    Render(chart);
    EXPECT_DOUBLE_EQ(chart.ViewFirst(), first);
    EXPECT_DOUBLE_EQ(chart.ViewLast(), last);

    chart.SetMouseZoom(false);
    EXPECT_FALSE(chart.MouseZoom());
    Wheel(QPoint(chart.width() / 2, chart.height() / 2), 120);
    Render(chart);
    EXPECT_DOUBLE_EQ(chart.ViewFirst(), first);
}

TEST_F(ChartTest, DragPansWithinTheData)
{
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    candles->FillSampleValues(100);
    chart.SetView(40, 60);
    Render(chart);
    const QPoint from(chart.width() / 2, chart.height() / 2);
    QTest::mousePress(Plot(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(Plot(), from + QPoint(60, 0));
    QTest::mouseRelease(Plot(), Qt::LeftButton, Qt::NoModifier, from + QPoint(60, 0));
    Render(chart);
    // Dragging to the right brings earlier points into view; the width stays.
    EXPECT_LT(chart.ViewFirst(), 39);
    EXPECT_NEAR(chart.ViewLast() - chart.ViewFirst(), 20, 1e-6);

    // A long drag stops at the first point.
    QTest::mousePress(Plot(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(Plot(), from + QPoint(4000, 0));
    QTest::mouseRelease(Plot(), Qt::LeftButton, Qt::NoModifier, from + QPoint(4000, 0));
    Render(chart);
    EXPECT_LT(chart.ViewFirst(), 0);
    EXPECT_GT(chart.ViewFirst(), -5);
    EXPECT_NEAR(chart.ViewLast() - chart.ViewFirst(), 20, 1e-6);
}

// --- line series --------------------------------------------------------------------------

TEST_F(ChartTest, LineAddsAtNextIndexWithOrWithoutLabel)
{
    LineSeries *line = chart.AddLineSeries(QStringLiteral("Close"));
    line->Add(10);
    line->Add(11, QStringLiteral("01.04.05"));
    line->Add(12);
    line->Add(13, QStringLiteral("05.04.05"));
    ASSERT_EQ(line->Count(), 4);
    EXPECT_DOUBLE_EQ(line->ValueAt(0), 10);
    EXPECT_DOUBLE_EQ(line->ValueAt(3), 13);
    EXPECT_EQ(line->LabelAt(0), QString());
    EXPECT_EQ(line->LabelAt(1), QStringLiteral("01.04.05"));
    EXPECT_EQ(line->LabelAt(2), QString());
    EXPECT_EQ(line->LabelAt(3), QStringLiteral("05.04.05"));
    EXPECT_EQ(line->LabelAt(4), QString());
    EXPECT_LT(chart.ViewFirst(), 0);
    EXPECT_GT(chart.ViewLast(), 3);

    line->Clear();
    EXPECT_EQ(line->Count(), 0);
    line->Add(5);
    EXPECT_EQ(line->LabelAt(0), QString());
}

TEST_F(ChartTest, LineIsDrawnInItsColour)
{
    chart.SetLegendVisible(false);
    LineSeries *line = chart.AddLineSeries(QStringLiteral("Close"));
    for (int i = 0; i < 50; ++i)
        line->Add(std::sin(i / 5.0));
    const auto blue = [](QRgb p) { return qBlue(p) > 180 && qRed(p) < 120 && qGreen(p) < 120; };
    const auto green = [](QRgb p) { return qGreen(p) > 100 && qRed(p) < 80 && qBlue(p) < 80; };
    line->SetColor(QColor(0, 0, 255));
    EXPECT_EQ(line->Color(), QColor(0, 0, 255));
    QImage image = Render(chart);
    EXPECT_GT(CountPixels(image, blue), 100);
    EXPECT_EQ(CountPixels(image, green), 0);
    line->SetColor(QColor(0, 160, 0));
    image = Render(chart);
    EXPECT_EQ(CountPixels(image, blue), 0);
    EXPECT_GT(CountPixels(image, green), 100);
}

TEST_F(ChartTest, MarksShowAndHideWithTheirArrowColour)
{
    chart.SetLegendVisible(false);
    LineSeries *line = chart.AddLineSeries(QStringLiteral("Close"));
    line->SetColor(Qt::red);
    line->SetMarkArrowColor(QColor(0, 128, 128));
    for (int i = 0; i < 8; ++i)
        line->Add(100 + i % 3);
    const auto teal = [](QRgb p) { return qRed(p) < 40 && qGreen(p) > 100 && qGreen(p) < 160 && qBlue(p) > 100 && qBlue(p) < 160; };

    const QImage off = Render(chart);
    EXPECT_EQ(CountPixels(off, teal), 0);
    line->SetMarksVisible(true);
    EXPECT_TRUE(line->MarksVisible());
    const QImage on = Render(chart);
    EXPECT_NE(on, off);
    // Eight points far apart: eight arrows of eight pixels.
    EXPECT_GE(CountPixels(on, teal), 8 * 7);
    line->SetMarksVisible(false);
    EXPECT_EQ(Render(chart), off);
}

TEST_F(ChartTest, MarkStyleLabelShowsThePointLabels)
{
    chart.SetLegendVisible(false);
    LineSeries *line = chart.AddLineSeries(QStringLiteral("Close"));
    for (int i = 0; i < 5; ++i)
        line->Add(100 + i, QStringLiteral("WWWWWWWW").left(i + 1));
    line->SetMarksVisible(true);
    const QImage values = Render(chart);
    line->SetMarkStyle(LineSeries::MarkStyle::Label);
    EXPECT_EQ(line->GetMarkStyle(), LineSeries::MarkStyle::Label);
    EXPECT_NE(Render(chart), values);
}

TEST_F(ChartTest, LabelsAreAskedForOnlyForPointsInView)
{
    LineSeries *line = chart.AddLineSeries(QStringLiteral("Close"));
    std::vector<double> values(1'000'000);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = std::sin(static_cast<double>(i) / 1000.0);
    std::vector<int> asked;
    line->Assign(values, [&asked](int index) {
        asked.push_back(index);
        return QStringLiteral("L%1").arg(index);
    });
    line->SetMarksVisible(true);
    line->SetMarkStyle(LineSeries::MarkStyle::Label);
    EXPECT_EQ(line->Count(), 1'000'000);

    // The whole series in view: a handful of labels for axis and marks, not a million.
    Render(chart);
    EXPECT_GT(asked.size(), 2u);
    EXPECT_LT(asked.size(), 200u);

    asked.clear();
    chart.SetView(5000, 5100);
    Render(chart);
    ASSERT_FALSE(asked.empty());
    EXPECT_GE(*std::min_element(asked.begin(), asked.end()), 5000);
    EXPECT_LE(*std::max_element(asked.begin(), asked.end()), 5100);
    EXPECT_LT(asked.size(), 200u);
    EXPECT_EQ(line->LabelAt(123456), QStringLiteral("L123456"));
}

TEST_F(ChartTest, MarksAreThinnedToTheirWidth)
{
    LineSeries *line = chart.AddLineSeries(QStringLiteral("Close"));
    int asked = 0;
    line->Assign(std::vector<double>(10'000, 1.0), [&asked](int) {
        ++asked;
        return QStringLiteral("label");
    });
    line->SetMarksVisible(true);
    line->SetMarkStyle(LineSeries::MarkStyle::Label);
    chart.SetView(0, 99); // 100 points on about 350 pixels
    Render(chart);
    // "label" is some 30 pixels wide: far fewer than 100 marks fit, but several do.
    EXPECT_GE(asked, 4);
    EXPECT_LE(asked, 40);
}

// --- chart --------------------------------------------------------------------------------

TEST_F(ChartTest, LegendShowsAndHidesInTheTopLeftCorner)
{
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Series1"));
    candles->Add(10, 11, 9, 10.5);
    candles->Add(10, 11, 9, 10.5);
    EXPECT_TRUE(chart.LegendVisible());
    const QImage shown = Render(chart);
    chart.SetLegendVisible(false);
    EXPECT_FALSE(chart.LegendVisible());
    const QImage hidden = Render(chart);
    QRect changed;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != hidden.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    ASSERT_FALSE(changed.isNull());
    EXPECT_LT(changed.right(), chart.width() / 2);
    EXPECT_LT(changed.bottom(), chart.height() / 2);
}

TEST_F(ChartTest, TitleIsDrawnAboveThePlot)
{
    const auto dark = [](QRgb p) { return qGray(p) < 110; };
    // Centred above the plot, clear of the value axis labels on the left.
    const QRect top(chart.width() / 3, 0, chart.width() / 3, 12);
    chart.SetTitle(QString());
    EXPECT_EQ(CountPixels(Render(chart), dark, top), 0);
    chart.SetTitle(QStringLiteral("TChart"));
    EXPECT_EQ(chart.Title(), QStringLiteral("TChart"));
    EXPECT_GT(CountPixels(Render(chart), dark, top), 10);
    chart.SetTitle(QString());
    EXPECT_EQ(CountPixels(Render(chart), dark, top), 0);
}

TEST_F(ChartTest, BackWallColourAndClearBrush)
{
    const QRgb wall = qRgb(255, 255, 180);
    const QRect middle(chart.width() / 3, chart.height() / 3, chart.width() / 3, chart.height() / 3);
    chart.SetBackWallColor(QColor(wall));
    EXPECT_GT(CountPixels(Render(chart), [wall](QRgb p) { return p == wall; }, middle),
              middle.width() * middle.height() / 2);
    chart.SetBackWallClearBrush(true);
    const QImage clear = Render(chart);
    EXPECT_EQ(CountPixels(clear, [wall](QRgb p) { return p == wall; }), 0);
    EXPECT_GT(CountPixels(clear, IsWhite, middle), middle.width() * middle.height() / 2);
}

TEST_F(ChartTest, FlatViewAndDoubleBuffering)
{
    chart.SetView3D(true);
    EXPECT_FALSE(chart.View3D());
    chart.SetDoubleBuffered(false);
    EXPECT_FALSE(chart.DoubleBuffered());
}

TEST_F(ChartTest, RemovedSeriesLeavesThePicture)
{
    chart.SetLegendVisible(false);
    CandleSeries *candles = chart.AddCandleSeries(QStringLiteral("Candles"));
    LineSeries *line = chart.AddLineSeries(QStringLiteral("Line"));
    candles->Add(20, 22, 8, 10);
    line->Assign({1, 2, 3}, [](int i) { return QString::number(i); });
    ASSERT_GT(CountPixels(Render(chart), IsRed), 0);
    chart.RemoveSeries(candles);
    chart.RemoveSeries(line);
    EXPECT_EQ(CountPixels(Render(chart), IsRed), 0);
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
    EXPECT_EQ(chart->geometry(), QRect(0, 0, 620, 410));

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Panel")));
    auto *laidOut = new Chart(&window);
    layout->addWidget(laidOut);
    window.resize(500, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    EXPECT_GT(laidOut->y(), 0);
    EXPECT_LT(laidOut->height(), 300);
}

} // namespace
