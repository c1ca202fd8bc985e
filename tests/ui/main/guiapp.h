#pragma once

// The one application object of a GUI test program: the program's own, so that the
// standard error message is part of what the tests see; made with a temporary home.

#include "appmessages.h"
#include "mainwindow.h"
#include "testhome.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace korvala::test {

inline Application &App()
{
    static int argc = 1;
    static char name[] = "korvala-test";
    static char *argv[] = {name, nullptr};
    static auto *app = [] {
        UseTemporaryHome();
        return new Application(argc, argv);
    }();
    return *app;
}

// The main window as the program shows it on a 1024 × 768 screen, its open dialog
// answered with "cancel", then given the file (when one is named).
inline std::unique_ptr<TForm1> ShownMainWindow(const std::string &file = {})
{
    App();
    auto form = std::make_unique<TForm1>();
    form->SetOpenDialogHook([] { return QString(); });
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

// A quote file in a temporary folder.
class QuoteFile final
{
public:
    QuoteFile(const std::string &name, const std::vector<std::string> &lines)
    {
        path = m_dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream out(path, std::ios::binary);
        out << "<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\r\n";
        for (const std::string &line : lines)
            out << line << "\r\n";
    }
    std::string path;

private:
    QTemporaryDir m_dir;
};

} // namespace korvala::test
