#pragma once

// Reading rendered pictures in tests: how many pixels of an area pass a test.

#include <QColor>
#include <QImage>
#include <QRect>

namespace korvala::test {

// The pixels of area (the whole image when none is given) for which pass(colour) holds.
template <class Pass>
int CountPixels(const QImage &image, Pass pass, QRect area = {})
{
    area = area.isNull() ? image.rect() : area & image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += pass(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

// Pixels of text: dark, and grey at the glyphs' smoothed edges.
inline bool IsInk(const QColor &c) { return c.red() < 120 && c.green() < 120 && c.blue() < 120; }

// Pixels of exactly one colour.
inline auto Is(const QColor &colour)
{
    return [colour](const QColor &c) { return c == colour; };
}

} // namespace korvala::test
