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
    // Shows the warning that some characters will be saved as '?'; true: save anyway.
    using TConfirmLoss = std::function<bool(const QString &warning)>;

    explicit TfReport(QWidget *parent = nullptr);
    ~TfReport() override;

    // The report lines of the memo.
    void Clear();
    void AddLine(const std::string &line);
    void SetLines(const std::vector<std::string> &lines);
    std::vector<std::string> Lines() const;

    // Shows the window modally; returns when the user closes it.
    void ShowModal();

    // Menu "Save": when the text holds characters cp1251 cannot hold, first says which
    // (they would be written as '?') and stops unless the user goes on; then proposes
    // "rep0001.txt" and writes every line followed by CR LF in cp1251, replacing an
    // existing file. Throws ReportFileError naming the file and the reason when it
    // cannot be written; the memo keeps its text.
    void N1Click();

    // Replace running the save dialog and the warning box (tests).
    void SetAskSavePath(TAskSavePath ask) { m_askSavePath = std::move(ask); }
    void SetConfirmLoss(TConfirmLoss confirm) { m_confirmLoss = std::move(confirm); }

    QPlainTextEdit *re;
    QMenuBar *MainMenu1;
    QAction *N1;
    QFileDialog *sd;

private:
    bool ConfirmLoss(const QString &warning);

    TAskSavePath m_askSavePath;
    TConfirmLoss m_confirmLoss;
};

} // namespace korvala
