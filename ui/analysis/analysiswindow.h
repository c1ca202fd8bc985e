#pragma once

// TForm2: the analysis window. Hosts the analysis chart with its layer switches, zoom
// buttons and period, the pivot check list, the two price calculators and the report
// buttons.

#include "quotes.h"

#include <QDialog>
#include <QFont>

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
    QWidget *Panel1;
    QCheckBox *CheckBox1;
    QCheckBox *CheckBox2;
    QCheckBox *CheckBox3;
    QCheckBox *CheckBox4;
    QSpinBox *SpinEdit1;
    QPushButton *Button1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    QPushButton *BitBtn3;
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QLabel *Label1;
    QLabel *Label2;
    QCheckBox *CheckBox5;
    QLineEdit *Edit3;
    QLineEdit *Edit4;
    QLineEdit *Edit5;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QWidget *Panel2;
    QSplitter *Splitter1;
    QListView *cbx;
    SwingListModel *cbxItems;
    QPushButton *Button2;
    QPlainTextEdit *mm;
    QPushButton *Button3;

private:
    void CreateBottomPanel();
    void CreateLeftPanel();
    void ConnectHandlers();
    void ShowReport(const std::vector<std::string> &lines);

    TFinChart *FChart;
    TfReport *m_report;
};

} // namespace korvala
