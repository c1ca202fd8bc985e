#pragma once

// ReplayBar: the controls of a replay that builds a chart quote by quote from a chosen
// date — start, pause, one quote forward or back, stop, the speed, and the date of the
// quote reached — for the P&F and line-break tabs.

#include <QFrame>
#include <QString>

class QLabel;
class QPushButton;
class QTimer;

namespace korvala {

class DateTimePicker;
class SpinEdit;
class TFList;

// What a replay drives: a chart that can show the build of the first quotes.
class ReplayTarget
{
public:
    // The replay begins (the chart of the whole list is to be kept for its end). Throws
    // when there is nothing to replay.
    virtual void Begin() = 0;
    // The chart of the first `taken` quotes (1 … the number of quotes).
    virtual void Show(int taken) = 0;
    // The replay ends: the chart of the whole list comes back.
    virtual void End() = 0;

protected:
    ~ReplayTarget() = default;
};

class ReplayBar final : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kSpeedInitial = 10; // quotes per second
    static constexpr int kSpeedMax = 10000;

    ReplayBar(const TFList &quotes, ReplayTarget &target, QWidget *parent = nullptr);
    ~ReplayBar() override;

    // "Пуск": from the start date, or on from where a pause left it (from the start date
    // again once the last quote is reached).
    void Play();
    // "Пауза": the chart stays as it is.
    void Pause();
    // "<", ">": one quote back or forward; a replay not yet begun begins, paused.
    void StepBack();
    void StepForward();
    // "Стоп": the whole chart comes back.
    void Stop();
    // One tick of the running replay: as many quotes as the speed asks for.
    void Tick();
    // Another file was opened: any replay stops, the start date becomes its first date.
    void QuotesChanged();

    bool Active() const { return m_active; }
    bool Running() const;
    int Taken() const { return m_taken; }
    // "1 234 / 10 000  01.12.05 10:00": the quote reached, of how many, and its date.
    QString ReachedText() const;
    int TimerInterval() const;

    DateTimePicker *StartDate = nullptr;
    QPushButton *btnPlay = nullptr;
    QPushButton *btnPause = nullptr;
    QPushButton *btnBack = nullptr;
    QPushButton *btnForward = nullptr;
    QPushButton *btnStop = nullptr;
    SpinEdit *Speed = nullptr;

private:
    void Begin();
    void Step(int quotes);
    void GoTo(int taken);
    void SpeedChange();
    void UpdateControls();

    const TFList &m_quotes;
    ReplayTarget &m_target;
    QTimer *m_timer = nullptr;
    QLabel *m_reached = nullptr;
    bool m_active = false;
    int m_taken = 0;
    int m_stepsPerTick = 1;
};

} // namespace korvala
