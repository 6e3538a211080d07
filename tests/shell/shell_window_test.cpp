// The main window and the connection page driven through their controls,
// with the library replaced by a recorder: these tests check that the
// window applies the shell's rules (tested in shell_core_test) to what the
// operator sees, and feed it what no module can be made to send (a corrupt
// parameter block, a destroy that fails, events at full rate while closing).
// The real library and qxsim are in shell_e2e_test.
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>
#include <QClipboard>
#include <QSettings>
#include <QTemporaryDir>
#include <QAccessible>

#include "app_main.h"
#include "byte_io.h"
#include "connection_event.h"
#include "event_codes.h"
#include "gbk.h"
#include "identity_record.h"
#include "kept_settings.h"
#include "dialogs.h"
#include "main_window.h"
#include "page_host.h"
#include "port_settings_builder.h"
#include "request_record.h"
#include "response_records.h"
#include "caption_check.h"
#include "scripted_dialogs.h"
#include "records.h"
#include "serial_devices.h"
#include "shell_texts.h"
#include "statistics_panel.h"
#include "statistics_record.h"
#include "ui_text.h"

using namespace qx;

namespace recorder {

struct Command
{
    int slot;
    std::vector<uint8_t> bytes;
};

EventCallback callback = nullptr;
intptr_t portObject = 0;
int createCalls = 0;
int destroyCalls = 0;
int32_t runResult = 0;
int32_t destroyResult = 0;
PortSettings lastSettings {};
std::vector<Command> commands;
// A worker that the "library" joins on destroy, as QXLIB joins its own.
std::thread worker;
std::atomic<bool> stopWorker {false};

void reset()
{
    callback = nullptr;
    createCalls = destroyCalls = 0;
    runResult = destroyResult = 0;
    lastSettings = {};
    commands.clear();
}

void joinWorker()
{
    stopWorker = true;
    if (worker.joinable())
        worker.join();
    stopWorker = false;
}

int32_t create(PortSettings settings, EventCallback cb, intptr_t *handle)
{
    ++createCalls;
    lastSettings = settings;
    callback = cb;
    *handle = reinterpret_cast<intptr_t>(&portObject);
    return 0;
}
int32_t run(intptr_t)
{
    return runResult;
}
int32_t cmd(intptr_t, int32_t slot, const void *record, int32_t length)
{
    const auto *p = static_cast<const uint8_t *>(record);
    commands.push_back({slot, std::vector<uint8_t>(p, p + length)});
    return 0;
}
void rxbuffClr(intptr_t) {}
int32_t clrStatis(intptr_t)
{
    std::vector<uint8_t> zeros(StatisticsLayout::kSize, 0);
    callback(&portObject, kEventLog, zeros.data());
    return 0;
}
int32_t destroy(intptr_t)
{
    ++destroyCalls;
    joinWorker();
    return destroyResult;
}

LibraryFunctions functions()
{
    LibraryFunctions f;
    f.create = &create;
    f.run = &run;
    f.cmd = &cmd;
    f.rxbuffClr = &rxbuffClr;
    f.clrStatis = &clrStatis;
    f.destroy = &destroy;
    return f;
}

} // namespace recorder

