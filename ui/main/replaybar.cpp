#include "replaybar.h"
#include "appmessages.h"

#include "buildreplay.h"
#include "codec.h"
#include "datetimepicker.h"
#include "numtext.h"
#include "quotes.h"
#include "spinedit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <exception>

namespace korvala {

namespace {

QPushButton *Button(QWidget *parent, const QString &text, const QString &tip, int width)
{
    auto *button = new QPushButton(text, parent);
    button->setToolTip(tip);
    button->setFixedWidth(width);
    button->setAutoDefault(false);
    return button;
}

} // namespace

ReplayBar::ReplayBar(const TFList &quotes, ReplayTarget &target, QWidget *parent)
    : QFrame(parent), m_quotes(quotes), m_target(target)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->setSpacing(4);

    auto *from = new QLabel(QStringLiteral("Повтор с"), this);
    StartDate = new DateTimePicker(0, this);
    StartDate->setToolTip(QStringLiteral("Дата, с которой график строится заново"));
    btnPlay = Button(this, QStringLiteral("Пуск"), QStringLiteral("Строить график котировка за котировкой"), 60);
    btnPause = Button(this, QStringLiteral("Пауза"), QStringLiteral("Остановить на достигнутой котировке"), 60);
    btnBack = Button(this, QStringLiteral("<"), QStringLiteral("На котировку назад"), 28);
    btnForward = Button(this, QStringLiteral(">"), QStringLiteral("На котировку вперёд"), 28);
    btnStop = Button(this, QStringLiteral("Стоп"), QStringLiteral("Вернуть весь график"), 60);
    Speed = new SpinEdit(1, kSpeedMax, kSpeedInitial, this);
    Speed->setToolTip(QStringLiteral("Котировок в секунду"));
    Speed->setFixedWidth(70);
    auto *perSecond = new QLabel(QStringLiteral("котир./сек"), this);
    m_reached = new QLabel(this);
    m_reached->setTextInteractionFlags(Qt::TextSelectableByMouse);

    for (QWidget *w : std::initializer_list<QWidget *>{from, StartDate, btnPlay, btnPause, btnBack,
                                                       btnForward, btnStop, Speed, perSecond})
        layout->addWidget(w);
    layout->addSpacing(16);
    layout->addWidget(m_reached, 1);

    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, Guarded(this, &ReplayBar::Tick));
    connect(btnPlay, &QPushButton::clicked, this, Guarded(this, &ReplayBar::Play));
    connect(btnPause, &QPushButton::clicked, this, Guarded(this, &ReplayBar::Pause));
    connect(btnBack, &QPushButton::clicked, this, Guarded(this, &ReplayBar::StepBack));
    connect(btnForward, &QPushButton::clicked, this, Guarded(this, &ReplayBar::StepForward));
    connect(btnStop, &QPushButton::clicked, this, Guarded(this, &ReplayBar::Stop));
    connect(Speed, &SpinEdit::Changed, this, Guarded(this, &ReplayBar::SpeedChange));
    SpeedChange();
    UpdateControls();
}

ReplayBar::~ReplayBar() = default;

bool ReplayBar::Running() const { return m_timer->isActive(); }

int ReplayBar::TimerInterval() const { return m_timer->interval(); }

void ReplayBar::Play()
{
    if (!m_active)
        Begin();
    else if (m_taken >= m_quotes.Count())
        GoTo(ReplayStartCount(m_quotes, StartDate->Value()));
    m_timer->start();
    UpdateControls();
}

void ReplayBar::Pause()
{
    m_timer->stop();
    UpdateControls();
}

void ReplayBar::StepBack() { Step(-1); }

void ReplayBar::StepForward() { Step(1); }

void ReplayBar::Step(int quotes)
{
    m_timer->stop();
    if (!m_active)
        Begin();
    else
        GoTo(m_taken + quotes);
    UpdateControls();
}

void ReplayBar::Stop()
{
    m_timer->stop();
    if (m_active) {
        m_active = false;
        m_taken = 0;
        m_target.End();
    }
    UpdateControls();
}

void ReplayBar::Tick()
{
    if (!m_active) {
        m_timer->stop();
        return;
    }
    try {
        GoTo(std::min(m_quotes.Count(), m_taken + m_stepsPerTick));
    } catch (const std::exception &) {
        // The whole chart comes back before the error is shown.
        Stop();
        throw;
    }
    if (m_taken >= m_quotes.Count())
        Pause();
}

void ReplayBar::QuotesChanged()
{
    if (m_quotes.Count() > 0)
        StartDate->SetValue(m_quotes.Items(0)->DateTime);
    Stop();
}

void ReplayBar::Begin()
{
    m_target.Begin();
    m_active = true;
    m_taken = 0;
    try {
        GoTo(ReplayStartCount(m_quotes, StartDate->Value()));
    } catch (const std::exception &) {
        Stop();
        throw;
    }
}

void ReplayBar::GoTo(int taken)
{
    taken = std::clamp(taken, 1, std::max(1, m_quotes.Count()));
    if (taken == m_taken)
        return;
    m_target.Show(taken);
    m_taken = taken;
    m_reached->setText(ReachedText());
}

QString ReplayBar::ReachedText() const
{
    const TFPoint *q = m_active ? m_quotes.Items(m_taken - 1) : nullptr;
    if (!q)
        return QString();
    return QString::fromStdString(FormatN(m_taken, 0) + " / " + FormatN(m_quotes.Count(), 0) + "  "
                                  + ShortText(q->DateText));
}

void ReplayBar::SpeedChange()
{
    const ReplayPace pace = PaceForSpeed(Speed->Value());
    m_stepsPerTick = pace.stepsPerTick;
    m_timer->setInterval(pace.intervalMs);
}

void ReplayBar::UpdateControls()
{
    // Nothing to replay before a file is open.
    setEnabled(m_quotes.Count() > 0);
    const bool running = Running();
    btnPlay->setEnabled(!running);
    btnPause->setEnabled(running);
    btnStop->setEnabled(m_active);
    if (!m_active)
        m_reached->clear();
}

} // namespace korvala
