// FirmwareBox, the "固件升级" box of the configuration page: "打开" loads an
// image ("取消升级" while a transfer runs), "升级BIOS" sends it part by part,
// and a progress bar beside the box shows the parts acknowledged of the
// parts to send. The rules are FirmwareUpgrade's and the shell's
// TransferDriver carries them out; this file holds the widgets.
//
// The configuration page embeds the box and, while transferRunning(true)
// holds, disables its "读取模块", "写入模块" and "本地加载" buttons.
#pragma once

#include <QString>
#include <QWidget>

#include "firmware_upgrade.h"

class QProgressBar;
class QPushButton;

namespace qx {

class AppMain;
class TransferDriver;

class FirmwareBox : public QWidget
{
    Q_OBJECT

public:
    explicit FirmwareBox(AppMain &app, QWidget *parent = nullptr);

    // The controls, for tests that press them.
    struct Controls
    {
        QPushButton *open = nullptr;    // "打开" / "取消升级"
        QPushButton *upgrade = nullptr; // "升级BIOS"
        QProgressBar *progress = nullptr;
    };
    const Controls &controls() const { return m_ui; }
    const FirmwareUpgrade &upgrade() const { return m_upgrade; }

signals:
    void transferRunning(bool running);

private:
    void onOpen();
    void onUpgrade();
    void applyControls();
    void message(const std::string &text);

    AppMain &m_app;
    FirmwareUpgrade m_upgrade;
    Controls m_ui;
    TransferDriver *m_driver = nullptr;
    QString m_folder; // where the last image was, for the next file dialog
    bool m_runningShown = false;
};

} // namespace qx