namespace {

std::vector<uint8_t> statisticsRecord(uint32_t txCmd, const std::string &utf8Line)
{
    std::vector<uint8_t> r(StatisticsLayout::kSize, 0);
    putU32le(r.data(), StatisticsLayout::kTxCmd, txCmd);
    putU32le(r.data(), StatisticsLayout::kRxCmd, txCmd);
    std::string gbk = utf8ToGbk(utf8Line);
    std::memcpy(r.data() + StatisticsLayout::kLogText, gbk.data(), gbk.size());
    putU32le(r.data(), StatisticsLayout::kLogLength, static_cast<uint32_t>(gbk.size()));
    return r;
}

std::vector<uint8_t> connectionRecord(uint32_t transport, int32_t state, const char *ip = "", uint16_t port = 0)
{
    std::vector<uint8_t> r(ConnectionLayout::kSize, 0);
    putU32le(r.data(), ConnectionLayout::kTransportType, transport);
    putI32le(r.data(), ConnectionLayout::kState, state);
    putText(r.data(), ConnectionLayout::kPeerAddress, ConnectionLayout::kPeerAddressSize, ip);
    putU16le(r.data(), ConnectionLayout::kPeerPort, port);
    return r;
}

std::vector<uint8_t> identityRecord(uint8_t series)
{
    std::vector<uint8_t> r(IdentityLayout::kSize, 0);
    putText(r.data(), IdentityLayout::kDriverVersion, 32, "Ver2.1");
    putText(r.data(), IdentityLayout::kFirmwareVersion, 32, "Ver7.6");
    putText(r.data(), IdentityLayout::kModelName, 32, "QXP_4488_ETH");
    putText(r.data(), IdentityLayout::kDescription, 256, utf8ToGbk("4路模拟量输入").c_str());
    putText(r.data(), IdentityLayout::kSerialNumber, 32, "2024517000001555");
    putText(r.data(), IdentityLayout::kFactoryDate, 33, "2024-5-17");
    r[IdentityLayout::kSeries] = series;
    return r;
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

private:
    ScriptedDialogs *m_dialogs = nullptr;
    AppMain *m_app = nullptr;

    ConnectionPage &page() { return m_app->connectionPage(); }
    const ConnectionPage::Controls &ui() { return page().controls(); }
    MainWindow &window() { return m_app->mainWindow(); }

    // Delivers an event as the library would on the window thread and lets
    // it be handled.
    void deliver(int32_t code, const std::vector<uint8_t> &record)
    {
        AppMain::EventCallback(&recorder::portObject, code, record.data());
        QCoreApplication::sendPostedEvents(m_app, QEvent::MetaCall);
        window().showPending(); // the next frame
    }

    void openTcpClient()
    {
        ui().tcpClient->click();
        QVERIFY(page().selectLocalAddress(QStringLiteral("127.0.0.1")));
        ui().clientConnect->click();
        QCOMPARE(recorder::createCalls, 1);
    }

    const recorder::Command *lastCommand(int slot)
    {
        for (auto it = recorder::commands.rbegin(); it != recorder::commands.rend(); ++it) {
            if (it->slot == slot)
                return &*it;
        }
        return nullptr;
    }

    // The program's start: the window as a first run builds it.
    void startApp()
    {
        delete m_app;
        // The system lists loopback first.
        std::vector<NetworkAdapter> adapters {
            {"lo", {"127.0.0.1"}, true},
            {"eth0", {"192.168.1.20", "0.0.0.0"}, false},
        };
        m_app = new AppMain(recorder::functions(), *m_dialogs, &adapters);
    }

private slots:
    void init()
    {
        recorder::reset();
        m_dialogs = new ScriptedDialogs;
        startApp();
    }

    void cleanup()
    {
        delete m_app;
        m_app = nullptr;
        delete m_dialogs;
        recorder::joinWorker();
    }

    void frameShowsTitlesTabsIconAndStartLines()
    {
        QCOMPARE(window().windowTitle(), uiText(shell_texts::kWindowTitle));
        const QIcon icon = window().windowIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.actualSize(QSize(16, 16)), QSize(16, 16));
        QCOMPARE(icon.actualSize(QSize(256, 256)), QSize(256, 256));
        QCOMPARE(window().topTabs()->count(), 2);
        QCOMPARE(window().topTabs()->tabText(0), uiText("通讯设置"));
        QCOMPARE(window().topTabs()->tabText(1), uiText("模块操作"));
        const QStringList pages {uiText("DI/DO操作"), uiText("AI/AO操作"), uiText("PI/PO操作"), uiText("配置模块"),
                                 uiText("QovexPLC")};
        QCOMPARE(window().pageHost()->count(), 5);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(window().pageHost()->tabText(i), pages[i]);
        QString log = window().log()->toPlainText();
        QVERIFY(log.startsWith(uiText("如界面不能正常显示,请将显示器分辨率设置为1366*768或1920*1080")));
        QCOMPARE(window().logLineCount(), 3);
        for (int i = 0; i < StatisticsPanel::kCounterCount; ++i)
            QCOMPARE(window().statistics()->counter(i), QStringLiteral("0"));
        QCOMPARE(window().pauseButton()->text(), uiText("暂停显示"));
    }

