// Корвала: the program's entry. Sets the application title, creates the windows once,
// in their order, and runs the event loop until the main window closes.
//   korvala [FILE]   FILE, when given, is opened at start in place of the open dialog
//                    (a native quote file by the open sequence, any other through the
//                    import).

#include "appmessages.h"
#include "appsettings.h"
#include "aboutbox.h"
#include "analysiswindow.h"
#include "commandline.h"
#include "indicatorwindow.h"
#include "mainwindow.h"
#include "reportwindow.h"
#include "settingskeeper.h"
#include "version.h"

#include <iostream>

namespace {

// `korvala FILE --export OUT`: the picture without a window; the exit code.
int ExportWithoutWindow(const korvala::HeadlessExport &request)
{
    try {
        korvala::RunHeadlessExport(request);
        return korvala::kExitOk;
    } catch (const korvala::QuoteLineError &e) {
        std::cerr << "korvala: " << e.what() << '\n' << e.Location() << '\n';
    } catch (const std::bad_alloc &) {
        std::cerr << "korvala: out of memory\n";
    } catch (const std::exception &e) {
        std::cerr << "korvala: " << e.what() << '\n';
    }
    return korvala::kExitFailed;
}

} // namespace

int main(int argc, char *argv[])
{
    // Work without a window needs no display, and none of Qt's own options, which would
    // take --reverse for themselves (right-to-left layout).
    const bool windowless = korvala::RunsWithoutWindow(argc, argv);
    if (windowless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    int qtArgc = windowless ? 1 : argc;
    korvala::Application app(qtArgc, argv);
    if (!windowless)
        args = QCoreApplication::arguments().mid(1);

    korvala::CommandLine commandLine;
    try {
        commandLine = korvala::ParseCommandLine(args);
    } catch (const korvala::CommandLineError &e) {
        std::cerr << "korvala: " << e.what() << "\n\n" << korvala::kCommandLineUsage;
        return korvala::kExitUsage;
    }
    if (commandLine.help) {
        std::cout << korvala::kCommandLineUsage;
        return korvala::kExitOk;
    }
    if (commandLine.version) {
        std::cout << "korvala " KORVALA_VERSION "\n";
        return korvala::kExitOk;
    }
    if (commandLine.exportRequest)
        return ExportWithoutWindow(*commandLine.exportRequest);

    QGuiApplication::setDesktopFileName(QStringLiteral("korvala"));
    QApplication::setWindowIcon(QIcon(korvala::ProgramIconPixmap(64)));
    QApplication::setQuitOnLastWindowClosed(false);

    // Form1, AboutBox, fIndic, Form2, fReport: created once, alive until the end.
    korvala::TForm1 Form1;
    korvala::TAboutBox AboutBox(&Form1);
    Form1.SetAboutBox(&AboutBox);

    korvala::TfIndic fIndic;
    Form1.SetIndicatorWindowHook([&fIndic](korvala::TFList &quotes) {
        fIndic.SetQuoteList(&quotes);
        fIndic.CalcIndicator();
        fIndic.show();
        fIndic.raise();
        fIndic.activateWindow();
    });
    korvala::TForm2 Form2;
    korvala::TfReport fReport;
    Form2.SetReportWindow(&fReport);
    Form1.SetReportWindow(&fReport);
    Form1.SetAnalysisWindowHook([&Form2](korvala::TFList &quotes) { Form2.ShowFor(&quotes); });

    // The windows as the user left them: geometry, splitters, switches, the magnitude, the
    // last folder and the recent files, from the platform's place for settings.
    korvala::AppSettings settings;
    korvala::SettingsKeeper keeper(settings);
    fIndic.setObjectName(QStringLiteral("fIndic"));
    keeper.KeepMainWindow(&Form1);
    keeper.Keep(&fIndic);
    keeper.Keep(&Form2);
    keeper.Keep(&fReport);

    QObject::connect(&Form1, &korvala::TForm1::Closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // The application took its own options out of argv: what is left is ours.
    if (argc > 1)
        Form1.SetStartFile(QString::fromLocal8Bit(argv[1]));
    Form1.show();
    const int status = app.exec();
    keeper.NoteShownWindows();
    settings.Save();
    return status;
}
