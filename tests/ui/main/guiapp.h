#pragma once

// What the main window's tests share: the program's own application object (so that the
// standard error message is part of what the tests see), the main window as the program
// shows it, a recorder of the messages, and the quote files of testfiles.h.

#include "appmessages.h"
#include "mainwindow.h"
#include "pfgridview.h"
#include "qtestapp.h"
#include "testfiles.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace korvala::test {

inline const bool kProgramsApplication = (MakeApplication() = [](int &argc, char **argv) -> QApplication * {
    return new Application(argc, argv);
}, true);

// The main window as the program shows it on a 1024 × 768 screen, its open dialog
// answered with "cancel" (and counted in dialogs, when given), then given the file (when
// one is named).
inline std::unique_ptr<TForm1> ShownMainWindow(const std::string &file = {}, int *dialogs = nullptr)
{
    auto form = std::make_unique<TForm1>();
    form->SetOpenDialogHook([dialogs] {
        if (dialogs)
            ++*dialogs;
        return QString();
    });
    form->PlaceWindow(QSize(1024, 768));
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QCoreApplication::processEvents(); // the open dialog of the first show
    if (!file.empty()) {
        form->OpenQuoteFile(QString::fromStdString(file));
        QCoreApplication::processEvents();
    }
    return form;
}

// Moves the mouse over cell (c, r) of the grid (by default the first box of column c with
// a quote): the pointer goes there, then the grid's mouse handler runs. Gives the point.
inline QPoint Hover(TForm1 &form, int c, int r = -1)
{
    const PFGrid &g = form.Document().sg;
    for (int row = g.FirstRow(c); r < 0 && row <= g.LastRow(c); ++row)
        r = g.CellQuote(c, row) >= 0 && row < g.RowCount ? row : -1;
    const QPoint p = form.sg->CellRect(c, r).center();
    QCursor::setPos(form.sg->viewport()->mapToGlobal(p));
    form.sgMouseMove(p.x(), p.y());
    return p;
}

// Records the messages the program shows while it lives.
class MessageRecorder final
{
public:
    MessageRecorder()
    {
        m_previous = SetMessageHook([this](const AppMessage &m) { messages.push_back(m); });
    }
    ~MessageRecorder() { SetMessageHook(std::move(m_previous)); }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    std::vector<AppMessage> messages;

private:
    MessageHook m_previous;
};

} // namespace korvala::test
