#include "pfpicture.h"

#include "codec.h"
#include "document.h"
#include "numtext.h"
#include "pfcolumns.h"
#include "pfgeometry.h"
#include "pfgridview.h"
#include "pfoverlay.h"
#include "pfstrips.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <optional>
#include <string_view>

namespace korvala {

namespace {

constexpr int kTickLength = 4;
// Room between a tick and its label.
constexpr int kTickGap = 3;
constexpr int kTitleMargin = 3;
// Room between two labels, beyond the text itself.
constexpr int kLabelGap = 8;

std::string_view DatePart(std::string_view text)
{
    return text.substr(0, text.find(' '));
}

std::string_view TimePart(std::string_view text)
{
    const std::size_t blank = text.find(' ');
    return blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
}

// A whole number ≥ 0 below step: n mod step for any sign of n.
long long Mod(long long n, long long step) { return ((n % step) + step) % step; }

} // namespace

PFPicture::Cells PFPicture::WholeChart(const PFDocument &doc)
{
    return {0, std::max(1, doc.sg.ColCount), 0, std::max(1, doc.sg.RowCount)};
}

PFPicture::Cells PFPicture::InView(const PFGridView &grid)
{
    const pfview::GridMetrics m = grid.Metrics();
    return {m.leftCol, std::max(1, pfview::PartlyVisibleCols(m)), m.topRow,
            std::max(1, pfview::PartlyVisibleRows(m))};
}

PFPicture::PFPicture(const PFDocument &doc, int magnitude, const QFont &font, Cells cells)
    : m_doc(doc)
    , m_cell(std::clamp(magnitude, pfview::kMinMagnitude, pfview::kMaxMagnitude))
    , m_font(font)
    , m_cells(cells)
{
    const TFList &columns = m_doc.FColumns;
    if (const TFPoint *first = columns.Items(0)) {
        const std::string_view time = TimePart(first->PeriodStart());
        columns.ForEach([&](const TFPoint &rec, int) {
            m_withTime = m_withTime || TimePart(rec.PeriodStart()) != time;
        });
    }
    int widest = 0;
    if (const std::optional<PFPriceScale> prices = RowPrices(m_doc)) {
        const QFontMetrics fm(m_font);
        for (const long long row : {static_cast<long long>(m_cells.firstRow),
                                    static_cast<long long>(m_cells.firstRow) + m_cells.rows - 1})
            widest = std::max(widest, fm.horizontalAdvance(
                                          QString::fromStdString(FormatN(prices->XPrice(row), 3))));
    }
    m_rulerWidth = std::max(pfview::kRulerWidth, widest + kTickLength + 2 * kTickGap);
    m_titleWidth = QFontMetrics(m_font).horizontalAdvance(Title()) + 2 * kTitleMargin;
}

QPoint PFPicture::GridOrigin() const
{
    return QPoint(m_rulerWidth + pfview::kSplitterWidth, kTitleHeight + pfview::kDateStripHeight);
}

chart::PictureSize PFPicture::Size() const
{
    const QPoint origin = GridOrigin();
    // A narrow chart leaves room on the right for its whole title.
    return {std::max<long long>(m_titleWidth,
                                origin.x() + static_cast<long long>(m_cells.cols) * m_cell + m_rulerWidth),
            origin.y() + static_cast<long long>(m_cells.rows) * m_cell + pfview::kVolumeStripHeight};
}

QString PFPicture::Title() const
{
    const std::string title = ShortText(m_doc.Caption) + "   Box " + FormatRoundTrip(m_doc.sg.Box)
                              + "   Reversal " + FormatRoundTrip(m_doc.sg.Reverse);
    return QString::fromStdString(title);
}

QString PFPicture::DateLabel(int col) const
{
    const TFPoint *rec = m_doc.FColumns.Items(col);
    if (!rec)
        return {};
    const std::string_view start = rec->PeriodStart();
    return QString::fromStdString(ShortText(m_withTime ? start : DatePart(start), 24));
}

void PFPicture::Render(QPaintDevice &device, const QRectF &target)
{
    const chart::PictureSize size = Size();
    QPainter painter(&device);
    painter.translate(target.topLeft());
    painter.scale(target.width() / static_cast<double>(size.width),
                  target.height() / static_cast<double>(size.height));
    Paint(painter);
}

void PFPicture::Paint(QPainter &painter) const
{
    const chart::PictureSize size = Size();
    const int width = static_cast<int>(size.width);
    const QPoint origin = GridOrigin();
    const int cellsW = m_cells.cols * m_cell;
    const int cellsH = m_cells.rows * m_cell;

    painter.save();
    painter.setFont(m_font);
    painter.fillRect(QRect(0, 0, width, static_cast<int>(size.height)), Qt::white);
    TextOut(painter, kTitleMargin, 2, Title());
    DrawDates(painter);

    // The cells as the grid paints them, without its current cell, and the signals over
    // them when they are on.
    pfview::GridMetrics m;
    m.colCount = std::max(1, m_doc.sg.ColCount);
    m.rowCount = std::max(1, m_doc.sg.RowCount);
    m.leftCol = m_cells.firstCol;
    m.topRow = m_cells.firstRow;
    m.cellW = m_cell;
    m.cellH = m_cell;
    m.viewW = cellsW;
    m.viewH = cellsH;
    painter.save();
    painter.translate(origin);
    PFGridView::PaintCells(painter, &m_doc.sg, m, QRect(0, 0, cellsW, cellsH));
    if (m_overlay)
        m_overlay->Draw(painter, QRect(0, 0, cellsW, cellsH), m);
    painter.restore();

    DrawPrices(painter, 0, true);
    DrawPrices(painter, origin.x() + cellsW, false);

    // The volume strip as the tab draws it, with a bar under every column.
    painter.save();
    painter.translate(0, origin.y() + cellsH);
    PFStrips::DrawVolumeBars(painter, m_doc.FColumns, QSize(width, pfview::kVolumeStripHeight),
                             m_rulerWidth, m_cell, m_cells.firstCol, m_cells.cols);
    painter.restore();
    painter.restore();
}

// The date each labelled column starts on, with a tick at the column's left edge.
void PFPicture::DrawDates(QPainter &painter) const
{
    const QFontMetrics fm(painter.font());
    const int stripTop = kTitleHeight;
    const int tickBottom = stripTop + pfview::kDateStripHeight - 1;
    const int gridX = GridOrigin().x();
    const int rightEnd = static_cast<int>(Size().width);
    const long long step = pfview::LabelStep(
        m_cell, fm.horizontalAdvance(DateLabel(m_cells.firstCol)) + kLabelGap);
    const int firstLabelled = m_cells.firstCol + static_cast<int>(Mod(-m_cells.firstCol, step));
    for (long long c = firstLabelled; c < m_cells.firstCol + m_cells.cols; c += step) {
        const QString label = DateLabel(static_cast<int>(c));
        const int x = gridX + static_cast<int>(c - m_cells.firstCol) * m_cell;
        if (label.isEmpty() || x + 2 + fm.horizontalAdvance(label) > rightEnd)
            continue;
        painter.setPen(Qt::black);
        painter.drawLine(x, tickBottom - kTickLength + 1, x, tickBottom);
        TextOut(painter, x + 2, stripTop + 1, label);
    }
}

// The price that labelled rows stand for (in an X column), beside a tick at the row's
// middle: right-aligned on the left ruler, left-aligned on the right one.
void PFPicture::DrawPrices(QPainter &painter, int left, bool rightAligned) const
{
    const std::optional<PFPriceScale> prices = RowPrices(m_doc);
    if (!prices)
        return;
    const QFontMetrics fm(painter.font());
    const QPoint origin = GridOrigin();
    const long long step = pfview::LabelStep(m_cell, fm.height() + 2);
    painter.save();
    painter.setClipRect(QRect(left, kTitleHeight, m_rulerWidth,
                              pfview::kDateStripHeight + m_cells.rows * m_cell + fm.height() / 2));
    // Rows whose distance from the first quote's row is a whole number of steps, so
    // that the labels keep to round multiples of the box.
    const long long first = m_cells.firstRow + Mod(prices->q0Row - m_cells.firstRow, step);
    for (long long r = first; r < m_cells.firstRow + m_cells.rows; r += step) {
        const int y = origin.y() + static_cast<int>(r - m_cells.firstRow) * m_cell + m_cell / 2;
        const QString label = QString::fromStdString(FormatN(prices->XPrice(r), 3));
        const int w = fm.horizontalAdvance(label);
        painter.setPen(Qt::black);
        if (rightAligned) {
            painter.drawLine(left + m_rulerWidth - kTickLength, y, left + m_rulerWidth - 1, y);
            TextOut(painter, left + m_rulerWidth - kTickLength - kTickGap - w, y - fm.height() / 2, label);
        } else {
            painter.drawLine(left, y, left + kTickLength - 1, y);
            TextOut(painter, left + kTickLength + kTickGap, y - fm.height() / 2, label);
        }
    }
    painter.restore();
}

} // namespace korvala
