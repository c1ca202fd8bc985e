#pragma once

// TfIndic: the indicator window. The closes and their smoothed, displaced average as
// two line series, with the period and offset spins.

#include "quotes.h"

#include <QSize>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;

namespace korvala {

namespace chart {
class Chart;
class ExportPicture;
class LineSeries;
} // namespace chart

class SpinEdit;

// The indicator window: the closes (red, labelled with their dates) and their smoothed
// average displaced forward (green). Not modal; created once and kept.
class TfIndic final : public QWidget
{
    Q_OBJECT

public:
    // quotes: the main window's quote list, read when the lines are computed.
    explicit TfIndic(const TFList *quotes = nullptr, QWidget *parent = nullptr);
    ~TfIndic() override;

    void SetQuoteList(const TFList *quotes);

    // Recomputes both lines from the quote list with FPeriod and FOffset. A period of 0
    // stops at the first smoothing step: the lines keep the points made so far and the
    // error is thrown (std::runtime_error) for the application's error message.
    void CalcIndicator();

    // The chart as a picture of size pixels (the chart's own size when empty). The
    // chart's context menu saves, copies and prints it.
    std::unique_ptr<chart::ExportPicture> ChartPicture(QSize size = {}) const;

    // Handlers.
    void spPeriodChange();
    void CheckBox1Click();
    void CheckBox2Click();

    // Controls.
    QFrame *Panel1 = nullptr;           // top panel
    QLabel *Label1 = nullptr;           // "Last"
    SpinEdit *SpinEdit1 = nullptr;      // no handler: changes nothing
    QComboBox *ComboBox1 = nullptr;     // no handler: changes nothing
    QCheckBox *CheckBox1 = nullptr;     // value marks of the closes
    QCheckBox *CheckBox2 = nullptr;     // value marks of the average
    SpinEdit *spPeriod = nullptr;       // the period of the average
    SpinEdit *spOffset = nullptr;       // how far the average is displaced
    chart::Chart *Chart1 = nullptr;
    chart::LineSeries *Series1 = nullptr; // the closes
    chart::LineSeries *Series2 = nullptr; // the smoothed, displaced average

private:

    class DateLabels;

    void FormCreate();

    const TFList *m_quotes = nullptr;
    std::shared_ptr<const DateLabels> m_labels;

    int FPeriod = 0;
    int FOffset = 0;
};

} // namespace korvala
