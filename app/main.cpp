// Корвала: the program's entry. Sets the application title, creates the windows once,
// in their order, and runs the event loop until the main window closes.

#include "appmessages.h"
#include "aboutbox.h"
#include "analysiswindow.h"
#include "indicatorwindow.h"
#include "mainwindow.h"
#include "reportwindow.h"

int main(int argc, char *argv[])
{
    korvala::Application app(argc, argv);
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

    QObject::connect(&Form1, &korvala::TForm1::Closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    Form1.show();
    return app.exec();
}
