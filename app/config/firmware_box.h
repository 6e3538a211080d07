// FirmwareBox, the "固件升级" box of the configuration page: "打开" loads an
// image ("取消升级" while a transfer runs), "升级BIOS" sends it part by part,
// and a progress bar beside the box shows the parts acknowledged of the
// parts to send. The rules are FirmwareUpgrade's; this file holds the widgets
// and wires them to it, to the library, to events 16/17 and to the retry
// timer.
//
// The configuration page embeds the box and, while transferRunning(true)
// holds, disables its "读取模块", "写入模块" and "本地加载" buttons.
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

#include "firmware_upgrade.h"

class QProgressBar;
class QPushButton;

namespace qx {

class AppMain;

class FirmwareBox : public QWidget
{
    Q_OBJECT

public:
    explicit FirmwareBox(AppMain &app, QWidget *parent = nullptr);
    ~FirmwareBox() override;

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
    void onRetryTimer();
    void onPortClosed();
    void handleStep(const FirmwareStep &step);
    // Ends the transfer without a word of its own when a part could not be
    // placed (the operator has just been told why); the cancel warning
    // once the module holds parts of the image.
    void abortTransfer();
    void applyControls();
    void message(const std::string &text);

    AppMain &m_app;
    FirmwareUpgrade m_upgrade;
    Controls m_ui;
    QTimer m_retry; // the 3000 ms retry timer
    QString m_folder; // where the last image was, for the next file dialog
    bool m_runningShown = false;
};

} // namespace qx
