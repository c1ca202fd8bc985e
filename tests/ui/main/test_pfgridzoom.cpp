// The P&F grid's zoom in the main window: Ctrl+wheel and Ctrl+plus/minus about the
// pointer keep the box under it in place and rebuild nothing; the fit picks the largest
// magnitude that shows the whole chart.

#include "guiapp.h"

#include "mainwindow.h"
#include "pfgridview.h"
#include "pfgridzoom.h"

#include <QAction>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace korvala;

namespace {

class GridZoomTest : public ::testing::Test
{
protected:

    // A box of the chart somewhere in the middle of the view: the point at its centre.
    QPoint BoxInView() const
    {
        PFGridView &g = *form->sg;
        const PFGrid &grid = form->Document().sg;
        for (int c = g.LeftCol() + g.VisibleColCount() / 3; c < g.LeftCol() + g.VisibleColCount(); ++c)
            for (int r = std::max(grid.FirstRow(c), g.TopRow()); r <= grid.LastRow(c); ++r)
                if (r < g.TopRow() + g.VisibleRowCount())
                    return g.CellRect(c, r).center();
        return QPoint();
    }

    void Wheel(QPoint at, int delta, Qt::KeyboardModifiers modifiers)
    {
        QWidget *viewport = form->sg->viewport();
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(viewport, &event);
    }

    std::unique_ptr<TForm1> form = test::ShownMainWindow(test::ExamplePath("intraday.txt"));
};

} // namespace

TEST_F(GridZoomTest, CtrlWheelAndTheKeysZoomAboutThePointerWithoutARebuild)
{
    PFGridView &g = *form->sg;
    // Scrolled into the chart so that there is room on every side.
    g.SetLeftCol(g.ColCount() / 3);
    g.SetTopRow(std::max(0, form->Document().sg.FirstRow(g.ColCount() / 2) - 20));
    const QPoint p = BoxInView();
    ASSERT_FALSE(p.isNull());
    const QPoint box = g.MouseCoord(p.x(), p.y());
    const char mark = form->Document().sg.Mark(box.x(), box.y());
    ASSERT_NE(mark, '\0');
    QCursor::setPos(g.viewport()->mapToGlobal(p));
    const long long boxes = form->Document().sg.BoxCount();
    const QString status = form->StatusText();

    // One notch up: magnitude 4, the same box under the pointer (where the zoom puts it is
    // the geometry's test), shown by the spin edit.
    Wheel(p, 120, Qt::ControlModifier);
    EXPECT_EQ(g.DefaultColWidth(), 4);
    EXPECT_EQ(form->SpinEdit1->value(), 4);
    EXPECT_EQ(form->Magnitude(), 4);
    EXPECT_EQ(g.MouseCoord(p.x(), p.y()), box);
    // Half notches (fine wheels) add up; two notches down at once go two magnitudes.
    Wheel(p, 60, Qt::ControlModifier);
    EXPECT_EQ(g.DefaultColWidth(), 4);
    Wheel(p, 60, Qt::ControlModifier);
    EXPECT_EQ(g.DefaultColWidth(), 5);
    Wheel(p, -240, Qt::ControlModifier);
    EXPECT_EQ(g.DefaultColWidth(), 3);
    // The menu items, the pointer still over the box.
    form->aZoomIn->trigger();
    form->aZoomIn->trigger();
    form->aZoomOut->trigger();
    EXPECT_EQ(g.DefaultColWidth(), 4);
    EXPECT_EQ(g.MouseCoord(p.x(), p.y()), box);
    // The strips follow the box under the pointer.
    EXPECT_EQ(QPoint(form->ViewState().FCellX, form->ViewState().FCellY), g.CellRect(box.x(), box.y()).topLeft());
    // Nothing was rebuilt: the status text of the build is still there, the cells too.
    EXPECT_EQ(form->Document().sg.BoxCount(), boxes);
    EXPECT_EQ(form->StatusText(), status);

    // The range ends at 1 and 12.
    for (int i = 0; i < 20; ++i)
        form->aZoomIn->trigger();
    EXPECT_EQ(g.DefaultColWidth(), 12);
    for (int i = 0; i < 20; ++i)
        Wheel(p, -120, Qt::ControlModifier);
    EXPECT_EQ(g.DefaultColWidth(), 1);
    // Without Ctrl the wheel scrolls and leaves the magnitude alone.
    form->SetMagnitude(6);
    const int top = g.TopRow();
    Wheel(p, -120, Qt::NoModifier);
    EXPECT_EQ(g.DefaultColWidth(), 6);
    EXPECT_NE(g.TopRow(), top);
    // A Refresh builds with the magnitude the zoom left.
    form->aRefresh->trigger();
    EXPECT_EQ(g.DefaultColWidth(), 6);
}

TEST_F(GridZoomTest, FitShowsTheWholeChartAtTheLargestMagnitudeThatFits)
{
    PFGridView &g = *form->sg;
    // The intraday chart is larger than any view at magnitude 1: the fit gives 1 and the
    // chart's start.
    g.SetLeftCol(10);
    form->aZoomFit->trigger();
    EXPECT_EQ(g.DefaultColWidth(), 1);
    EXPECT_EQ(QPoint(g.LeftCol(), g.TopRow()), QPoint(0, 0));

    // A small chart: 20 quotes.
    std::vector<std::string> lines;
    for (int i = 0; i < 20; ++i)
        lines.push_back("0" + std::to_string(1 + i % 9) + ".12.05;10:00;10;12;9;"
                        + std::to_string(i % 2 ? 10 + i : 30 - i) + ";100");
    const test::QuoteFile small("small.txt", lines);
    form->OpenQuoteFile(QString::fromStdString(small.path));
    form->aZoomFit->trigger();
    QCoreApplication::processEvents();
    const int m = g.DefaultColWidth();
    const QSize view = g.viewport()->size();
    // It fits at m and would not at m + 1.
    EXPECT_LE(g.ColCount() * m, view.width());
    EXPECT_LE(g.RowCount() * m, view.height());
    if (m < 12) {
        EXPECT_TRUE(g.ColCount() * (m + 1) > view.width() || g.RowCount() * (m + 1) > view.height()) << m;
    }
    EXPECT_GT(m, 1);
    EXPECT_EQ(form->SpinEdit1->value(), m);
    // Every column is fully visible.
    EXPECT_EQ(g.VisibleColCount(), g.ColCount());
}
