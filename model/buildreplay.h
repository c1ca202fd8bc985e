#pragma once

// Replays that build a chart quote by quote: the P&F chart and the three-line-break
// bricks of the first k quotes of a list, grown by one quote and taken back by one as
// quickly, for the replay on the P&F and line-break tabs.

#include "document.h"
#include "linebreak.h"
#include "pfbuild.h"
#include "pfbuilder.h"
#include "quotes.h"

#include <memory>
#include <vector>

namespace korvala {

// The number of quotes a replay from a date starts with: the quotes dated before it and
// the first one at or after it; all of them when every quote is older, at least one.
// (The quotes are in ascending date order, as a quote file holds them.)
int ReplayStartCount(const TFList &quotes, double startDateTime);

// How a replay running at a number of quotes per second moves: a tick every intervalMs
// milliseconds (never more often than 25 times a second, so that each picture is seen),
// stepsPerTick quotes at each tick (as few as that allows). Speeds below 1 count as 1.
struct ReplayPace
{
    int intervalMs = 1000;
    int stepsPerTick = 1;
};
ReplayPace PaceForSpeed(int quotesPerSecond);

// The P&F chart of the first k quotes of a list, grown quote by quote: always what
// BuildPFChart gives for a list of just those quotes (statistics run) — the same grid,
// column records and the column list's extremes, MaxVolume and AvgChange. Only the
// swing figures that the statistics also write into each column record (MA3, Pivot and
// the levels) are not kept; no view of a P&F chart reads them.
//
// Going forward costs the quotes taken. Going back restarts from a point saved on the way,
// at most kCheckpointEvery - 1 quotes before the target; nothing is built from scratch.
class PFReplayBuild final
{
public:
    static constexpr int kCheckpointEvery = 128;

    // The outputs are those BuildPFChart fills; they are reset here and then hold the
    // chart of the first quote (nothing for an empty list). Throws PFError for a box or
    // quotes BuildPFChart would refuse.
    PFReplayBuild(const TFList &quotes, double box, double reverse, PFGrid &grid,
                  TFList &columns, const PFLimits &limits = {});
    PFReplayBuild(const PFReplayBuild &) = delete;
    PFReplayBuild &operator=(const PFReplayBuild &) = delete;

    int Count() const { return m_quotes.Count(); }
    int Taken() const { return m_taken; }
    // The outputs hold the chart of the first `taken` quotes (brought into 1..Count()).
    // Throws PFError when the limits would be passed (never for a list whose whole
    // chart was built within them).
    void GoTo(int taken);
    // How many rows every row of the chart moved down in the last GoTo: a new high adds
    // rows at the top, a new low changes where the rows start.
    int LastRowShift() const { return m_lastShift; }

private:
    struct Checkpoint
    {
        int taken = 0;
        PFBuilder::State state;
        int rowBase = 0;
        PFGrid::Position grid;
        int records = 0;
        double maxClose = 0;
        double minClose = 0;
        ListFigures closed;
        int folded = 0;
    };

    void TakeNext();
    void SaveCheckpoint();
    void RestoreCheckpoint(const Checkpoint &cp);
    void Publish();
    void FoldClosedRecords();

    const TFList &m_quotes;
    const double m_box;
    const PFLimits m_limits;
    PFGrid &m_grid;
    TFList &m_columns;
    PFBuilder m_builder;
    PFBuilder::State m_state;

    int m_taken = 0;
    // The closes' extremes as the statistics of the quotes taken would give them.
    double m_maxClose = 0;
    double m_minClose = TFList::kMinStart;
    // The row of the first quote in the stored rows; the stored rows move to the chart's
    // own only when it is shown.
    int m_rowBase = 0;
    int m_lastShift = 0;
    // The figures of the closed column records, those before m_folded.
    ListFigures m_closed;
    int m_folded = 0;
    std::vector<Checkpoint> m_checkpoints;
};

// A replay of a document's P&F chart: while it lives the document's chart (sg, FColumns
// and the row lists) is the chart of the first quotes taken, grown from the quotes with
// the box and reversal of the chart it replaces; when it ends that chart comes back
// unchanged.
class PFDocumentReplay final
{
public:
    // Starts with the chart of the first quote. Throws PFError when the document has no
    // chart to replay (nothing built yet, or no quote).
    explicit PFDocumentReplay(PFDocument &doc);
    ~PFDocumentReplay();
    PFDocumentReplay(const PFDocumentReplay &) = delete;
    PFDocumentReplay &operator=(const PFDocumentReplay &) = delete;

    int Count() const { return m_build->Count(); }
    int Taken() const { return m_build->Taken(); }
    void GoTo(int taken);
    // The rows' move of the last GoTo (see PFReplayBuild).
    int LastRowShift() const { return m_build->LastRowShift(); }
    // How far every row moves down when the whole chart comes back.
    int RowShiftAtEnd() const;

private:
    void SwapCharts();
    void TakeRowLists();

    PFDocument &m_doc;
    // The chart the replay stands in for, kept as it was.
    PFGrid m_grid;
    TFList m_columns;
    std::vector<int> m_topRow;
    std::vector<int> m_bottomRow;
    std::unique_ptr<PFReplayBuild> m_build;
};

// The three-line-break bricks of the first k quotes of a list, grown quote by quote:
// always what BuildLineBreakBricks gives for a list of just those quotes.
class LineBreakReplayBuild final
{
public:
    explicit LineBreakReplayBuild(const TFList &quotes);
    LineBreakReplayBuild(const LineBreakReplayBuild &) = delete;
    LineBreakReplayBuild &operator=(const LineBreakReplayBuild &) = delete;

    int Count() const { return m_quotes.Count(); }
    int Taken() const { return m_taken; }
    // The bricks of the first `taken` quotes (brought into 1..Count()).
    void GoTo(int taken);
    const std::vector<LineBrick> &Bricks() const { return m_bricks; }

private:
    const TFList &m_quotes;
    std::vector<LineBrick> m_bricks;
    // Per brick: the quote that made it and whether it rises.
    std::vector<int> m_madeBy;
    std::vector<bool> m_rising;
    LineBreakBuilder m_builder;
    int m_taken = 0;
};

} // namespace korvala
