#pragma once

// The tab "Candle" of the main window: the candle chart over a date range, the range
// controls and the timed replay.

#include "candles.h"
#include "quotes.h"

#include <QWidget>

#include <vector>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace korvala {

namespace chart {
class Chart;
class CandleSeries;
} // namespace chart

class DateTimePicker;
class SpinEdit;

// Tab "Candle": the candle chart over a date range (end date − number of days = start
// date) and its timed replay of the whole quote list, 61 candles at a time.
class CandleTabView final : public QWidget
{
    Q_OBJECT

public:
    // The tab reads the quotes; it never changes them.
    explicit CandleTabView(const TFList &quotes, QWidget *parent = nullptr);
    ~CandleTabView() override;

    // The open sequence: the end date := endDateTime (the last quote's DateTime), then
    // the end-date handler applies the range. With no quote the caller leaves it out.
    void SetEndDateAndApply(double endDateTime);
    // Refresh: the range chart from the two pickers, start then end.
    void RefreshCandles();

    chart::Chart *Chart() const { return CandleChart; }
    chart::CandleSeries *Series() const { return CandleSeries; }
    // The replay is running (Timer2 on, even at an interval that never ticks).
    bool ReplayRunning() const { return m_timer2Enabled; }

    // The range chart: the candles SelectCandles picks from start to end.
    void BuildCandles(const TFList &list, double start, double end);

    // Handlers.
    void DateTimePicker2Change();
    void SpinEdit2Change();
    void DateTimePicker1Change();
    void BitBtn1Click();
    void BitBtn2Click();
    void Timer2Timer();
    void Button2Click();

    // Controls.
    chart::Chart *CandleChart = nullptr;
    chart::CandleSeries *CandleSeries = nullptr;
    QFrame *Panel4 = nullptr;           // the range and replay panel
    QLabel *Label5 = nullptr;           // "Конец"
    DateTimePicker *DateTimePicker2 = nullptr;
    QLabel *Label6 = nullptr;           // "-"
    SpinEdit *SpinEdit2 = nullptr;      // number of days back from the end date
    QLabel *Label7 = nullptr;           // "=" or "<>" between the dates
    QLabel *Label4 = nullptr;           // "Начало"
    DateTimePicker *DateTimePicker1 = nullptr;
    QPushButton *BitBtn1 = nullptr;     // "Прокрутка": start the replay
    QPushButton *BitBtn2 = nullptr;     // "Стоп": stop the replay
    SpinEdit *SpinEdit3 = nullptr;      // replay speed, tenths of a second
    QLabel *Label8 = nullptr;           // "x 0.1 сек"
    QPushButton *Button2 = nullptr;     // "<" (hidden): end date 3 days back
    QPushButton *Button3 = nullptr;     // ">" (hidden), no handler
    QPushButton *Button4 = nullptr;     // "В начало" (hidden), no handler
    // On while the replay runs; at an interval of 0 or below it is on but never ticks,
    // until "Стоп".
    QTimer *Timer2 = nullptr;

private:
    void CreatePanel();
    void ShowReplayFrame(const TFList &list, int first, int last);
    void ShowCandles(const TFList &list, const std::vector<int> &indexes);

    const TFList &m_quotes;
    bool m_timer2Enabled = false;
    long long m_timer2Interval = 0;

    CandleReplay m_replay; // FReplayFirst, FReplayLast, FReplayWidth
};

} // namespace korvala
