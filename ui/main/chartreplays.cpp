#include "chartreplays.h"

#include "chart.h"
#include "document.h"
#include "linebreakview.h"

namespace korvala {

namespace {

// Beyond this many bricks a step refills the series rather than adding or dropping them.
constexpr std::size_t kBricksPerStep = 64;

} // namespace

PFReplayTarget::PFReplayTarget(PFDocument &doc, Changed changed)
    : m_doc(doc), m_changed(std::move(changed))
{
}

PFReplayTarget::~PFReplayTarget() = default;

void PFReplayTarget::Begin()
{
    m_replay = std::make_unique<PFDocumentReplay>(m_doc);
    m_changed(0);
}

void PFReplayTarget::Show(int taken)
{
    m_replay->GoTo(taken);
    m_changed(m_replay->LastRowShift());
}

void PFReplayTarget::End()
{
    if (!m_replay)
        return;
    const int shift = m_replay->RowShiftAtEnd();
    m_replay.reset();
    m_changed(shift);
}

LineBreakReplayTarget::LineBreakReplayTarget(const TFList &quotes, chart::CandleSeries &series)
    : m_quotes(quotes), m_series(series)
{
}

LineBreakReplayTarget::~LineBreakReplayTarget() = default;

void LineBreakReplayTarget::Begin()
{
    m_build = std::make_unique<LineBreakReplayBuild>(m_quotes);
    AssignLineBricks(m_series, m_build->Bricks());
    m_shown = m_build->Bricks().size();
}

void LineBreakReplayTarget::Show(int taken)
{
    m_build->GoTo(taken);
    const std::vector<LineBrick> &bricks = m_build->Bricks();
    if (bricks.size() > m_shown + kBricksPerStep || bricks.size() + kBricksPerStep < m_shown) {
        AssignLineBricks(m_series, bricks);
    } else {
        for (; m_shown > bricks.size(); --m_shown)
            m_series.RemoveLast();
        for (; m_shown < bricks.size(); ++m_shown) {
            const LineBrick &b = bricks[m_shown];
            m_series.Add(b.Open, b.High, b.Low, b.Close);
        }
    }
    m_shown = bricks.size();
}

void LineBreakReplayTarget::End()
{
    if (!m_build)
        return;
    m_build.reset();
    FillLineBreakSeries(m_series, m_quotes);
}

} // namespace korvala
