// The chart on a screen of two device pixels per pixel: the cached images are made at
// the device's resolution and give the picture of a full paint.

#include "finchart.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include "qtestapp.h"

#include <string>

using namespace korvala;

namespace {

// Every window of this program is drawn at twice the pixel density.
[[maybe_unused]] const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

} // namespace

TEST(FinChartHiDpi, CachedPaintEqualsTheFullPaint)
{
    std::string text = "header\r\n";
    for (int i = 0; i < 400; ++i) {
        const std::string c = std::to_string(100 + (i * 37) % 23) + ",5";
        text += "01.12.05;10:00;" + c + ";" + c + ";" + c + ";" + c + ";1\r\n";
    }
    TFList list;
    list.LoadFromStream(text);

    TFinChart chart;
    QPalette white = chart.palette();
    white.setColor(QPalette::Window, Qt::white);
    chart.setPalette(white);
    chart.resize(420, 380);
    chart.SetData(&list);
    chart.SetShowMA3x3(true);
    chart.show();
    ASSERT_DOUBLE_EQ(chart.devicePixelRatioF(), 2.0);
    for (const QPoint &at : {QPoint(100, 120), QPoint(33, 201)}) {
        QTest::mouseMove(&chart, at);
        const QImage cached = chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(cached.size(), QSize(840, 760));
        QImage direct(QSize(840, 760), QImage::Format_RGB32);
        direct.setDevicePixelRatio(2);
        QPainter painter(&direct);
        chart.PaintDirect(painter);
        painter.end();
        int diff = 0;
        for (int y = 0; y < direct.height(); ++y)
            for (int x = 0; x < direct.width(); ++x)
                diff += cached.pixel(x, y) != direct.pixel(x, y);
        EXPECT_EQ(diff, 0) << at.x() << "," << at.y();
    }
}
