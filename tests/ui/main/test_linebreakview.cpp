#include "linebreakview.h"

#include "chart.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace korvala;

namespace {

class LineBreakView : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_linebreakview";
            static char *argv[] = {name, nullptr};
            new QApplication(argc, argv);
        }
    }

    void Fill(double firstOpen, std::initializer_list<double> closes)
    {
        for (double c : closes) {
            TFPoint &q = quotes.AddNew();
            q.Open = quotes.Count() == 1 ? firstOpen : 0;
            q.Close = c;
            q.DateTime = 38000 + quotes.Count();
        }
    }

    TFList quotes;
    chart::Chart chart;
    chart::CandleSeries *series = chart.AddCandleSeries(QStringLiteral("LineBreakSeries"));
};

} // namespace

TEST_F(LineBreakView, BricksReplaceTheSampleCandlesAtConsecutivePositions)
{
    series->FillSampleValues(100);
    Fill(10, {11, 12, 13, 12.5, 9.5, 9, 10, 12.5});
    FillLineBreakSeries(*series, quotes);
    const chart::Candle want[] = {{0, 10, 11, 10, 11},      {1, 11, 12, 11, 12},
                                  {2, 12, 13, 12, 13},      {3, 12, 12, 9.5, 9.5},
                                  {4, 9.5, 9.5, 9, 9},      {5, 9.5, 12.5, 9.5, 12.5}};
    ASSERT_EQ(series->Count(), 6);
    EXPECT_FALSE(series->Dated());
    for (int k = 0; k < 6; ++k) {
        const chart::Candle c = series->At(k);
        EXPECT_EQ(c.x, want[k].x) << k;
        EXPECT_EQ(c.open, want[k].open) << k;
        EXPECT_EQ(c.high, want[k].high) << k;
        EXPECT_EQ(c.low, want[k].low) << k;
        EXPECT_EQ(c.close, want[k].close) << k;
    }
}

TEST_F(LineBreakView, EmptyListEmptiesTheChart)
{
    series->FillSampleValues(100);
    FillLineBreakSeries(*series, quotes);
    EXPECT_EQ(series->Count(), 0);
}

TEST_F(LineBreakView, EveryBuildStartsAfresh)
{
    Fill(10, {11, 12});
    FillLineBreakSeries(*series, quotes);
    ASSERT_EQ(series->Count(), 2);
    quotes.Clear();
    Fill(11, {10});
    FillLineBreakSeries(*series, quotes);
    ASSERT_EQ(series->Count(), 1);
    EXPECT_EQ(series->At(0).open, 11);
    EXPECT_EQ(series->At(0).low, 10);
}
