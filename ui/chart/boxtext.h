#pragma once

// Text written on a filled box, as the program's rulers and chart labels draw it: the box
// is the text's advance wide and the font's height high, its top-left corner at (x, y).

class QColor;
class QPainter;
class QString;

namespace korvala::chart {

void DrawTextOnBox(QPainter &painter, int x, int y, const QString &text, const QColor &box,
                   const QColor &ink);

} // namespace korvala::chart
