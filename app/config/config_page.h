// RO2000ScanPoll, the "配置模块" tab: the parameter block box by box, read
// from the module ("读取模块"), written back ("写入模块"), loaded from an INI
// file ("本地加载") or saved as one ("导出配置"). Which boxes are enabled and
// filled, and what is collected, is param_form's; this file holds the
// widgets and wires them to it, to the library and to the countdown timer.
// The firmware upgrade box ("固件升级", FirmwareBox) sits under the
// "模块配置" box.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>

#include <QTimer>
#include <QWidget>

#include "config_countdown.h"
#include "page_hooks.h"
#include "param_block.h"
#include "param_form.h"
#include "request_record.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace qx {

class AppMain;
class FirmwareBox;

class RO2000ScanPoll : public QWidget
{
    Q_OBJECT

public:
    // Registers for the parameter block's answers (kEventParamsRead and
    // kEventParamsWritten).
    explicit RO2000ScanPoll(AppMain &app, QWidget *parent = nullptr);

    struct Controls
    {
        QPushButton *read = nullptr;
        QPushButton *write = nullptr;
        QPushButton *load = nullptr;
        QPushButton *exportIni = nullptr;
        QGroupBox *reserv = nullptr;
    };
    const Controls &controls() const { return m_ui; }
    // The control of a block field by its name ("QXAddr1", "R1BaudRate").
    QWidget *control(std::string_view name) const;
    QLineEdit *edit(std::string_view name) const;
    QComboBox *list(std::string_view name) const;
    QCheckBox *check(std::string_view name) const;

    // The block the page holds (the last one shown or written).
    const ParamBlock &block() const { return m_block; }

    // The "固件升级" box under "模块配置"; while it transfers an image the
    // page's read, write and load buttons stay disabled.
    FirmwareBox *firmwareBox() const { return m_firmware; }

    // The countdown's tick, 1000 ms unless a test wants it faster.
    void setTickInterval(int ms) { m_timer.setInterval(ms); }

    // A block accepted from kEventParamsRead or loaded from a file.
    void showParamBlock(const ParamBlock &block);

private:
    void buildControls();
    QWidget *buildBox(PageGroup group, const char *title, int fieldColumns = 1, int listColumns = 1);
    QWidget *buildReserv();
    QWidget *makeControl(const PageControl &c, QWidget *parent);

    // Places m_request; false when nothing went out (the operator has been
    // told why).
    bool placeRequest();
    void readModule();
    void writeModule();
    void loadFile();
    void exportFile();
    void tick();
    void setButtonsEnabled(bool on);
    PageValues pageValues() const;
    QPushButton *runningButton() const;

    AppMain &m_app;
    Controls m_ui;
    std::map<std::string, QWidget *, std::less<>> m_controls;
    FirmwareBox *m_firmware = nullptr;
    bool m_transferRunning = false;
    ParamBlock m_block;
    ConfigCountdown m_countdown;
    SlotRequest m_request; // the running read or write, placed again while no answer comes
    QTimer m_timer;
    std::array<PageHooks::Registration, 2> m_answers; // kEventParamsRead and kEventParamsWritten
};

} // namespace qx
