// The main window's speed: opening a file to the first painted grid, closing the window
// with the file open, one mouse move over
// the grid (handler, cursor window, repaint of the grid and the four strips), painting a
// 1920 × 1080 view of the grid, and scrolling a grid of millions of rows.
//
//   scripts/gen_quotes --lines 1000000 --seed 7 -o /tmp/q1m.txt
//   KORVALA_BENCH_FILE=/tmp/q1m.txt build/bench/bench_mainwin
// Without KORVALA_BENCH_FILE the bundled intraday example is used.

#include "appmessages.h"
#include "document.h"
#include "pfgridview.h"
#include "pfoverlay.h"
#include "mainwindow.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSpinBox>


#include <cstdlib>
#include <memory>
#include <random>
#include <string>

using namespace korvala;

namespace {

std::string BenchFile()
{
    const char *file = std::getenv("KORVALA_BENCH_FILE");
    return file && *file ? file : std::string(KORVALA_EXAMPLES_DIR) + "/intraday.txt";
}

// A main window the size of a large screen, with the bench file open.
std::unique_ptr<TForm1> OpenForm()
{
    auto form = std::make_unique<TForm1>();
    form->SetOpenDialogHook([] { return QString(); });
    form->resize(1920, 1200);
    form->show();
    for (int i = 0; i < 5 && !form->isVisible(); ++i)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    form->OpenQuoteFile(QString::fromStdString(BenchFile()));
    QCoreApplication::processEvents();
    return form;
}

void BM_OpenToFirstPaintedGrid(benchmark::State &state)
{
    auto form = OpenForm();
    for (auto _ : state) {
        form->OpenQuoteFile(QString::fromStdString(BenchFile()));
        form->sg->viewport()->repaint();
        QCoreApplication::processEvents();
    }
    state.counters["columns"] = form->sg->ColCount();
    state.counters["rows"] = form->sg->RowCount();
}
BENCHMARK(BM_OpenToFirstPaintedGrid)->Unit(benchmark::kMillisecond)->Iterations(3);

// What the end of the program frees: the main window with the bench file open (its
// quotes, the last build, the chart tabs), compared with opening that file above.
void BM_CloseMainWindow(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto form = OpenForm();
        state.ResumeTiming();
        form.reset();
    }
}
BENCHMARK(BM_CloseMainWindow)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

void BM_MouseMoveOverTheGrid(benchmark::State &state)
{
    auto form = OpenForm();
    form->SpinEdit1->setValue(static_cast<int>(state.range(0)));
    QCoreApplication::processEvents();
    QWidget *viewport = form->sg->viewport();
    const int w = viewport->width();
    const int h = viewport->height();
    std::mt19937 random(7);
    for (auto _ : state) {
        const QPoint p(static_cast<int>(random() % static_cast<unsigned>(w)),
                       static_cast<int>(random() % static_cast<unsigned>(h)));
        QCursor::setPos(viewport->mapToGlobal(p));
        QMouseEvent move(QEvent::MouseMove, QPointF(p), viewport->mapToGlobal(QPointF(p)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QCoreApplication::processEvents(); // the repaints of the grid, strips and pop-up
    }
}
BENCHMARK(BM_MouseMoveOverTheGrid)->Arg(1)->Arg(3)->Arg(12)->Unit(benchmark::kMillisecond);

// A grid view of the document's cells, its viewport 1920 × 1080.
std::unique_ptr<PFGridView> GridView(const PFDocument &doc, int magnitude)
{
    auto view = std::make_unique<PFGridView>();
    view->SetGrid(&doc.sg);
    view->resize(1920 + 30, 1080 + 30);
    view->show();
    QCoreApplication::processEvents();
    view->ResetView(magnitude);
    view->resize(1920 + (view->width() - view->viewport()->width()),
                 1080 + (view->height() - view->viewport()->height()));
    QCoreApplication::processEvents();
    return view;
}

PFDocument &BenchDocument()
{
    static PFDocument doc;
    if (doc.QuoteList.Count() == 0) {
        doc.OpenFile(BenchFile());
        doc.Refresh();
    }
    return doc;
}

void PaintView(const PFGridView &view, QImage &image)
{
    QPainter painter(&image);
    view.DrawCells(painter, QRect(QPoint(0, 0), image.size()));
}

void BM_PaintGridView(benchmark::State &state)
{
    const PFDocument &doc = BenchDocument();
    auto view = GridView(doc, static_cast<int>(state.range(0)));
    // The middle of the chart, where the boxes are.
    view->SetLeftCol(view->ColCount() / 2);
    view->SetTopRow(std::max(0, doc.sg.FirstRow(view->ColCount() / 2) - 40));
    QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        PaintView(*view, image);
    state.counters["viewport_w"] = view->viewport()->width();
}
BENCHMARK(BM_PaintGridView)->Arg(1)->Arg(12)->Unit(benchmark::kMillisecond);

// The same view painted as a paint event does, without (range(1) = 0) and with the
// signals overlay (range(1) = 1), magnitude range(0): the overlay may add 1 ms. The
// signals are computed once, before the timing, as the first paint after a build does.
void BM_PaintGridViewSignals(benchmark::State &state)
{
    const PFDocument &doc = BenchDocument();
    static PFSignalOverlay overlay(doc);
    overlay.BuildDone();
    state.counters["signals"] = static_cast<double>(overlay.Signals().Signals.size());
    auto view = GridView(doc, static_cast<int>(state.range(0)));
    view->SetLeftCol(view->ColCount() / 2);
    view->SetTopRow(std::max(0, doc.sg.FirstRow(view->ColCount() / 2) - 40));
    if (state.range(1))
        view->SetOverlay(&overlay);
    QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        view->DrawView(painter, image.rect());
    }
}
BENCHMARK(BM_PaintGridViewSignals)->ArgsProduct({{1, 3, 12}, {0, 1}})->Unit(benchmark::kMillisecond);

// Scrolling one step at a time and painting the view: a grid of millions of rows (a
// price range of 20 000 with box 0,01) against the bench file's grid.
void ScrollAndPaint(benchmark::State &state, const PFDocument &doc)
{
    auto view = GridView(doc, 3);
    QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    QScrollBar *bar = view->verticalScrollBar();
    std::mt19937 random(7);
    for (auto _ : state) {
        bar->setValue(static_cast<int>(random() % static_cast<unsigned>(bar->maximum() + 1)));
        PaintView(*view, image);
    }
    state.counters["rows"] = view->RowCount();
}

void BM_ScrollTallGrid(benchmark::State &state)
{
    static PFDocument doc;
    if (doc.QuoteList.Count() == 0) {
        doc.OpenBytes("tall.txt", "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n"
                                  "01.02.05;10:00;1;1;1;1;10\r\n"
                                  "02.02.05;10:00;20000;20000;1;20000;10\r\n"
                                  "03.02.05;10:00;1;20000;1;1;10\r\n"
                                  "04.02.05;10:00;15000;15000;1;15000;10\r\n");
        doc.eBox = "0,01";
        doc.eReverse = "0,03";
        doc.Refresh();
    }
    ScrollAndPaint(state, doc);
}
BENCHMARK(BM_ScrollTallGrid)->Unit(benchmark::kMillisecond);

void BM_ScrollBenchFileGrid(benchmark::State &state) { ScrollAndPaint(state, BenchDocument()); }
BENCHMARK(BM_ScrollBenchFileGrid)->Unit(benchmark::kMillisecond);

} // namespace
