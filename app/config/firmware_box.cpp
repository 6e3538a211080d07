#include "firmware_box.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>

#include "app_main.h"
#include "config_texts.h"
#include "dialogs.h"
#include "request_record.h"
#include "shell_texts.h"

namespace qx {

namespace {

QString tr8(const char *text)
{
    return QString::fromUtf8(text);
}

QString tr8(const std::string &text)
{
    return QString::fromStdString(text);
}

} // namespace

FirmwareBox::FirmwareBox(AppMain &app, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *box = new QGroupBox(tr8(texts::kBoxFirmware), this);
    auto *buttons = new QHBoxLayout(box);
    m_ui.open = new QPushButton(tr8(texts::kButtonOpenImage), box);
    m_ui.upgrade = new QPushButton(tr8(texts::kButtonUpgradeBios), box);
    buttons->addWidget(m_ui.open);
    buttons->addWidget(m_ui.upgrade);
    row->addWidget(box);
    m_ui.progress = new QProgressBar(this);
    m_ui.progress->setAccessibleName(tr8(texts::kFirmwareProgressName));
    m_ui.progress->setFormat(QStringLiteral("%v/%m"));
    m_ui.progress->setRange(0, 1);
    m_ui.progress->setValue(0);
    m_ui.progress->setTextVisible(false); // until a transfer has parts to count
    row->addWidget(m_ui.progress, 1);

    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &FirmwareBox::onRetryTimer);
    connect(m_ui.open, &QPushButton::clicked, this, &FirmwareBox::onOpen);
    connect(m_ui.upgrade, &QPushButton::clicked, this, &FirmwareBox::onUpgrade);
    connect(&app, &AppMain::portClosed, this, &FirmwareBox::onPortClosed);
    app.hooks().transferStep = [this](int kind, int32_t nextPart) {
        handleStep(m_upgrade.acknowledge({kind, nextPart}));
    };
}

FirmwareBox::~FirmwareBox()
{
    m_app.hooks().transferStep = nullptr;
}

void FirmwareBox::onOpen()
{
    if (m_upgrade.running()) {
        handleStep(m_upgrade.cancel());
        return;
    }
    FileRequest request;
    request.title = tr8(texts::kButtonOpenImage);
    request.filter = tr8(texts::kFirmwareFilter);
    request.startFolder = m_folder;
    request.defaultSuffix = QString::fromLatin1(texts::kFirmwareSuffix);
    const FileChoice choice = m_app.dialogs().openFile(this, request);
    if (choice.path.isEmpty())
        return;
    m_folder = QFileInfo(choice.path).absolutePath();
    const FirmwareLoadResult loaded = m_upgrade.loadFile(choice.path.toStdString());
    if (!loaded.log.empty())
        m_app.appendLog(tr8(loaded.log));
    if (!loaded.message.empty())
        message(loaded.message);
}

void FirmwareBox::onUpgrade()
{
    if (m_upgrade.running())
        return;
    if (m_upgrade.imageSize() == 0) {
        message(texts::kFirmwareNoImage);
        return;
    }
    // without a link every part would only time out until cancelled
    if (m_app.portHandle() == 0) {
        message(texts::kNeedConnection);
        return;
    }
    if (!m_app.dialogs().confirm(this, tr8(texts::kFirmwareConfirm)))
        return;
    m_ui.progress->setValue(0);
    handleStep(m_upgrade.start(kTransferBios));
}

void FirmwareBox::onRetryTimer()
{
    handleStep(m_upgrade.timeout());
}

void FirmwareBox::onPortClosed()
{
    // the module may hold part of the image: the operator gets the cancel
    // warning
    if (m_upgrade.running())
        handleStep(m_upgrade.cancel());
}

void FirmwareBox::abortTransfer()
{
    const bool partsSent = m_upgrade.partIndex() > 0;
    const FirmwareStep step = m_upgrade.cancel();
    m_retry.stop();
    applyControls();
    if (partsSent)
        message(step.message);
}

void FirmwareBox::handleStep(const FirmwareStep &step)
{
    switch (step.kind) {
    case FirmwareStep::Kind::Nothing:
        if (!step.message.empty())
            message(step.message);
        return;
    case FirmwareStep::Kind::Send: {
        RequestRecord r = transferRequest(step.payload, 0);
        m_app.clearReceiveBuffer(); // stale bytes are dropped
        if (!m_app.sendRequest(step.transferKind, r, RequestLength::kTransferPacket)) {
            abortTransfer(); // no valid address: the operator has been told
            return;
        }
        m_app.appendLog(tr8(step.log));
        m_retry.start(kFirmwareAckTimeoutMs);
        break;
    }
    case FirmwareStep::Kind::Finished:
        m_retry.stop();
        if (!step.log.empty())
            m_app.appendLog(tr8(step.log));
        break;
    }
    m_ui.progress->setMaximum(int(m_upgrade.partsTotal()));
    m_ui.progress->setValue(int(m_upgrade.partsAcknowledged()));
    m_ui.progress->setTextVisible(true);
    applyControls();
    if (step.kind == FirmwareStep::Kind::Finished)
        message(step.message);
}

void FirmwareBox::applyControls()
{
    const bool running = m_upgrade.running();
    m_ui.open->setText(tr8(running ? texts::kButtonCancelUpgrade : texts::kButtonOpenImage));
    m_ui.upgrade->setEnabled(!running);
    if (running != m_runningShown) {
        m_runningShown = running;
        emit transferRunning(running);
    }
}

void FirmwareBox::message(const std::string &text)
{
    m_app.dialogs().message(this, tr8(text));
}

} // namespace qx
