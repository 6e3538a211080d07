#include "firmware_box.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>

#include "app_main.h"
#include "config_texts.h"
#include "dialogs.h"
#include "shell_texts.h"
#include "transfer_driver.h"
#include "ui_text.h"

namespace qx {

FirmwareBox::FirmwareBox(AppMain &app, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *box = new QGroupBox(uiText(config_texts::kBoxFirmware), this);
    auto *buttons = new QHBoxLayout(box);
    m_ui.open = new QPushButton(uiText(config_texts::kButtonOpenImage), box);
    m_ui.upgrade = new QPushButton(uiText(config_texts::kButtonUpgradeBios), box);
    buttons->addWidget(m_ui.open);
    buttons->addWidget(m_ui.upgrade);
    row->addWidget(box);
    m_ui.progress = new QProgressBar(this);
    m_ui.progress->setAccessibleName(uiText(config_texts::kFirmwareProgressName));
    m_ui.progress->setFormat(QStringLiteral("%v/%m"));
    m_ui.progress->setRange(0, 1);
    m_ui.progress->setValue(0);
    m_ui.progress->setTextVisible(false); // until a transfer has parts to count
    row->addWidget(m_ui.progress, 1);

    m_driver = new TransferDriver(app, m_upgrade, this, m_ui.progress);
    connect(m_driver, &TransferDriver::stepped, this, &FirmwareBox::applyControls);
    connect(m_ui.open, &QPushButton::clicked, this, &FirmwareBox::onOpen);
    connect(m_ui.upgrade, &QPushButton::clicked, this, &FirmwareBox::onUpgrade);
}

void FirmwareBox::onOpen()
{
    if (m_upgrade.running()) {
        m_driver->cancel();
        return;
    }
    FileRequest request;
    request.title = uiText(config_texts::kButtonOpenImage);
    request.filter = uiText(config_texts::kFirmwareFilter);
    request.startFolder = m_folder;
    request.defaultSuffix = QString::fromLatin1(config_texts::kFirmwareSuffix);
    const FileChoice choice = m_app.dialogs().openFile(this, request);
    if (choice.path.isEmpty())
        return;
    m_folder = QFileInfo(choice.path).absolutePath();
    const FirmwareLoadResult loaded = m_upgrade.loadFile(choice.path.toStdString());
    if (!loaded.log.empty())
        m_app.appendLog(uiText(loaded.log));
    if (!loaded.message.empty())
        message(loaded.message);
}

void FirmwareBox::onUpgrade()
{
    if (m_upgrade.running())
        return;
    if (m_upgrade.imageSize() == 0) {
        message(std::string(config_texts::kFirmwareNoImage));
        return;
    }
    if (!m_driver->linkReady() || !m_app.dialogs().confirm(this, uiText(config_texts::kFirmwareConfirm)))
        return;
    m_driver->take(m_upgrade.start(kTransferBios));
}

void FirmwareBox::applyControls()
{
    const bool running = m_upgrade.running();
    m_ui.open->setText(uiText(running ? config_texts::kButtonCancelUpgrade : config_texts::kButtonOpenImage));
    m_ui.upgrade->setEnabled(!running);
    if (running != m_runningShown) {
        m_runningShown = running;
        emit transferRunning(running);
    }
}

void FirmwareBox::message(const std::string &text)
{
    m_app.dialogs().message(this, uiText(text));
}

} // namespace qx
