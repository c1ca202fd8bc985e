#include "cursorwindow.h"

#include "pfgeometry.h"

#include <QBitmap>
#include <QCursor>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

#include <algorithm>

namespace korvala {

const QColor CursorWindow::kBackColor(240, 240, 255);

CursorWindow::CursorWindow(QWidget *owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFont(QToolTip::font());
    QPalette pal = QToolTip::palette();
    pal.setColor(QPalette::Window, kBackColor);
    setPalette(pal);
    setAutoFillBackground(true);
}

int CursorWindow::LineHeight() const { return QFontMetrics(font()).height(); }

int CursorWindow::MaxLineWidth(const QString &text) const
{
    const QFontMetrics fm(font());
    int widest = 0;
    for (const QString &line : pfview::SplitLines(text))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

void CursorWindow::ShowText(const QString &text, const QRect &rect)
{
    if (text != m_text) {
        m_text = text;
        m_lines = pfview::SplitLines(text);
        update();
    }
    setGeometry(rect);
    if (!isVisible()) {
        show();
        raise();
    }
}

void CursorWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::ToolTipText));
    const QFontMetrics fm(font());
    const int h = fm.height();
    for (int i = 0; i < m_lines.size(); ++i)
        painter.drawText(kTextInset, kTextInset + i * h + fm.ascent(), m_lines[i]);
}

int CursorMarginFromImage(const QImage &image, int hotSpotY)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = argb.height() - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 0)
                return y - hotSpotY;
    }
    return -1 - hotSpotY;
}

int CursorHeightMargin(const QCursor &cursor)
{
    if (cursor.shape() != Qt::BitmapCursor)
        return kStandardCursorHeight;
    const QPixmap pixmap = cursor.pixmap();
    if (!pixmap.isNull())
        return CursorMarginFromImage(pixmap.toImage(), cursor.hotSpot().y());
    const QBitmap mask = cursor.mask();
    if (mask.isNull())
        return kStandardCursorHeight;
    // A monochrome cursor shows the pixels its mask sets.
    QImage shown = mask.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < shown.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(shown.scanLine(y));
        for (int x = 0; x < shown.width(); ++x)
            line[x] = qGray(line[x]) < 128 ? qRgba(0, 0, 0, 255) : qRgba(0, 0, 0, 0);
    }
    return CursorMarginFromImage(shown, cursor.hotSpot().y());
}

} // namespace korvala
