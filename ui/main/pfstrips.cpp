#include "pfstrips.h"

#include "boxtext.h"
#include "celltext.h"
#include "codec.h"
#include "document.h"
#include "numtext.h"
#include "pfgeometry.h"
#include "pfgridview.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

namespace korvala {

const QColor PFStrips::kCrossColor(0, 0, 255);
const QColor PFStrips::kBarColor(255, 0, 0);
const QColor PFStrips::kRiseBandFill(230, 255, 230);
const QColor PFStrips::kFallBandFill(255, 230, 230);
const QColor PFStrips::kRiseBandLine(0, 128, 0);
const QColor PFStrips::kFallBandLine(255, 0, 0);

PaintBox::PaintBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaintBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (m_onPaint)
        m_onPaint(painter);
}

void TextOut(QPainter &painter, int x, int y, const QString &text)
{
    chart::DrawTextOnBox(painter, x, y, text, Qt::white, Qt::black);
}

int FontHeightValue(const QFont &font)
{
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    return -pixels;
}

PFStrips::PFStrips(const PFViewState &state, const PFDocument &doc, const PFGridView &grid)
    : m_state(state), m_doc(doc), m_grid(grid)
{
}

void PFStrips::DrawCrossX(QPainter &painter, int x) const
{
    // From y 0 to 40, the end point left out.
    painter.setPen(kCrossColor);
    painter.drawLine(x, 0, x, 39);
    painter.setPen(Qt::black);
}

void PFStrips::DrawCrossY(QPainter &painter, int width) const
{
    painter.setPen(kCrossColor);
    painter.drawLine(0, m_state.FCellY, width - 1, m_state.FCellY);
    painter.setPen(Qt::black);
}

void PFStrips::DrawVolumeBars(QPainter &painter, QSize size, int pbcWidth) const
{
    DrawVolumeBars(painter, m_doc.FColumns, size, pbcWidth, m_grid.DefaultColWidth(),
                   m_grid.LeftCol(), m_grid.VisibleColCount());
}

void PFStrips::DrawVolumeBars(QPainter &painter, const TFList &columns, QSize size, int pbcWidth,
                              int cellW, int firstCol, int count)
{
    if (!(columns.MaxVolume > 0) || columns.Count() == 0)
        return;
    const QString label = QStringLiteral("Volume");
    const int labelWidth = QFontMetrics(painter.font()).horizontalAdvance(label);
    TextOut(painter, pbcWidth - labelWidth - 3, size.height() - 20, label);

    const int g = GridLeft(pbcWidth);
    for (int i = 0; i < count; ++i) {
        const TFPoint *rec = columns.Items(firstCol + i);
        if (!rec)
            continue;
        const int h = pfview::VolumeBarHeight(columns.MaxVolume, rec->Volume);
        const QRect bar = pfview::VolumeBarRect(g, cellW, i, size.height(), h);
        if (bar.width() > 0 && bar.height() > 0)
            painter.fillRect(bar, kBarColor);
    }
}

void PFStrips::DrawColumnBand(QPainter &painter, int width) const
{
    const TFPoint *rec = m_state.FColumnRec.get();
    const int c = m_grid.Col();
    if (!rec || c < 0 || c >= m_grid.ColCount())
        return;
    if (rec->Direction != 1 && rec->Direction != -1)
        return;
    const auto index = static_cast<std::size_t>(c);
    if (index >= m_doc.FColTopRow.size() || index >= m_doc.FColBottomRow.size())
        return;
    const bool rising = rec->Direction == 1;
    const pfview::BandEdges band = pfview::ColumnBandEdges(
        m_doc.FColTopRow[index], m_doc.FColBottomRow[index], m_grid.TopRow(),
        m_grid.DefaultRowHeight());

    painter.fillRect(QRect(0, band.top, width, band.bottom - band.top),
                     rising ? kRiseBandFill : kFallBandFill);
    painter.setPen(rising ? kRiseBandLine : kFallBandLine);
    painter.drawLine(0, band.top, width - 1, band.top);
    painter.drawLine(0, band.bottom, width - 1, band.bottom);
    painter.setPen(Qt::black);

    const int f = FontHeightValue(painter.font());
    TextOut(painter, 0, band.top + f + 3, QString::fromStdString(FormatN(rec->High, 3)));
    TextOut(painter, 0, band.bottom - 2, QString::fromStdString(FormatN(rec->Low, 3)));
}

void PFStrips::pbPaint(QPainter &painter, QSize size, int pbcWidth) const
{
    DrawVolumeBars(painter, size, pbcWidth);
    const int x = pbcWidth + m_state.FCellX + 5;
    DrawCrossX(painter, x);
    if (m_state.FCellQuote) {
        TextOut(painter, x + 1, 1, QString::fromStdString(ShortText(m_state.FCellQuote->DateText)));
    } else if (const TFPoint *rec = m_state.FColumnRec.get()) {
        TextOut(painter, x + 1, 1, QString::fromStdString(ShortText(rec->PeriodStart()) + " - " + ShortText(rec->PeriodEnd())));
    }
}

void PFStrips::pb1Paint(QPainter &painter, int pbcWidth) const
{
    const int x = pbcWidth + m_state.FCellX + 5;
    DrawCrossX(painter, x);
    if (m_state.FCellQuote)
        TextOut(painter, x + 1, 1, QString::fromStdString(ShortText(m_state.FCellQuote->DateText)));
}

int PFStrips::pbcPaint(QPainter &painter, QSize size) const
{
    DrawColumnBand(painter, size.width());
    DrawCrossY(painter, size.width());
    const int width = RulerWidthFor(size.width(), painter.font());
    if (m_state.FCellQuote) {
        const QString t = QString::fromStdString(CloseText(*m_state.FCellQuote));
        const int w = QFontMetrics(painter.font()).horizontalAdvance(t);
        TextOut(painter, width - 1 - w, m_state.FCellY + 1, t);
    }
    return width;
}

int PFStrips::RulerWidthFor(int current, const QFont &font) const
{
    if (!m_state.FCellQuote)
        return current;
    const QString t = QString::fromStdString(CloseText(*m_state.FCellQuote));
    return pfview::GrownRulerWidth(current, QFontMetrics(font).horizontalAdvance(t));
}

void PFStrips::pbc1Paint(QPainter &painter, QSize size) const
{
    DrawColumnBand(painter, size.width());
    DrawCrossY(painter, size.width());
    if (m_state.FCellQuote) {
        const QString t = QString::fromStdString(CloseText(*m_state.FCellQuote));
        const int w = QFontMetrics(painter.font()).horizontalAdvance(t);
        TextOut(painter, size.width() - 1 - w, m_state.FCellY + 1, t);
    }
}

} // namespace korvala
