#include "pwm_page.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "analog_values.h"
#include "app_main.h"
#include "captions.h"
#include "event_codes.h"
#include "io_events.h"
#include "dialogs.h"
#include "io_page_parts.h"
#include "io_texts.h"
#include "page_layout.h"
#include "ui_text.h"
#include "write_sender.h"
#include "pwm_values.h"

namespace qx {

namespace {

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

} // namespace

RO2000Scan::RO2000Scan(AppMain &app, WriteSender &writes, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
    , m_writes(writes)
{
    buildControls();

    PageHooks &hooks = m_app.hooks();
    m_events.push_back(hooks.add(kEventInputRegisters, [this](const uint8_t *r) {
        if (m_mask != kCountersNone)
            showCounters(readInputRegisterValues(r).all(), m_mask);
    }));
    m_events.push_back(hooks.add(kEventStatusReport, [this](const uint8_t *r) {
        const StatusReport report = readStatusReport(r);
        if (report.pulse)
            showCounters(*report.pulse, report.flags);
    }));
    connect(&m_app, &AppMain::portClosed, this, &RO2000Scan::portClosed);

    for (int i = 0; i < kPwmOutputs; ++i) {
        connect(m_ui.pwm[at(i)].set, &QPushButton::clicked, this, [this, i] { applySettings(i); });
        connect(m_ui.pwm[at(i)].run, &QPushButton::clicked, this, [this, i] { toggleRun(i); });
    }
    connect(m_ui.pollX1to4, &QPushButton::clicked, this, [this] { startCounters(kCountersX1to4); });
    connect(m_ui.pollX5to12, &QPushButton::clicked, this, [this] { startCounters(kCountersX5to12); });
    connect(m_ui.pollX13to24, &QPushButton::clicked, this, [this] { startCounters(kCountersX13to24); });
    connect(m_ui.pollAll, &QPushButton::clicked, this, [this] { startCounters(kCountersAll); });
    connect(m_ui.stop, &QPushButton::clicked, this, [this] {
        if (placeRequest(m_app, stopCountersRequest(target())))
            setMask(kCountersNone);
    });
    connect(m_ui.clear, &QPushButton::clicked, this, [this] {
        if (!m_writes.write(clearCountersRequest(target())))
            return;
        for (QLineEdit *field : m_ui.counters)
            field->setText(QStringLiteral("0"));
    });
}

void RO2000Scan::buildControls()
{
    auto *root = new QVBoxLayout(scrollingContent(this));

    m_ui.subStation = addSubStationRow(root, this);

    auto *pwmRow = new QHBoxLayout;
    for (int i = 0; i < kPwmOutputs; ++i)
        pwmRow->addWidget(buildPwmBox(i));
    auto *notes = new QVBoxLayout;
    for (const char *note : {io_texts::kPwmNote0, io_texts::kPwmNote1, io_texts::kPwmNote2, io_texts::kPwmNote3})
        notes->addWidget(new QLabel(uiText(note), this));
    notes->addStretch(1);
    pwmRow->addLayout(notes);
    root->addLayout(pwmRow);

    auto *counterBox = new QGroupBox(uiText(io_texts::kBoxCounters), this);
    auto *grid = new QGridLayout(counterBox);
    for (int k = 0; k < kCounterFields; ++k) {
        const QString caption = uiTextOf(io_texts::kCounterFormat, k + 1);
        auto *field = valueField(caption.chopped(1), QStringLiteral("0"), counterBox);
        field->setObjectName(QStringLiteral("X%1count").arg(k + 1));
        m_ui.counters[at(k)] = field;
        grid->addWidget(captionFor(field, caption, counterBox), k / 8, 2 * (k % 8));
        grid->addWidget(field, k / 8, 2 * (k % 8) + 1);
    }
    root->addWidget(counterBox);

    auto *buttons = new QHBoxLayout;
    m_ui.pollX1to4 = new QPushButton(uiText(io_texts::kButtonPollX1to4), this);
    m_ui.pollX5to12 = new QPushButton(uiText(io_texts::kButtonPollX5to12), this);
    m_ui.pollX13to24 = new QPushButton(uiText(io_texts::kButtonPollX13to24), this);
    m_ui.pollAll = new QPushButton(uiText(io_texts::kButtonPollAllCounters), this);
    m_ui.stop = new QPushButton(uiText(io_texts::kButtonStopPolling), this);
    m_ui.clear = new QPushButton(uiText(io_texts::kButtonClearCounters), this);
    for (QPushButton *b : {m_ui.pollX1to4, m_ui.pollX5to12, m_ui.pollX13to24, m_ui.pollAll, m_ui.stop, m_ui.clear})
        buttons->addWidget(b);
    // a note wraps rather than widen the page (longer in some languages)
    auto *note = new QLabel(uiText(io_texts::kCounterNote), this);
    note->setWordWrap(true);
    buttons->addWidget(note, 1);
    root->addLayout(buttons);
    root->addStretch(1);
}

QWidget *RO2000Scan::buildPwmBox(int index)
{
    const int n = pwmOutputNumber(index);
    auto *box = new QGroupBox(uiTextOf(io_texts::kBoxPwmFormat, n), this);
    auto *form = new QFormLayout(box);
    PwmBox &ui = m_ui.pwm[at(index)];
    const QString prefix = box->title() + QLatin1Char(' ');

    ui.unit = new QComboBox(box);
    for (const char *unit : {io_texts::kUnitMicroseconds, io_texts::kUnitMilliseconds, io_texts::kUnitSeconds})
        ui.unit->addItem(uiText(unit));
    ui.high = new QLineEdit(uiText(io_texts::kDefaultPwmTime), box);
    ui.low = new QLineEdit(uiText(io_texts::kDefaultPwmTime), box);
    ui.frequency = valueField(prefix + uiText(io_texts::kLabelFrequency), uiText(io_texts::kDefaultFrequency), box);
    ui.duty = valueField(prefix + uiText(io_texts::kLabelDuty), uiText(io_texts::kDefaultDuty), box);
    const std::pair<QWidget *, const char *> rows[] = {
        {ui.unit, io_texts::kLabelTimeUnit},      {ui.high, io_texts::kLabelHighTime},
        {ui.low, io_texts::kLabelLowTime},        {ui.frequency, io_texts::kLabelFrequency},
        {ui.duty, io_texts::kLabelDuty},
    };
    for (const auto &[field, caption] : rows) {
        QLabel *label = captionFor(field, caption, box);
        // four boxes carry the same captions: the box's title tells them apart
        field->setAccessibleName(prefix + uiText(caption));
        form->addRow(label, field);
    }
    ui.set = new QPushButton(uiText(io_texts::kButtonPwmSet), box);
    ui.set->setAccessibleName(prefix + uiText(io_texts::kButtonPwmSet));
    ui.run = new QPushButton(uiTextOf(io_texts::kPwmStartFormat, n), box);
    // checked while the page believes the output runs, as its caption says
    ui.run->setCheckable(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ui.set);
    buttons->addWidget(ui.run);
    form->addRow(buttons);
    return box;
}

IoTarget RO2000Scan::target() const
{
    return {0, subStationOf(m_ui.subStation)};
}

void RO2000Scan::applySettings(int index)
{
    PwmBox &ui = m_ui.pwm[at(index)];
    const PwmTimeCheck high = checkPwmTime(ui.high->text().toStdString(), index, true);
    const PwmTimeCheck low = checkPwmTime(ui.low->text().toStdString(), index, false);
    for (const PwmTimeCheck *check : {&high, &low}) {
        if (!check->ok) {
            m_app.dialogs().message(this, uiText(check->message));
            return;
        }
    }
    const auto unit = static_cast<PwmUnit>(ui.unit->currentIndex());
    if (!m_writes.write(pwmSettingsRequest(target(), index, unit, high.value, low.value)))
        return;
    const PwmFigures figures = pwmFigures(unit, high.value, low.value);
    ui.duty->setText(uiText(figures.duty));
    ui.frequency->setText(uiText(figures.frequency));
}

void RO2000Scan::toggleRun(int index)
{
    const bool run = !m_running[at(index)];
    if (m_writes.write(pwmRunRequest(target(), index, run)))
        m_running[at(index)] = run;
    const bool running = m_running[at(index)];
    const int n = pwmOutputNumber(index);
    QPushButton *button = m_ui.pwm[at(index)].run;
    button->setText(uiTextOf(running ? io_texts::kPwmStopFormat : io_texts::kPwmStartFormat, n));
    button->setChecked(running);
}

void RO2000Scan::startCounters(CounterGroups groups)
{
    if (placeRequest(m_app, pollCountersRequest(target(), groups)))
        setMask(groups);
}

void RO2000Scan::setMask(uint8_t mask)
{
    m_mask = mask;
    const CounterButtons b = counterButtons(mask);
    m_ui.pollX1to4->setEnabled(b.x1to4);
    m_ui.pollX5to12->setEnabled(b.x5to12);
    m_ui.pollX13to24->setEnabled(b.x13to24);
    m_ui.pollAll->setEnabled(b.all);
}

void RO2000Scan::showCounters(std::span<const uint32_t> values, uint8_t groups)
{
    const CounterUpdates updates = counterUpdates(values, groups);
    for (std::size_t k = 0; k < updates.size(); ++k)
        if (updates[k])
            m_ui.counters[k]->setText(uiText(unsignedText(*updates[k])));
}

void RO2000Scan::portClosed()
{
    setMask(kCountersNone);
}

} // namespace qx
