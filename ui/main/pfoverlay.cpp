#include "pfoverlay.h"

#include "document.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace korvala {

namespace pfview {

QPointF CellCentre(const GridMetrics &m, int col, long long row)
{
    return QPointF((static_cast<double>(col) - m.leftCol) * m.cellW + m.cellW / 2.0,
                   (static_cast<double>(row) - m.topRow) * m.cellH + m.cellH / 2.0);
}

std::pair<int, int> ColumnsInView(const GridMetrics &m)
{
    return {m.leftCol, m.leftCol + PartlyVisibleCols(m) - 1};
}

std::optional<QLineF> LineInView(const GridMetrics &m, const PFTrendLine &line)
{
    const auto [first, last] = ColumnsInView(m);
    const int a = std::max(line.FromColumn, first);
    const int b = std::min(line.ToColumn, last);
    if (a > b)
        return std::nullopt;
    const QPointF p = CellCentre(m, a, line.RowAt(a));
    const QPointF q = CellCentre(m, b, line.RowAt(b));
    const double above = -m.cellH;
    const double below = m.viewH + m.cellH;
    if ((p.y() < above && q.y() < above) || (p.y() > below && q.y() > below))
        return std::nullopt;
    return QLineF(p, q);
}

std::optional<QLineF> ObjectiveDash(const GridMetrics &m, const PFPriceScale &scale, double price)
{
    const double y = (scale.RowOfPrice(price) - m.topRow) * m.cellH + m.cellH / 2.0;
    if (!(y >= 0 && y <= m.viewH))
        return std::nullopt;
    return QLineF(m.viewW - 12, y, m.viewW - 2, y);
}

} // namespace pfview

const QColor PFSignalOverlay::kBuyColor(0, 128, 0);
const QColor PFSignalOverlay::kSellColor(200, 0, 0);

namespace {

const QColor &KindColor(PFSignalKind kind)
{
    return kind == PFSignalKind::Buy ? PFSignalOverlay::kBuyColor : PFSignalOverlay::kSellColor;
}

// A mark's square: a little larger than a cell, never smaller than a readable letter.
int GlyphSize(int cellSize) { return std::max(9, cellSize + 2); }

} // namespace

PFSignalOverlay::PFSignalOverlay(const PFDocument &doc) : m_doc(doc) {}

void PFSignalOverlay::BuildDone()
{
    m_signals.reset();
    if (m_doc.Built)
        m_built = std::pair{m_doc.FBox, m_doc.FReverse};
    else
        m_built.reset();
}

void PFSignalOverlay::Forget()
{
    m_signals.reset();
    m_built.reset();
}

const PFSignals &PFSignalOverlay::Signals() const
{
    if (!m_signals) {
        m_signals = m_built ? FindPFSignals(m_doc.sg, m_doc.FColTopRow, m_doc.FColBottomRow,
                                            m_built->first, m_built->second, m_doc.QuoteList)
                            : PFSignals{};
        m_reach.clear();
        int reach = -1;
        for (const PFTrendLine &line : m_signals->Lines) {
            reach = std::max(reach, line.ToColumn);
            m_reach.push_back(reach);
        }
    }
    return *m_signals;
}

const PFSignal *PFSignalOverlay::SignalAt(int col, int row) const
{
    return Signals().SignalAt(col, row);
}

std::pair<std::size_t, std::size_t> PFSignalOverlay::LinesNear(int first, int last) const
{
    const std::vector<PFTrendLine> &lines = Signals().Lines;
    const auto begin = std::lower_bound(m_reach.begin(), m_reach.end(), first) - m_reach.begin();
    const auto end = std::upper_bound(lines.begin(), lines.end(), last,
                                      [](int c, const PFTrendLine &l) { return c < l.FromColumn; })
                     - lines.begin();
    return {static_cast<std::size_t>(begin), static_cast<std::size_t>(std::max(begin, end))};
}

