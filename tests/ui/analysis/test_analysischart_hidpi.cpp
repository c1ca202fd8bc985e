// The chart keeps the layers that do not move with the mouse in cached images. On a screen
// of two device pixels per pixel they are made at the device's resolution, and after every
// kind of change they give the picture of painting everything at once.

#include "analysischart.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include "qtestapp.h"

#include <string>

using namespace korvala;

// Every window of this program is drawn at twice the pixel density.
[[maybe_unused]] static const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

TEST(FinChartHiDpi, CachedPaintEqualsTheFullPaint)
{
    std::string text = "header\r\n";
    for (int i = 0; i < 800; ++i) {
        const std::string c = std::to_string(100 + (i * 37) % 23 + i / 40) + ",5";
        text += "01.12.05;10:00;" + c + ";" + c + ";" + c + ";" + c + ";1\r\n";
    }
    TFList list;
    list.LoadFromStream(text);
    TFinChart chart;
    chart.resize(420, 380);
    chart.SetData(&list);
    chart.SetPeriod(50);
    chart.show();
    ASSERT_DOUBLE_EQ(chart.devicePixelRatioF(), 2.0);
    const auto check = [&](const char *what) {
        for (const QPoint &at : {QPoint(0, 0), QPoint(100, 120), QPoint(33, 201), QPoint(-5, 500)}) {
            QTest::mouseMove(&chart, at);
            const QImage cached = chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
            QImage direct(chart.size() * 2, QImage::Format_RGB32);
            direct.setDevicePixelRatio(2);
            QPainter painter(&direct);
            chart.PaintDirect(painter);
            painter.end();
            EXPECT_TRUE(cached == direct) << what << " at " << at.x() << "," << at.y();
        }
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