    void connectionPageDefaults()
    {
        for (ConnectionKind kind : kConnectionKinds)
            QCOMPARE(page().status(kind), uiText("未连接..."));
        QCOMPARE(ui().peer->text(), uiText("---.---.---.---:---"));
        for (int f = 0; f < ConnectionPage::kIdentityFieldCount; ++f)
            QCOMPARE(page().identity(ConnectionPage::IdentityField(f)), uiText("N/A"));
        QCOMPARE(ui().modbusAddress->text(), QStringLiteral("1"));
        QCOMPARE(ui().listenPort->text(), QStringLiteral("10001"));
        QCOMPARE(ui().clientIp->text(), QStringLiteral("192.168.0.105"));
        QCOMPARE(ui().udpLocalPort->text(), QStringLiteral("10001"));
        QCOMPARE(ui().baudRate->currentText(), QStringLiteral("115200"));
        QCOMPARE(ui().baudRate->count(), 11);
        QCOMPARE(ui().dataBits->currentText(), QStringLiteral("8"));
        QCOMPARE(ui().parity->itemText(3), uiText("MARK校验"));
        QCOMPARE(ui().stopBits->currentText(), QStringLiteral("1"));
        // A fresh start reaches the network: the real adapter is selected,
        // loopback is offered last.
        QCOMPARE(ui().adapter->currentText(), QStringLiteral("eth0"));
        QCOMPARE(ui().localIp->currentText(), QStringLiteral("192.168.1.20"));
        QCOMPARE(ui().adapter->itemText(1), QStringLiteral("lo"));
        QCOMPARE(page().connectionKind(), ConnectionKind::None);
        for (QWidget *w : std::initializer_list<QWidget *> {ui().listen, ui().clientConnect, ui().udpConnect,
                                                             ui().serialOpen, ui().serialPort})
            QVERIFY(!w->isEnabled());
        QVERIFY(ui().tcpServer->isEnabled());
        QVERIFY(!ui().tcpServer->isChecked());
    }

    void everyFieldIsNamedByItsCaption()
    {
        QCOMPARE(uncaptionedFields(&window()), QStringList());
        QAccessibleInterface *address = QAccessible::queryAccessibleInterface(ui().modbusAddress);
        QVERIFY(address);
        QCOMPARE(address->text(QAccessible::Name), uiText("模块MODBUS地址(1~240)"));
        QCOMPARE(address->text(QAccessible::Value), QStringLiteral("1"));
        const auto labels = window().findChildren<QLabel *>();
        auto captionOf = [&](QWidget *field) {
            for (QLabel *l : labels) {
                if (l->buddy() == field)
                    return l->text();
            }
            return QString();
        };
        QCOMPARE(captionOf(ui().serialStatus), uiText("连接状态："));
        QCOMPARE(captionOf(ui().identity[ConnectionPage::kModelName]), uiText("设备型号："));
        QCOMPARE(captionOf(window().statistics()->findChild<QLabel *>(QStringLiteral("statistic0"))),
                 uiText("总发送指令数(TxCmd):"));
    }

    void serialListIsReadAgainWhenOpened()
    {
        if (listSerialDevices().empty())
            QSKIP("this machine has no serial device");
        ui().serial->click();
        ui().serialPort->clear();
        ui().serialPort->setEditText(QStringLiteral("/dev/ttyTyped"));
        ui().serialPort->showPopup();
        QCOMPARE(ui().serialPort->count(), static_cast<int>(listSerialDevices().size()));
        QCOMPARE(ui().serialPort->itemText(0), QString::fromStdString(listSerialDevices().front()));
        QCOMPARE(ui().serialPort->currentText(), QStringLiteral("/dev/ttyTyped"));
        ui().serialPort->hidePopup();
    }

    void windowIsSizedAfterThePagesArePlaced()
    {
        auto *big = new QWidget;
        big->setMinimumSize(3000, 2000);
        window().pageHost()->setPage(PageHost::kPlcPage, big);
        window().show();
        QVERIFY(window().width() >= 3000);
        QVERIFY(window().height() >= 2000);
        QCOMPARE(window().pageHost()->page(PageHost::kPlcPage), big);
    }

