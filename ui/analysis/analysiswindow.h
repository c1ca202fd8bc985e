#pragma once

// TForm2: the analysis window. Hosts the analysis chart with its layer switches, zoom
// buttons and period, the pivot check list, the two price calculators and the report
// buttons.

#include "quotes.h"

#include <QDialog>
#include <QFont>
#include <QSize>

#include <memory>

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QSplitter;

namespace korvala {

namespace chart {
class ExportPicture;
} // namespace chart

class TFinChart;
class SwingListModel;
class TfReport;

// The analysis window's face: a metric-compatible stand-in for an 11-pixel
// "MS Sans Serif".
QFont AnalysisFont();

class TForm2 final : public QDialog
{
    Q_OBJECT

public:
    // report: the report window the report buttons write into (may be set later).
    explicit TForm2(TfReport *report = nullptr, QWidget *parent = nullptr);
    ~TForm2() override;

    void SetReportWindow(TfReport *report) { m_report = report; }
    TFinChart *Chart() const { return FChart; }
    // The chart as a picture of size pixels (the chart's own size when empty), without
    // the crosshair. The chart's context menu saves, copies and prints it.
    std::unique_ptr<chart::ExportPicture> ChartPicture(QSize size = {}) const;

    // Attaches the quotes to the chart and refills the pivot check list.
    void Open(TFList *quotes);
    // Open, then shows the window modally; returns when the user closes it.
    void ShowFor(TFList *quotes);

    // Refills the check list from the chart's quotes: newest pivot first.
    void FillSwingList();

    // Handlers.
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void CheckBox5Click();
    void SpinEdit1Change();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void ChartPriceDown();
    void ChartPriceUp();
    void Edit1Change();
    void Edit2Change();
    void Edit3Change();
    void cbxClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();

    // Controls.
    QWidget *Panel1;                    // bottom panel: switches, period, calculators
    QCheckBox *CheckBox1;               // "Price (Close)": the close line
    QCheckBox *CheckBox2;               // "Dinapoli": the pivot zigzag
    QCheckBox *CheckBox3;               // "Resistence & support": retracement marks
    QCheckBox *CheckBox4;               // "OP, COP, XOP": target lines
    QSpinBox *SpinEdit1;                // target period (the list's level depth)
    QPushButton *Button1;               // "Отчет": the targets report
    QPushButton *BitBtn1;               // "+": zoom in
    QPushButton *BitBtn2;               // "-": zoom out
    QPushButton *BitBtn3;               // "-><-": show every quote
    QLineEdit *Edit1;                   // F3/F6: first price (press)
    QLineEdit *Edit2;                   // F3/F6: second price (release)
    QLabel *Label1;                     // F3 result
    QLabel *Label2;                     // F6 result
    QCheckBox *CheckBox5;               // "MA 3x3": the moving average
    QLineEdit *Edit3;                   // projection: start of the move (press)
    QLineEdit *Edit4;                   // projection: end of the move (release)
    QLineEdit *Edit5;                   // projection: the point projected from (typed)
    QLabel *Label3;                     // op result
    QLabel *Label4;                     // COP result
    QLabel *Label5;                     // XOP result
    QWidget *Panel2;                    // left panel: pivot list and F-node memo
    QSplitter *Splitter1;
    QListView *cbx;
    SwingListModel *cbxItems;
    QPushButton *Button2;               // "+": copy the selected pivot into mm
    QPlainTextEdit *mm;
    QPushButton *Button3;               // "Button3": the F-nodes report

private:
    void CreateBottomPanel();
    void CreateLeftPanel();
    void ConnectHandlers();
    void ShowReport(const std::vector<std::string> &lines);

    TFinChart *FChart;
    TfReport *m_report;
};

} // namespace korvala
