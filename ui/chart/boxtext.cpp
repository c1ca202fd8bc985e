#include "boxtext.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QString>

namespace korvala::chart {

void DrawTextOnBox(QPainter &painter, int x, int y, const QString &text, const QColor &box,
                   const QColor &ink)
{
    const QFontMetrics metrics(painter.font());
    painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), box);
    painter.setPen(ink);
    painter.drawText(x, y + metrics.ascent(), text);
}

} // namespace korvala::chart
