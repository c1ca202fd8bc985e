#pragma once

// The charts a ReplayBar drives: the P&F tab's (the document's chart) and the line-break
// tab's (its candle series).

#include "buildreplay.h"
#include "replaybar.h"

#include <cstddef>
#include <functional>
#include <memory>

namespace korvala {

namespace chart {
class CandleSeries;
} // namespace chart

class PFDocument;
class TFList;

// While the replay lasts the document's chart is the chart of the quotes taken; the
// window is told after every change, with how many rows every row moved down, so that it
// can keep its picture steady and find the cell under the pointer again.
class PFReplayTarget final : public ReplayTarget
{
public:
    using Changed = std::function<void(int rowShift)>;

    PFReplayTarget(PFDocument &doc, Changed changed);
    ~PFReplayTarget();

    void Begin() override;
    void Show(int taken) override;
    void End() override;

private:
    PFDocument &m_doc;
    Changed m_changed;
    std::unique_ptr<PFDocumentReplay> m_replay;
};

// The series shows the bricks of the quotes taken: one step adds or drops a brick at the
// end instead of refilling the series.
class LineBreakReplayTarget final : public ReplayTarget
{
public:
    LineBreakReplayTarget(const TFList &quotes, chart::CandleSeries &series);
    ~LineBreakReplayTarget();

    void Begin() override;
    void Show(int taken) override;
    void End() override;

private:
    const TFList &m_quotes;
    chart::CandleSeries &m_series;
    std::unique_ptr<LineBreakReplayBuild> m_build;
    // The bricks the series holds, the first ones of the build's.
    std::size_t m_shown = 0;
};

} // namespace korvala