void PFSignalOverlay::Draw(QPainter &painter, const QRect &rect, const pfview::GridMetrics &m) const
{
    if (Signals().ColumnCount == 0)
        return;
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    DrawLines(painter, rect, m);
    DrawMarks(painter, rect, m);
    DrawObjectives(painter, rect, m);
    painter.restore();
}

void PFSignalOverlay::DrawLines(QPainter &painter, const QRect &rect, const pfview::GridMetrics &m) const
{
    const PFSignals &s = Signals();
    const auto [first, last] = pfview::ColumnsInView(m);
    const auto [begin, end] = LinesNear(first, last);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF area = QRectF(rect).adjusted(-2, -2, 2, 2);
    for (std::size_t i = begin; i < end; ++i) {
        const PFTrendLine &line = s.Lines[i];
        const std::optional<QLineF> segment = pfview::LineInView(m, line);
        if (!segment || !area.intersects(QRectF(segment->p1(), segment->p2()).normalized().adjusted(-1, -1, 1, 1)))
            continue;
        QPen pen(line.Kind == PFTrendKind::Support ? kBuyColor : kSellColor);
        pen.setWidthF(line.Broken ? 1.0 : 2.0);
        pen.setStyle(line.Broken ? Qt::DashLine : Qt::SolidLine);
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        painter.drawLine(*segment);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

const QImage &PFSignalOverlay::Glyph(PFSignalKind kind, int cellSize, qreal ratio) const
{
    for (const auto &[key, image] : m_glyphs)
        if (key.kind == kind && key.cellSize == cellSize && key.ratio == ratio)
            return image;
    const int size = GlyphSize(cellSize);
    QImage image(QSize(size, size) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(size - 1);
    QPainterPath path;
    const QString letter = kind == PFSignalKind::Buy ? QStringLiteral("B") : QStringLiteral("S");
    path.addText(0, 0, font, letter);
    const QRectF bounds = path.boundingRect();
    path.translate(size / 2.0 - bounds.center().x(), size / 2.0 - bounds.center().y());
    // A white rim keeps the letter readable on the coloured boxes.
    p.strokePath(path, QPen(Qt::white, 2.0));
    p.fillPath(path, KindColor(kind));
    p.end();
    m_glyphs.emplace_back(GlyphKey{kind, cellSize, ratio}, std::move(image));
    return m_glyphs.back().second;
}

void PFSignalOverlay::DrawMarks(QPainter &painter, const QRect &rect, const pfview::GridMetrics &m) const
{
    const PFSignals &s = Signals();
    const auto [first, last] = pfview::ColumnsInView(m);
    const int size = GlyphSize(m.cellW);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    auto it = std::lower_bound(s.Signals.begin(), s.Signals.end(), first,
                               [](const PFSignal &g, int c) { return g.Column < c; });
    for (; it != s.Signals.end() && it->Column <= last; ++it) {
        const QPointF centre = pfview::CellCentre(m, it->Column, it->Row);
        const QRect box(qRound(centre.x() - size / 2.0), qRound(centre.y() - size / 2.0), size, size);
        if (box.intersects(rect))
            painter.drawImage(box.topLeft(), Glyph(it->Kind, m.cellW, ratio));
    }
}

void PFSignalOverlay::DrawObjectives(QPainter &painter, const QRect &rect, const pfview::GridMetrics &m) const
{
    const PFSignals &s = Signals();
    const auto [first, last] = pfview::ColumnsInView(m);
    auto it = std::lower_bound(s.Objectives.begin(), s.Objectives.end(), first,
                               [](const PFObjective &o, int c) { return o.Column < c; });
    for (; it != s.Objectives.end() && it->Column <= last; ++it) {
        const std::optional<QLineF> dash = pfview::ObjectiveDash(m, s.Scale, it->Price);
        if (!dash || !rect.intersects(QRect(dash->p1().toPoint(), dash->p2().toPoint()).adjusted(0, -2, 0, 2)))
            continue;
        painter.setPen(QPen(KindColor(it->Kind), 2.0));
        painter.drawLine(*dash);
    }
}

} // namespace korvala
