// The chart keeps the layers that do not move with the mouse in cached images. On a screen
// of two device pixels per pixel they are made at the device's resolution, and after every
// kind of change they give the picture drawn without them (the export's, which lacks only
// the crosshair: the pointer is kept out of view).

#include "analysischart.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include "qtestapp.h"
#include "testfiles.h"

using namespace korvala;

// Every window of this program is drawn at twice the pixel density.
[[maybe_unused]] static const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

TEST(FinChartHiDpi, CachedPaintEqualsTheFullPaint)
{
    std::vector<double> closes;
    for (int i = 0; i < 800; ++i)
        closes.push_back(100.5 + (i * 37) % 23 + i / 40);
    TFList list;
    list.LoadFromStream(test::QuoteText(test::FlatQuoteLines(closes)));
    TFinChart chart;
    chart.resize(420, 380);
    chart.SetData(&list);
    chart.SetPeriod(50);
    chart.show();
    ASSERT_DOUBLE_EQ(chart.devicePixelRatioF(), 2.0);
    const auto check = [&](const char *what) {
        QMouseEvent away(QEvent::MouseMove, QPointF(-5, -5), chart.mapToGlobal(QPointF(-5, -5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&chart, &away);
        const QImage cached = chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage direct(chart.size() * 2, QImage::Format_RGB32);
        direct.setDevicePixelRatio(2);
        QPainter painter(&direct);
        chart.PaintPicture(painter, chart.size());
        painter.end();
        EXPECT_TRUE(cached == direct) << what;
    };
    check("all but average");
    chart.SetShowMA3x3(true);
    check("average on");
    chart.ZoomIn();
    chart.ZoomIn();
    check("zoomed");
    chart.resize(380, 420);
    check("resized");
    int newest = list.Count() - 2;
    while (list.Items(newest)->Pivot == 0)
        --newest;
    list.Items(newest)->PivotEnabled = false;
    list.CalcLevels();
    chart.DataChanged();
    check("pivot off");
}