    void radioEnablesOnlyItsGroupAndRepeatKeepsState()
    {
        ui().tcpClient->click();
        QCOMPARE(page().connectionKind(), ConnectionKind::TcpClient);
        QVERIFY(ui().clientConnect->isEnabled());
        QVERIFY(ui().clientIp->isEnabled());
        QVERIFY(!ui().listen->isEnabled());
        page().setStatus(ConnectionKind::TcpClient, QStringLiteral("kept"));
        ui().tcpClient->click();
        QCOMPARE(page().status(ConnectionKind::TcpClient), QStringLiteral("kept"));
        ui().serial->click();
        QCOMPARE(page().status(ConnectionKind::TcpClient), uiText("未连接..."));
        QVERIFY(ui().serialOpen->isEnabled());
        QVERIFY(!ui().clientConnect->isEnabled());
    }

    void tcpClientOpensAndReadsIdentity()
    {
        ui().tcpClient->click();
        QVERIFY(page().selectLocalAddress(QStringLiteral("127.0.0.1")));
        ui().clientIp->setText(QStringLiteral("127.0.0.1"));
        ui().clientPort->setText(QStringLiteral("1502"));
        ui().modbusAddress->setText(QStringLiteral("17"));
        ui().clientConnect->click();
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(recorder::createCalls, 1);
        auto b = settingsBytes(recorder::lastSettings);
        QCOMPARE(getU32le(b.data(), 0), 1u);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(b.data() + 72)), QByteArray("127.0.0.1"));
        QCOMPARE(getU16le(b.data(), 136), 1502);
        QVERIFY(!ui().clientConnect->isEnabled());
        QVERIFY(ui().clientClose->isEnabled());
        QVERIFY(!ui().serial->isEnabled());
        QCOMPARE(page().status(ConnectionKind::TcpClient), uiText("正在连接模块,请稍后..."));

        deliver(kEventConnection, connectionRecord(1, kStateRunning));
        QCOMPARE(page().status(ConnectionKind::TcpClient), uiText("模块已连接,正在读取模块基本信息..."));
        const recorder::Command *request = lastCommand(kSlotIdentity);
        QVERIFY(request);
        QCOMPARE(request->bytes.size(), std::size_t(20));
        QCOMPARE(request->bytes[RequestLayout::kMode], uint8_t(kModeRepeat));
        QCOMPARE(request->bytes[RequestLayout::kAddress], uint8_t(17));

        deliver(kEventIdentity, identityRecord(5));
        QCOMPARE(page().identity(ConnectionPage::kModelName), QStringLiteral("QXP_4488_ETH"));
        QCOMPARE(page().identity(ConnectionPage::kSeries), QStringLiteral("0x05"));
        QCOMPARE(page().identity(ConnectionPage::kDescription), uiText("4路模拟量输入"));
        QCOMPARE(page().status(ConnectionKind::TcpClient), uiText("已连接"));
        QCOMPARE(lastCommand(kSlotIdentity)->bytes[RequestLayout::kMode], uint8_t(kModeIdle));

        ui().clientClose->click();
        QCOMPARE(recorder::destroyCalls, 1);
        QCOMPARE(m_app->portHandle(), intptr_t(0));
        QCOMPARE(page().status(ConnectionKind::TcpClient), uiText("未连接..."));
        QCOMPARE(page().identity(ConnectionPage::kModelName), uiText("N/A"));
        QVERIFY(ui().serial->isEnabled());
        QVERIFY(ui().clientConnect->isEnabled());
    }

    void badModbusAddressSendsNothing()
    {
        // Opening is refused.
        ui().modbusAddress->setText(QStringLiteral("abc"));
        ui().tcpClient->click();
        QVERIFY(page().selectLocalAddress(QStringLiteral("127.0.0.1")));
        ui().clientConnect->click();
        QCOMPARE(m_dialogs->messages, QStringList {uiText(shell_texts::kInvalidModbusAddress)});
        QCOMPARE(recorder::createCalls, 0);
        QVERIFY(ui().clientConnect->isEnabled());

        // A request made while the field is wrong is refused; a stop still goes.
        ui().modbusAddress->setText(QStringLiteral("5"));
        ui().clientConnect->click();
        QCOMPARE(recorder::createCalls, 1);
        ui().modbusAddress->setText(QStringLiteral("256"));
        deliver(kEventConnection, connectionRecord(1, kStateRunning));
        QVERIFY(!lastCommand(kSlotIdentity));
        QCOMPARE(m_dialogs->messages.size(), 2);
        RequestRecord poll;
        poll.setMode(kModeRepeat);
        QVERIFY(!m_app->sendRequest(kSlotReadInputs, poll, RequestLength::kRead));
        QVERIFY(recorder::commands.empty());
        RequestRecord stop;
        QVERIFY(m_app->sendRequest(kSlotReadInputs, stop, RequestLength::kRead));
        QCOMPARE(recorder::commands.size(), std::size_t(1));
        QCOMPARE(recorder::commands[0].bytes[RequestLayout::kMode], uint8_t(kModeIdle));
        QCOMPARE(m_dialogs->messages.size(), 3);
    }

    void inputsTheBlockCannotCarryAreRefused()
    {
        ui().serial->click();
        ui().serialPort->setEditText(QStringLiteral("/dev/serial/by-id/usb-FTDI_1"));
        ui().serialOpen->click();
        QCOMPARE(m_dialogs->messages, QStringList {uiText(shell_texts::kSerialPathTooLong)});
        QCOMPARE(recorder::createCalls, 0);
        QVERIFY(ui().serialOpen->isEnabled());

        ui().tcpServer->click();
        ui().listenPort->setText(QStringLiteral("70000"));
        ui().listen->click();
        QCOMPARE(m_dialogs->messages.last(), uiText(shell_texts::kInvalidPort));
        QCOMPARE(recorder::createCalls, 0);
    }

    void wildcardAddressIsNoAdapter()
    {
        QVERIFY(page().selectLocalAddress(QStringLiteral("0.0.0.0")));
        emit ui().localIp->activated(1); // as when the operator picks it
        QCOMPARE(m_dialogs->messages.last(), uiText("无效网卡或无效IP！"));
        ui().tcpServer->click();
        ui().listen->click();
        QCOMPARE(m_dialogs->messages.last(), uiText("监听失败,请先选择有效网卡或有效IP！"));
        ui().tcpClient->click();
        ui().clientConnect->click();
        QCOMPARE(m_dialogs->messages.last(), uiText("连接失败,请先选择有效网卡或有效IP！"));
        QCOMPARE(recorder::createCalls, 0);
    }

    void failedListenLeavesThePageAsItWas()
    {
        recorder::runResult = -1;
        ui().tcpServer->click();
        ui().listen->click();
        QCOMPARE(m_dialogs->messages, QStringList {uiText(shell_texts::kListenFailed)});
        QVERIFY(ui().listen->isEnabled());
        QVERIFY(ui().listenPort->isEnabled());
        QVERIFY(ui().tcpClient->isEnabled());
        QCOMPARE(page().status(ConnectionKind::TcpServer), uiText("未连接..."));
    }

    void failedDestroyIsReported()
    {
        openTcpClient();
        recorder::destroyResult = 1;
        ui().clientClose->click();
        QCOMPARE(m_dialogs->messages, QStringList {uiText("不能销毁上一个句柄！")});
    }

    void connectionEventsChangeThePageAndNotifyThePages()
    {
        QSignalSpy closed(m_app, &AppMain::portClosed);
        ui().tcpServer->click();
        ui().listen->click(); // a new open
        QCOMPARE(closed.size(), 1);
        deliver(kEventConnection, connectionRecord(0, kStatePeerConnected, "127.0.0.1", 50123));
        QCOMPARE(page().status(ConnectionKind::TcpServer), uiText("模块已连接,正在读取模块基本信息..."));
        QCOMPARE(ui().peer->text(), QStringLiteral("127.0.0.1:50123"));
        deliver(kEventIdentity, identityRecord(5));
        QCOMPARE(page().status(ConnectionKind::TcpServer), uiText("已连接"));
        QCOMPARE(closed.size(), 1);
        // the module leaves the server: the port object waits for it, the
        // pages keep their state
        deliver(kEventConnection, connectionRecord(0, kStatePeerDisconnected));
        QCOMPARE(ui().peer->text(), uiText("---.---.---.---:---"));
        QCOMPARE(page().identity(ConnectionPage::kModelName), uiText("N/A"));
        QCOMPARE(closed.size(), 1);
        ui().serverClose->click(); // "断开"
        QCOMPARE(closed.size(), 2);

        // The module closes the client's link: its controls come back, the
        // other transports stay locked while the port object exists.
        ui().tcpClient->click();
        QVERIFY(page().selectLocalAddress(QStringLiteral("127.0.0.1")));
        ui().clientConnect->click();
        QCOMPARE(closed.size(), 3);
        deliver(kEventConnection, connectionRecord(1, kStateClosedByPeer));
        QCOMPARE(closed.size(), 4);
        QCOMPARE(page().status(ConnectionKind::TcpClient), uiText("未连接..."));
        QVERIFY(ui().clientConnect->isEnabled());
        QVERIFY(ui().clientIp->isEnabled());
        QVERIFY(!ui().serial->isEnabled());
        m_app->shutdown();
        QCOMPARE(closed.size(), 5);
    }

    void moduleEventsReachTheirRegistrations()
    {
        std::vector<int32_t> lengths;
        auto registration = m_app->hooks().add(kEventInputRegisters, [&](const uint8_t *r) {
            lengths.push_back(getI32le(r, RegisterRecordLayout::kLength));
        });
        openTcpClient();
        deliver(kEventInputRegisters, qxtest::registerRecord({0, 0, 1, 0x2C, 0, 0, 0, 7}));
        QCOMPARE(lengths, (std::vector<int32_t> {8}));
        // no port object: nobody hears it
        m_app->destroyPort();
        deliver(kEventInputRegisters, qxtest::registerRecord({0, 0, 1, 0x2C}));
        QCOMPARE(lengths.size(), std::size_t(1));
    }

    void logIsEmptiedAboveOneHundredLines()
    {
        openTcpClient();
        window().clearLogButton()->click();
        for (uint32_t i = 1; i <= 101; ++i)
            deliver(kEventLog, statisticsRecord(i, "发送数据(HEX): 01 03 " + std::to_string(i)));
        QCOMPARE(window().logLineCount(), 101);
        deliver(kEventLog, statisticsRecord(102, "接收数据(HEX): 01 03 02 00 2a"));
        QCOMPARE(window().logLineCount(), 1);
        QCOMPARE(window().log()->toPlainText(), uiText("接收数据(HEX): 01 03 02 00 2a\n"));
        QCOMPARE(window().statistics()->counter(0), QStringLiteral("102"));
    }

    void settingsSurviveARestart()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("qxtools.conf"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("firmware")));
        FileRequest firmware;
        firmware.filter = QStringLiteral("固件(*.bin)|*.bin||");
        ui().udp->click();
        QVERIFY(page().selectLocalAddress(QStringLiteral("0.0.0.0")));
        ui().udpIp->setText(QStringLiteral("127.0.0.2"));
        ui().udpPort->setText(QStringLiteral("502"));
        ui().udpLocalPort->setText(QStringLiteral("10002"));
        ui().modbusAddress->setText(QStringLiteral("17"));
        ui().baudRate->setCurrentIndex(ui().baudRate->findText(QStringLiteral("9600")));
        ui().dataBits->setCurrentIndex(0);
        ui().parity->setCurrentIndex(2);
        ui().stopBits->setCurrentIndex(1);
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        const QPoint sized = window().pos();
        window().move(sized + QPoint(7, 5));
        // a window wider than the test's screen is pulled back onto it
        // across, so only the height it was moved to can be compared
        window().restoreGeometry(window().saveGeometry());
        const QPoint place = window().pos();
        QVERIFY(place.y() != sized.y());
        {
            QSettings settings(file, QSettings::IniFormat);
            saveKeptSettings(window(), settings);
            FolderMemory folders;
            folders.keepIn(&settings);
            folders.chosen(firmware, dir.filePath(QStringLiteral("firmware/image.bin")));
        }

        startApp();
        QSettings settings(file, QSettings::IniFormat);
        restoreKeptSettings(window(), settings);
        QCOMPARE(page().connectionKind(), ConnectionKind::Udp);
        QVERIFY(ui().udpIp->isEnabled());
        QCOMPARE(ui().adapter->currentText(), QStringLiteral("eth0"));
        QCOMPARE(ui().localIp->currentText(), QStringLiteral("0.0.0.0"));
        QCOMPARE(ui().udpIp->text(), QStringLiteral("127.0.0.2"));
        QCOMPARE(ui().udpPort->text(), QStringLiteral("502"));
        QCOMPARE(ui().udpLocalPort->text(), QStringLiteral("10002"));
        QCOMPARE(ui().modbusAddress->text(), QStringLiteral("17"));
        QCOMPARE(ui().baudRate->currentText(), QStringLiteral("9600"));
        QCOMPARE(ui().dataBits->currentText(), QStringLiteral("7"));
        QCOMPARE(ui().parity->currentIndex(), 2);
        QCOMPARE(ui().stopBits->currentText(), QStringLiteral("2"));
        FolderMemory folders;
        folders.keepIn(&settings);
        QCOMPARE(folders.startFolder(firmware), dir.filePath(QStringLiteral("firmware")));
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        QCOMPARE(window().pos().y(), place.y());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void keptSettingsThatNoLongerFitFallBackSilently()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("qxtools.conf"));
        {
            QSettings settings(file, QSettings::IniFormat);
            settings.setValue(QStringLiteral("connection/transport"), QStringLiteral("7"));
            settings.setValue(QStringLiteral("connection/localIp"), QStringLiteral("10.9.9.9"));
            settings.setValue(QStringLiteral("connection/modbusAddress"), QStringLiteral("0"));
            settings.setValue(QStringLiteral("tcpClient/ip"), QStringLiteral("1.2.3"));
            settings.setValue(QStringLiteral("tcpClient/port"), QStringLiteral("99999"));
            settings.setValue(QStringLiteral("serial/port"), QStringLiteral("/dev/ttyQXGONE0"));
            settings.setValue(QStringLiteral("serial/baudRate"), QStringLiteral("12345"));
            settings.setValue(QStringLiteral("window/geometry"), QByteArray("not a geometry"));
        }
        const QString device = ui().serialPort->currentText();
        const QString local = ui().localIp->currentText();
        QSettings settings(file, QSettings::IniFormat);
        restoreKeptSettings(window(), settings);
        QCOMPARE(page().connectionKind(), ConnectionKind::None);
        QCOMPARE(ui().localIp->currentText(), local);
        QCOMPARE(ui().modbusAddress->text(), QStringLiteral("1"));
        QCOMPARE(ui().clientIp->text(), QStringLiteral("192.168.0.105"));
        QCOMPARE(ui().clientPort->text(), QStringLiteral("10001"));
        QCOMPARE(ui().serialPort->currentText(), device);
        QCOMPARE(ui().baudRate->currentText(), QStringLiteral("115200"));
        // a folder that is gone: the dialog's own start
        FileRequest request;
        request.filter = QStringLiteral("配置文件(*.txt)|*.txt||");
        request.startFolder = QStringLiteral("/start");
        FolderMemory folders;
        folders.keepIn(&settings);
        folders.chosen(request, dir.filePath(QStringLiteral("gone/x.txt")));
        QCOMPARE(folders.startFolder(request), QStringLiteral("/start"));
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void saveLogWritesTheShownLinesWithTheirTimes()
    {
        openTcpClient();
        window().clearLogButton()->click();
        deliver(kEventLog, statisticsRecord(1, "发送数据(HEX): 01 03 00 00 00 01"));
        deliver(kEventLog, statisticsRecord(2, "接收数据(HEX): 01 03 02 00 2a"));
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("traffic.txt"));
        m_dialogs->fileAnswers.enqueue({file, 0});
        window().saveLogButton()->click();
        QCOMPARE(m_dialogs->fileRequests.last().title, uiText("保存日志"));
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(saved.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "));
        QVERIFY(lines[0].contains(stamp));
        QVERIFY(lines[0].endsWith(uiText(" 发送数据(HEX): 01 03 00 00 00 01")));
        QVERIFY(lines[1].endsWith(uiText(" 接收数据(HEX): 01 03 02 00 2a")));
        QVERIFY(window().log()->toPlainText().contains(file));
        // a file that cannot be written is reported, not passed over
        m_dialogs->fileAnswers.enqueue({dir.filePath(QStringLiteral("missing/traffic.txt")), 0});
        window().saveLogButton()->click();
        QCOMPARE(m_dialogs->messages.size(), 1);

        window().statistics()->copyButton()->click();
        const QStringList copied = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'));
        QCOMPARE(copied.first(), uiText("统计信息"));
        QVERIFY(copied.contains(uiText("总发送指令数(TxCmd): 2")));
    }

    void pauseStopsLinesButNotCounters()
    {
        openTcpClient();
        window().clearLogButton()->click();
        QCOMPARE(window().log()->toPlainText(), QString());
        deliver(kEventLog, statisticsRecord(1, "line 1"));
        window().pauseButton()->click();
        QCOMPARE(window().pauseButton()->text(), uiText("继续显示"));
        deliver(kEventLog, statisticsRecord(2, "line 2"));
        QCOMPARE(window().statistics()->counter(0), QStringLiteral("2"));
        QCOMPARE(window().log()->toPlainText(), QStringLiteral("line 1\n"));
        window().pauseButton()->click();
        QCOMPARE(window().pauseButton()->text(), uiText("暂停显示"));
        deliver(kEventLog, statisticsRecord(3, "line 3"));
        QCOMPARE(window().log()->toPlainText(), QStringLiteral("line 1\nline 3\n"));
    }

    void clearStatisticsShowsZerosOnlyWithAPort()
    {
        openTcpClient();
        deliver(kEventLog, statisticsRecord(9, "x"));
        QCOMPARE(window().statistics()->counter(1), QStringLiteral("9"));
        window().statistics()->clearButton()->click();
        QTRY_COMPARE(window().statistics()->counter(0), QStringLiteral("0"));
        QCOMPARE(window().statistics()->counter(1), QStringLiteral("0"));
        deliver(kEventLog, statisticsRecord(4, "y"));
        ui().clientClose->click();
        window().statistics()->clearButton()->click();
        QCoreApplication::sendPostedEvents(m_app, QEvent::MetaCall);
        QCOMPARE(window().statistics()->counter(0), QStringLiteral("4"));
    }

    void eventsWithoutAPortChangeNothing()
    {
        deliver(kEventIdentity, identityRecord(5));
        deliver(kEventLog, statisticsRecord(5, "ghost"));
        QCOMPARE(page().identity(ConnectionPage::kModelName), uiText("N/A"));
        QCOMPARE(window().statistics()->counter(0), QStringLiteral("0"));
        QVERIFY(!window().log()->toPlainText().contains(QStringLiteral("ghost")));
    }

    void workerEventsAreHandledInOrder()
    {
        openTcpClient();
        window().clearLogButton()->click();
        std::atomic<int> delivered {0};
        recorder::worker = std::thread([&] {
            for (uint32_t i = 1; i <= 60; ++i) {
                auto r = statisticsRecord(i, "n" + std::to_string(i));
                recorder::callback(&recorder::portObject, kEventLog, r.data());
                ++delivered;
            }
        });
        QTRY_COMPARE(delivered.load(), 60);
        recorder::joinWorker();
        QCoreApplication::sendPostedEvents(m_app, QEvent::MetaCall);
        window().showPending();
        QStringList expected;
        for (int i = 1; i <= 60; ++i)
            expected << QStringLiteral("n%1").arg(i);
        QCOMPARE(window().log()->toPlainText(), expected.join('\n') + '\n');
        QCOMPARE(window().statistics()->counter(0), QStringLiteral("60"));
    }

    void closingWhileTheWorkerWaitsDoesNotDeadlock()
    {
        openTcpClient();
        std::atomic<int> delivered {0};
        // A worker at full rate that only stops when the "library" joins it.
        recorder::worker = std::thread([&] {
            uint32_t i = 0;
            while (!recorder::stopWorker) {
                auto r = statisticsRecord(++i, "x");
                recorder::callback(&recorder::portObject, kEventLog, r.data());
                ++delivered;
            }
        });
        QTRY_VERIFY(delivered.load() > 0);
        // The worker is parked in the callback waiting for this thread now
        // or soon; "断开" must get it through the library's join.
        ui().clientClose->click();
        QCOMPARE(recorder::destroyCalls, 1);
        QVERIFY(!recorder::worker.joinable());
        QCOMPARE(page().status(ConnectionKind::TcpClient), uiText("未连接..."));
    }
};

QTEST_MAIN(WindowTest)
#include "shell_window_test.moc"
