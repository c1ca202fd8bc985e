#pragma once

// The one application object of a GUI test program: the program's own, so that the
// standard error message is part of what the tests see.

#include "appmessages.h"

#include <QTemporaryDir>

#include <fstream>
#include <string>
#include <vector>

namespace korvala::test {

inline Application &App()
{
    static int argc = 1;
    static char name[] = "korvala-test";
    static char *argv[] = {name, nullptr};
    static auto *app = new Application(argc, argv);
    return *app;
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
