#include "dido_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app_main.h"
#include "captions.h"
#include "event_codes.h"
#include "io_events.h"
#include "io_page_parts.h"
#include "io_texts.h"
#include "page_layout.h"
#include "record_readers.h"
#include "ui_text.h"
#include "write_sender.h"

namespace qx {

RO2000Set::RO2000Set(AppMain &app, WriteSender &writes, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
    , m_writes(writes)
{
    buildControls();
    applyButtons();

    PageHooks &hooks = m_app.hooks();
    m_events.push_back(hooks.add(kEventInputs, [this](const uint8_t *r) { showInputBits(readBitBytes(r)); }));
    m_events.push_back(hooks.add(kEventCoils, [this](const uint8_t *r) { showOutputBits(readBitBytes(r)); }));
    m_events.push_back(hooks.add(kEventStatusReport, [this](const uint8_t *r) {
        const StatusReport report = readStatusReport(r);
        if (report.inputBits)
            showInputBits(*report.inputBits);
        if (report.coilBits)
            showOutputBits(*report.coilBits);
    }));
    connect(&m_app, &AppMain::portClosed, this, &RO2000Set::portClosed);

    connect(m_ui.pollInputs, &QPushButton::clicked, this, [this] {
        if (placeRequest(m_app, pollInputsRequest(target()))) {
            m_poll.inputsStarted();
            applyButtons();
        }
    });
    for (QPushButton *stop : {m_ui.stopInputs, m_ui.stopOnline}) {
        connect(stop, &QPushButton::clicked, this, [this] {
            if (placeRequest(m_app, stopInputsRequest(target()))) {
                m_poll.slot2Stopped();
                applyButtons();
            }
        });
    }
    connect(m_ui.pollOnline, &QPushButton::clicked, this, [this] {
        if (placeRequest(m_app, pollOnlineRequest(target()))) {
            m_poll.onlineStarted();
            applyButtons();
        }
    });
    connect(m_ui.pollOutputs, &QPushButton::clicked, this, [this] {
        if (placeRequest(m_app, pollOutputsRequest(target()))) {
            m_poll.outputsStarted();
            applyButtons();
        }
    });
    connect(m_ui.stopOutputs, &QPushButton::clicked, this, [this] {
        if (placeRequest(m_app, stopOutputsRequest(target()))) {
            m_poll.outputsStopped();
            applyButtons();
        }
    });
    // the captions follow the next output read, not the press
    connect(m_ui.allOn, &QPushButton::clicked, this,
            [this] { m_writes.write(writeAllOutputsRequest(target(), true)); });
    connect(m_ui.allOff, &QPushButton::clicked, this,
            [this] { m_writes.write(writeAllOutputsRequest(target(), false)); });
    for (int n = 1; n <= kDigitalPoints; ++n)
        connect(m_ui.outputs[n - 1], &QPushButton::clicked, this, [this, n] { toggleOutput(n); });
}

void RO2000Set::buildControls()
{
    auto *root = new QVBoxLayout(scrollingContent(this));

    m_ui.subStation = addSubStationRow(root, this);

    auto *inputBox = new QGroupBox(uiText(io_texts::kBoxInputs), this);
    auto *inputGrid = new QGridLayout(inputBox);
    for (int i = 0; i < kDigitalButtons; ++i) {
        m_ui.inputs[i] = indicator(uiTextOf(io_texts::kInputFormat, i + 1), inputBox);
        m_ui.inputs[i]->setObjectName(uiTextOf(io_texts::kInputFormat, i + 1));
        inputGrid->addWidget(m_ui.inputs[i], i / 8, i % 8);
    }
    auto *inputButtons = new QHBoxLayout;
    m_ui.pollInputs = new QPushButton(uiText(io_texts::kButtonPollInputs), inputBox);
    m_ui.stopInputs = new QPushButton(uiText(io_texts::kButtonStopPolling), inputBox);
    m_ui.stopInputs->setObjectName(QStringLiteral("stopInputs"));
    inputButtons->addWidget(m_ui.pollInputs);
    inputButtons->addWidget(m_ui.stopInputs);
    inputButtons->addStretch(1);
    inputGrid->addLayout(inputButtons, 4, 0, 1, 8);
    root->addWidget(inputBox);

    auto *outputBox = new QGroupBox(uiText(io_texts::kBoxOutputs), this);
    auto *outputGrid = new QGridLayout(outputBox);
    for (int i = 0; i < kDigitalButtons; ++i) {
        auto *button = new QPushButton(uiText(outputCaption(i + 1, false)), outputBox);
        button->setObjectName(QStringLiteral("Y%1").arg(i + 1));
        // Y1..Y24 show their flag as a checked state as well as in the caption
        button->setCheckable(i < kDigitalPoints);
        m_ui.outputs[i] = button;
        outputGrid->addWidget(button, i / 8, i % 8);
    }
    auto *outputButtons = new QHBoxLayout;
    m_ui.allOn = new QPushButton(uiText(io_texts::kButtonAllOn), outputBox);
    m_ui.allOff = new QPushButton(uiText(io_texts::kButtonAllOff), outputBox);
    m_ui.pollOutputs = new QPushButton(uiText(io_texts::kButtonPollOutputs), outputBox);
    m_ui.stopOutputs = new QPushButton(uiText(io_texts::kButtonStopPolling), outputBox);
    m_ui.stopOutputs->setObjectName(QStringLiteral("stopOutputs"));
    for (QPushButton *b : {m_ui.allOn, m_ui.allOff, m_ui.pollOutputs, m_ui.stopOutputs})
        outputButtons->addWidget(b);
    outputButtons->addStretch(1);
    outputGrid->addLayout(outputButtons, 4, 0, 1, 8);
    root->addWidget(outputBox);

    auto *onlineBox = new QGroupBox(uiText(io_texts::kBoxOnline), this);
    auto *onlineGrid = new QGridLayout(onlineBox);
    for (int s = 0; s < kSubStationCount; ++s) {
        m_ui.online[s] = indicator(uiTextOf(io_texts::kSubStationFormat, s + 1), onlineBox);
        m_ui.online[s]->setObjectName(QStringLiteral("online%1").arg(s + 1));
        onlineGrid->addWidget(m_ui.online[s], 0, s);
    }
    m_ui.pollOnline = new QPushButton(uiText(io_texts::kButtonPollOnline), onlineBox);
    m_ui.stopOnline = new QPushButton(uiText(io_texts::kButtonStopPolling), onlineBox);
    m_ui.stopOnline->setObjectName(QStringLiteral("stopOnline"));
    auto *onlineButtons = new QHBoxLayout;
    onlineButtons->addWidget(m_ui.pollOnline);
    onlineButtons->addWidget(m_ui.stopOnline);
    onlineButtons->addStretch(1);
    onlineGrid->addLayout(onlineButtons, 1, 0, 1, kSubStationCount);
    root->addWidget(onlineBox);
    root->addStretch(1);
}

IoTarget RO2000Set::target() const
{
    // the shell puts the address in when it places the request
    return {0, subStationOf(m_ui.subStation)};
}

void RO2000Set::toggleOutput(int n)
{
    const bool on = !outputFlag(n);
    const auto request = writeOutputRequest(target(), n, on);
    if (request && m_writes.write(*request))
        setOutputFlag(n, on);
    else
        setOutputFlag(n, outputFlag(n)); // undo the button's own check
}

void RO2000Set::setOutputFlag(int n, bool on)
{
    m_outputs[static_cast<std::size_t>(n - 1)] = on;
    QPushButton *button = m_ui.outputs[static_cast<std::size_t>(n - 1)];
    button->setText(uiText(outputCaption(n, on)));
    button->setChecked(on);
}

void RO2000Set::showInputBits(std::span<const uint8_t> bits)
{
    const InputDisplay d = inputDisplay(bits, m_poll.onlineFlag());
    for (std::size_t k = 0; k < d.inputs.size(); ++k)
        if (d.inputs[k])
            m_ui.inputs[k]->setChecked(*d.inputs[k]);
    for (std::size_t s = 0; s < d.online.size(); ++s)
        if (d.online[s])
            m_ui.online[s]->setChecked(*d.online[s]);
}

void RO2000Set::showOutputBits(std::span<const uint8_t> bits)
{
    const BitUpdates y = outputDisplay(bits);
    for (std::size_t k = 0; k < y.size(); ++k)
        if (y[k])
            setOutputFlag(static_cast<int>(k + 1), *y[k]);
}

void RO2000Set::applyButtons()
{
    const DidoButtons b = m_poll.buttons();
    m_ui.pollInputs->setEnabled(b.pollInputs);
    m_ui.stopInputs->setEnabled(b.stopInputs);
    m_ui.pollOnline->setEnabled(b.pollOnline);
    m_ui.stopOnline->setEnabled(b.stopOnline);
    m_ui.pollOutputs->setEnabled(b.pollOutputs);
}

void RO2000Set::portClosed()
{
    m_poll.portClosed();
    applyButtons();
}

} // namespace qx
