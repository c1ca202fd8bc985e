#pragma once

// TfReport: the report window. Shows a text report in an editable memo and saves it as
// an 8-bit text file.

#include <QDialog>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QFileDialog;
class QMenuBar;
class QPlainTextEdit;

namespace korvala {

class TfReport final : public QDialog
{
    Q_OBJECT

public:
    // Asks for the file to save to with the prepared dialog; an empty text cancels.
    using TAskSavePath = std::function<QString(QFileDialog &sd)>;

    explicit TfReport(QWidget *parent = nullptr);
    ~TfReport() override;

    // The report lines of the memo.
    void Clear();
    void AddLine(const std::string &line);
    void SetLines(const std::vector<std::string> &lines);
    std::vector<std::string> Lines() const;

    // Shows the window modally; returns when the user closes it.
    void ShowModal();

    // Menu "Save": proposes "rep0001.txt" and writes every line followed by CR LF in
    // cp1251, replacing an existing file. Throws ReportFileError naming the file and
    // the reason when it cannot be written; the memo keeps its text.
    void N1Click();

    // Replaces running the save dialog (tests).
    void SetAskSavePath(TAskSavePath ask) { m_askSavePath = std::move(ask); }

    QPlainTextEdit *re;
    QMenuBar *MainMenu1;
    QAction *N1;
    QFileDialog *sd;

private:
    TAskSavePath m_askSavePath;
};

} // namespace korvala
