#pragma once

// The program's command line:
//   korvala [FILE]
//   korvala FILE --export OUT.png|.svg|.pdf [--chart KIND] [--magnitude N] [--size WxH]
//           [--box T] [--reverse T]
//   korvala --help | --version

#include "chartexport.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace korvala {

struct CommandLine
{
    // The quote file to open; empty for none.
    QString file;
    // With --export: write that chart of the file and end, without a window.
    std::optional<HeadlessExport> exportRequest;
    bool help = false;
    bool version = false;
};

// A command line the program cannot follow; the text says why.
class CommandLineError final : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The arguments after the program's name (Qt's own options already taken out).
// Throws CommandLineError.
CommandLine ParseCommandLine(const QStringList &args);

// Whether the raw arguments ask for something done without a window (an export, the
// help or the version), for which the program needs no display.
bool RunsWithoutWindow(int argc, const char *const *argv);

// The exit codes: done, failed (the reason on stderr), bad command line.
enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

extern const char kCommandLineUsage[];

} // namespace korvala
