#include "aiao_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ai_trend_view.h"
#include "analog_values.h"
#include "app_main.h"
#include "captions.h"
#include "common_texts.h"
#include "dialogs.h"
#include "event_codes.h"
#include "io_events.h"
#include "io_page_parts.h"
#include "io_texts.h"
#include "page_layout.h"
#include "scaling_store.h"
#include "shell_texts.h"
#include "ui_text.h"
#include "write_sender.h"

namespace qx {

namespace {

using io_texts::kAoRawName;
using io_texts::kColumnNames;

QLineEdit *column(const QString &channel, const char *name, const char *text, QWidget *parent)
{
    return valueField(channel + QLatin1Char(' ') + uiText(name), uiText(text), parent);
}

std::size_t index(int n)
{
    return static_cast<std::size_t>(n - 1);
}

} // namespace

RO2000Tag::RO2000Tag(AppMain &app, WriteSender &writes, ScalingStore &scaling, std::function<bool()> countersPolling,
                     QWidget *parent)
    : QWidget(parent)
    , m_app(app)
    , m_writes(writes)
    , m_scaling(scaling)
    , m_countersPolling(std::move(countersPolling))
{
    buildControls();

    PageHooks &hooks = m_app.hooks();
    m_events.push_back(hooks.add(kEventInputRegisters, [this](const uint8_t *r) {
        if (!m_countersPolling || !m_countersPolling())
            showInputs(readInputRegisterValues(r).first(kAnalogChannels));
    }));
    m_events.push_back(hooks.add(kEventHoldingRegisters, [this](const uint8_t *r) {
        showOutputs(readHoldingRegisterValues(r).first(kAnalogChannels));
    }));
    m_events.push_back(hooks.add(kEventStatusReport, [this](const uint8_t *r) {
        const StatusReport report = readStatusReport(r);
        if (report.analog32)
            showInputs(*report.analog32);
        if (report.analog16)
            showOutputs(*report.analog16);
    }));
    connect(&m_app, &AppMain::portClosed, this, &RO2000Tag::portClosed);

    connect(m_ui.loadScaling, &QPushButton::clicked, this, &RO2000Tag::loadScalingFile);
    const auto poll = [this](QPushButton *button, SlotRequest (*request)(IoTarget), void (AnalogPollState::*change)()) {
        connect(button, &QPushButton::clicked, this, [this, request, change] {
            if (!placeRequest(m_app, request(target())))
                return;
            (m_poll.*change)();
            applyButtons();
        });
    };
    poll(m_ui.pollAi, pollAnalogInputsRequest, &AnalogPollState::inputsStarted);
    poll(m_ui.stopAi, stopAnalogInputsRequest, &AnalogPollState::inputsStopped);
    poll(m_ui.pollAo, pollAnalogOutputsRequest, &AnalogPollState::outputsStarted);
    poll(m_ui.stopAo, stopAnalogOutputsRequest, &AnalogPollState::outputsStopped);
    for (int n = 1; n <= kAnalogChannels; ++n)
        connect(m_ui.aoWrite[index(n)], &QPushButton::clicked, this, [this, n] { writeOutput(n); });
    connect(m_ui.trendSwitch, &QCheckBox::toggled, m_ui.trend, &QWidget::setVisible);
}

void RO2000Tag::buildControls()
{
    auto *root = new QVBoxLayout(scrollingContent(this));

    m_ui.subStation = addSubStationRow(root, this);

    auto *scaling = new QHBoxLayout;
    m_ui.loadScaling = new QPushButton(uiText(io_texts::kButtonLoadScaling), this);
    scaling->addWidget(m_ui.loadScaling);
    scaling->addWidget(new QLabel(uiText(io_texts::kScalingNote), this), 1);
    m_ui.trendSwitch = new QCheckBox(uiText(io_texts::kTrendSwitch), this);
    m_ui.trendSwitch->setChecked(true);
    scaling->addWidget(m_ui.trendSwitch);
    root->addLayout(scaling);

    auto *inputs = new QHBoxLayout;
    auto *aiColumn = new QVBoxLayout;
    aiColumn->addWidget(buildAiBox(io_texts::kBoxAi1, 1));
    aiColumn->addWidget(buildAiBox(io_texts::kBoxAi2, 5));
    inputs->addLayout(aiColumn, 3);
    m_ui.trend = new AiTrendView(this);
    m_ui.trend->setMinimumWidth(360);
    inputs->addWidget(m_ui.trend, 2);
    root->addLayout(inputs);

    auto *outputs = new QHBoxLayout;
    outputs->addWidget(buildAoBox(io_texts::kBoxAo1, 1));
    outputs->addWidget(buildAoBox(io_texts::kBoxAo2, 5));
    root->addLayout(outputs);

    auto *buttons = new QHBoxLayout;
    m_ui.pollAi = new QPushButton(uiText(io_texts::kButtonPollAi), this);
    m_ui.stopAi = new QPushButton(uiText(io_texts::kButtonStopAi), this);
    m_ui.pollAo = new QPushButton(uiText(io_texts::kButtonPollAo), this);
    m_ui.stopAo = new QPushButton(uiText(io_texts::kButtonStopAo), this);
    m_ui.aiDenoise = new QPushButton(uiText(io_texts::kButtonAiDenoise), this);
    m_ui.aiCalibrate = new QPushButton(uiText(io_texts::kButtonAiCalibrate), this);
    m_ui.aoCalibrate = new QPushButton(uiText(io_texts::kButtonAoCalibrate), this);
    for (QPushButton *b : {m_ui.pollAi, m_ui.stopAi, m_ui.pollAo, m_ui.stopAo, m_ui.aiDenoise,
                           m_ui.aiCalibrate, m_ui.aoCalibrate})
        buttons->addWidget(b);
    // calibration belongs to the factory: the buttons are there but never work
    for (QPushButton *b : {m_ui.aiDenoise, m_ui.aiCalibrate, m_ui.aoCalibrate})
        b->setEnabled(false);
    buttons->addWidget(new QLabel(uiText(io_texts::kCalibrationNote), this), 1);
    root->addLayout(buttons);
    root->addStretch(1);
}

QWidget *RO2000Tag::buildAiBox(const char *title, int first)
{
    auto *box = new QGroupBox(uiText(title), this);
    auto *grid = new QGridLayout(box);
    grid->addWidget(new QLabel(uiText(io_texts::kAiHeading), box), 0, 1, 1, 5);
    for (int n = first; n < first + 4; ++n) {
        const QString channel = uiTextOf(io_texts::kAiFormat, n).chopped(1);
        AnalogRow &row = m_ui.ai[index(n)];
        row.raw = column(channel, kColumnNames[0], "0", box);
        row.noise = column(channel, kColumnNames[1], common_texts::kNotAvailable, box);
        row.ratio = column(channel, kColumnNames[2], common_texts::kNotAvailable, box);
        row.scaled = column(channel, kColumnNames[3], common_texts::kNotAvailable, box);
        row.unit = column(channel, kColumnNames[4], io_texts::kNoUnit, box);
        const int r = n - first + 1;
        grid->addWidget(new QLabel(uiTextOf(io_texts::kAiFormat, n), box), r, 0);
        int c = 1;
        for (QLineEdit *e : {row.raw, row.noise, row.ratio, row.scaled, row.unit}) {
            e->setObjectName(QStringLiteral("ai%1_%2").arg(n).arg(c));
            grid->addWidget(e, r, c++);
        }
    }
    return box;
}

QWidget *RO2000Tag::buildAoBox(const char *title, int first)
{
    auto *box = new QGroupBox(uiText(title), this);
    auto *grid = new QGridLayout(box);
    grid->addWidget(new QLabel(uiText(io_texts::kAoHeading), box), 0, 1, 1, 5);
    grid->addWidget(new QLabel(uiText(io_texts::kAoRange), box), 0, 6);
    for (int n = first; n < first + 4; ++n) {
        const QString channel = uiTextOf(io_texts::kAoFormat, n).chopped(1);
        AnalogRow &row = m_ui.ao[index(n)];
        row.raw = new QLineEdit(QStringLiteral("0"), box);
        row.raw->setAccessibleName(channel + QLatin1Char(' ') + uiText(kAoRawName));
        row.noise = column(channel, kColumnNames[1], common_texts::kNotAvailable, box);
        row.ratio = column(channel, kColumnNames[2], common_texts::kNotAvailable, box);
        row.scaled = column(channel, kColumnNames[3], common_texts::kNotAvailable, box);
        row.unit = column(channel, kColumnNames[4], io_texts::kNoUnit, box);
        const int r = n - first + 1;
        grid->addWidget(captionFor(row.raw, uiTextOf(io_texts::kAoFormat, n), box), r, 0);
        int c = 1;
        for (QLineEdit *e : {row.raw, row.noise, row.ratio, row.scaled, row.unit}) {
            e->setObjectName(QStringLiteral("ao%1_%2").arg(n).arg(c));
            grid->addWidget(e, r, c++);
        }
        m_ui.aoWrite[index(n)] = new QPushButton(uiTextOf(io_texts::kAoWriteFormat, n), box);
        grid->addWidget(m_ui.aoWrite[index(n)], r, c);
    }
    return box;
}

IoTarget RO2000Tag::target() const
{
    return {0, subStationOf(m_ui.subStation)};
}

void RO2000Tag::writeOutput(int n)
{
    const AnalogOutputCheck check = checkAnalogOutput(m_ui.ao[index(n)].raw->text().toStdString(), n);
    if (!check.ok) {
        m_app.dialogs().message(this, uiText(check.message));
        return;
    }
    if (m_writes.write(writeAnalogOutputRequest(target(), n, check.value)))
        m_ui.ao[index(n)].scaled->setText(
            uiText(scaledOutputText(m_scaling.tables(), n, check.value)));
}

void RO2000Tag::showInputs(std::span<const uint32_t> values)
{
    const ScalingTables &tables = m_scaling.tables();
    for (std::size_t i = 0; i < values.size() && i < m_aiRaw.size(); ++i) {
        const int n = static_cast<int>(i + 1);
        m_aiRaw[i] = values[i];
        m_ui.ai[i].raw->setText(uiText(unsignedText(values[i])));
        m_ui.ai[i].scaled->setText(uiText(scaledInputText(tables, n, values[i])));
    }
    addTrendSample();
}

void RO2000Tag::showOutputs(std::span<const uint16_t> values)
{
    const ScalingTables &tables = m_scaling.tables();
    for (std::size_t i = 0; i < values.size() && i < m_ui.ao.size(); ++i) {
        const int n = static_cast<int>(i + 1);
        m_ui.ao[i].raw->setText(uiText(unsignedText(values[i])));
        m_ui.ao[i].scaled->setText(uiText(scaledOutputText(tables, n, values[i])));
    }
}

void RO2000Tag::loadScalingFile()
{
    FileRequest request;
    request.filter = uiText(io_texts::kScalingFilter);
    request.startFolder = QCoreApplication::applicationDirPath();
    request.defaultSuffix = uiText(io_texts::kScalingSuffix);
    const FileChoice choice = m_app.dialogs().openFile(this, request);
    if (choice.path.isEmpty())
        return;
    m_app.logFilePath(choice.path);

    const ScalingLoadResult result = m_scaling.load(choice.path.toStdString());
    m_ui.trend->setScaled(m_scaling.tables().valid != 0);
    if (!result.complete) {
        // The tables are all zero now; say why in the log rather than leave
        // the operator guessing, and stop showing the file that is gone.
        m_app.appendLog(uiText(result.message) + QStringLiteral("\r\n"));
        clearScalingColumns();
        return;
    }
    showScalingColumns();
    for (const std::string &message : result.channelMessages)
        m_app.dialogs().message(this, uiText(message));
    recomputeScaled();
}

void RO2000Tag::showScalingColumns()
{
    const ScalingTables &tables = m_scaling.tables();
    for (int n = 1; n <= kAnalogChannels; ++n) {
        for (bool ai : {true, false}) {
            const ScalingColumns c = ai ? inputScalingColumns(tables, n) : outputScalingColumns(tables, n);
            AnalogRow &row = (ai ? m_ui.ai : m_ui.ao)[index(n)];
            row.noise->setText(uiText(c.noise));
            row.ratio->setText(uiText(c.ratio));
            row.unit->setText(uiText(c.unit));
        }
    }
}

void RO2000Tag::clearScalingColumns()
{
    for (auto *rows : {&m_ui.ai, &m_ui.ao}) {
        for (AnalogRow &row : *rows) {
            row.noise->setText(uiText(common_texts::kNotAvailable));
            row.ratio->setText(uiText(common_texts::kNotAvailable));
            row.unit->setText(uiText(io_texts::kNoUnit));
        }
    }
}

void RO2000Tag::recomputeScaled()
{
    const ScalingTables &tables = m_scaling.tables();
    for (int n = 1; n <= kAnalogChannels; ++n) {
        m_ui.ai[index(n)].scaled->setText(
            uiText(scaledInputText(tables, n, m_aiRaw[index(n)])));
        // an AO edit that holds no value has nothing to scale
        AnalogRow &ao = m_ui.ao[index(n)];
        const AnalogOutputCheck value = checkAnalogOutput(ao.raw->text().toStdString(), n);
        ao.scaled->setText(value.ok ? uiText(scaledOutputText(tables, n, value.value))
                                    : uiText(common_texts::kNotAvailable));
    }
}

void RO2000Tag::addTrendSample()
{
    const ScalingTables &tables = m_scaling.tables();
    std::array<float, kAnalogChannels> values {};
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = tables.valid != 0 ? scaledInput(m_aiRaw[i], tables.aiNoise[i], tables.aiRatio[i])
                                      : static_cast<float>(m_aiRaw[i]);
    }
    m_ui.trend->addSample(values);
}

void RO2000Tag::portClosed()
{
    m_poll.portClosed();
    applyButtons();
}

void RO2000Tag::applyButtons()
{
    m_ui.pollAi->setEnabled(m_poll.canPollInputs());
    m_ui.pollAo->setEnabled(m_poll.canPollOutputs());
}

} // namespace qx
