// The DI/DO, AI/AO and PWM/counter pages in QXTools' window against the real
// library, with qxsim or a libmodbus server as the module; what the pages
// write is read back on the module's side.
#include <fstream>
#include <functional>

#include <csignal>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <modbus/modbus.h>

#include "ai_trend_view.h"
#include "aiao_page.h"
#include "app_main.h"
#include "caption_check.h"
#include "dido_page.h"
#include "io_page_parts.h"
#include "main_window.h"
#include "modbus_peer.h"
#include "page_host.h"
#include "pwm_page.h"
#include "qxsim_process.h"
#include "scaling_store.h"
#include "scripted_dialogs.h"
#include "ui_text.h"
#include "window_test.h"

using namespace qx;

namespace {

// A libmodbus client beside QXTools, to see what the module holds.
class ModuleView
{
public:
    explicit ModuleView(int port)
        : m_ctx(modbus_new_tcp("127.0.0.1", port))
    {
        modbus_set_slave(m_ctx, 1);
        modbus_set_response_timeout(m_ctx, 3, 0); // a module may answer slowly
        m_connected = modbus_connect(m_ctx) == 0;
    }
    ~ModuleView() { modbus_free(m_ctx); }
    ModuleView(const ModuleView &) = delete;
    ModuleView &operator=(const ModuleView &) = delete;

    bool connected() const { return m_connected; }
    // -1 when the read failed
    int coil(int address)
    {
        uint8_t bit = 0;
        return modbus_read_bits(m_ctx, address, 1, &bit) == 1 ? bit : -1;
    }
    int inputRegister(int address)
    {
        uint16_t value = 0;
        return modbus_read_input_registers(m_ctx, address, 1, &value) == 1 ? value : -1;
    }
    int holdingRegister(int address)
    {
        uint16_t value = 0;
        return modbus_read_registers(m_ctx, address, 1, &value) == 1 ? value : -1;
    }

private:
    modbus_t *m_ctx;
    bool m_connected = false;
};

int peerRegister(qxtest::ModbusPeer &peer, int address)
{
    int value = 0;
    peer.withMap([&](modbus_mapping_t &m) { value = m.tab_registers[address]; });
    return value;
}

int peerCoil(qxtest::ModbusPeer &peer, int address)
{
    int value = 0;
    peer.withMap([&](modbus_mapping_t &m) { value = m.tab_bits[address]; });
    return value;
}

// 32-bit values as the module keeps them: high register first.
void setInputValue(qxtest::ModbusPeer &peer, int address, uint32_t value)
{
    peer.withMap([&](modbus_mapping_t &m) {
        m.tab_input_registers[address] = static_cast<uint16_t>(value >> 16);
        m.tab_input_registers[address + 1] = static_cast<uint16_t>(value);
    });
}

// A scaling file with the same entries on every channel, `patch` appended
// to the line of its key.
std::string scalingText(const std::map<std::string, std::string> &patch = {})
{
    const char *sections[] = {"AINOISE", "AIRATIO", "AIUNIT", "AONOISE", "AORATIO", "AOUNIT"};
    const char *prefixes[] = {"dwNoiseAI", "fRatioAI", "byUnitAI", "dwNoiseAO", "fRatioAO", "byUnitAO"};
    const char *values[] = {"100", "0.5", "5", "0", "2", "6"};
    std::string out;
    for (int s = 0; s < 6; ++s) {
        out += std::string("[") + sections[s] + "]\r\n";
        for (int ch = 1; ch <= 8; ++ch) {
            const std::string key = prefixes[s] + std::to_string(ch);
            const auto p = patch.find(key);
            out += key + "=" + (p == patch.end() ? values[s] : p->second) + "\r\n";
        }
    }
    return out;
}

} // namespace

class IoPagesTest : public WindowTest
{
    Q_OBJECT

private:

    ScalingStore m_scaling;

    RO2000Set &dido() { return *qobject_cast<RO2000Set *>(m_app->pageHost().page(PageHost::kDidoPage)); }
    RO2000Tag &aiao() { return *qobject_cast<RO2000Tag *>(m_app->pageHost().page(PageHost::kAiaoPage)); }
    RO2000Scan &pwm() { return *qobject_cast<RO2000Scan *>(m_app->pageHost().page(PageHost::kPipoPage)); }

    // TCP client to a module on loopback; qxsim answers with its identity.
    void connectTo(int port)
    {
        QVERIFY(m_window.connectTcpClient(static_cast<quint16>(port)));
        QVERIFY(m_app->portHandle() != 0);
    }

private slots:
    void init()
    {
        WindowTest::init();
        placeIoPages(*m_app, m_scaling);
    }

    void everyFieldCanBeFoundByItsCaption()
    {
        for (QWidget *page : {static_cast<QWidget *>(&dido()), static_cast<QWidget *>(&aiao()),
                              static_cast<QWidget *>(&pwm())})
            QVERIFY2(uncaptionedFields(page).isEmpty(), qPrintable(uncaptionedFields(page).join(u',')));
        QCOMPARE(m_app->pageHost().tabText(PageHost::kDidoPage), uiText("DI/DO操作"));
        QCOMPARE(dido().controls().outputs[31]->text(), uiText("Y32/OFF"));
        QCOMPARE(aiao().controls().ai[7].scaled->text(), uiText("N/A"));
        QCOMPARE(aiao().controls().ao[0].unit->text(), uiText("无"));
        QVERIFY(!aiao().controls().aiCalibrate->isEnabled());
        QCOMPARE(pwm().controls().pwm[3].run->text(), uiText("Y7输出PWM"));
        QCOMPARE(pwm().controls().pwm[0].frequency->text(), uiText("10"));
    }

    void outputY3LightsInputX3()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(m_window.connectToQxsim(sim));
        ModuleView module(sim.port("listening tcp"));
        QVERIFY(module.connected());
        const RO2000Set::Controls &ui = dido().controls();
        ui.pollInputs->click();
        QVERIFY(!ui.pollInputs->isEnabled() && !ui.pollOnline->isEnabled() && ui.stopInputs->isEnabled());
        QVERIFY(!ui.inputs[2]->isChecked());
        ui.outputs[2]->click();
        QCOMPARE(ui.outputs[2]->text(), uiText("Y3/ON"));
        QVERIFY(ui.outputs[2]->isChecked());
        QTRY_VERIFY(ui.inputs[2]->isChecked()); // the module wires Y3 back to X3
        QCOMPARE(module.coil(2), 1);
        QVERIFY(!ui.inputs[3]->isChecked());
    }

    void writesPressedTogetherAllArrive()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(m_window.connectToQxsim(sim));
        ModuleView module(sim.port("listening tcp"));
        QVERIFY(module.connected());
        const RO2000Set::Controls &dio = dido().controls();
        const RO2000Tag::Controls &ai = aiao().controls();
        // one event-loop turn: each write would replace the one before it
        // in the library's slot; the PWM run coil shares the DI/DO slot
        dio.outputs[0]->click();
        dio.outputs[2]->click();
        pwm().controls().pwm[3].run->click();
        ai.ao[0].raw->setText(QStringLiteral("11"));
        ai.ao[1].raw->setText(QStringLiteral("22"));
        ai.aoWrite[0]->click();
        ai.aoWrite[1]->click();
        QCOMPARE(dio.outputs[0]->text(), uiText("Y1/ON"));
        QCOMPARE(dio.outputs[2]->text(), uiText("Y3/ON"));

        QTRY_COMPARE(module.coil(38), 1);
        QCOMPARE(module.coil(0), 1);
        QCOMPARE(module.coil(2), 1);
        QTRY_COMPARE(module.holdingRegister(1), 22);
        QCOMPARE(module.holdingRegister(0), 11);
    }

    // Against a module that answers in 900 ms, three polls take their turns
    // in the library's round-robin before each write: every press still
    // reaches the module.
    void writesBehindPollsAllArrive()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0", "--delay-ms", "900"});
        QVERIFY(m_window.connectToQxsim(sim));
        ModuleView module(sim.port("listening tcp"));
        QVERIFY(module.connected());
        const RO2000Set::Controls &dio = dido().controls();
        dio.pollInputs->click();
        dio.pollOutputs->click();
        aiao().controls().pollAi->click();
        for (int n = 0; n < 5; ++n)
            dio.outputs[n]->click();
        QTRY_COMPARE_WITH_TIMEOUT(module.coil(4), 1, 60000);
        for (int n = 0; n < 4; ++n)
            QCOMPARE(module.coil(n), 1);
    }

    // The module's link to QXTools' TCP server drops and comes back: the
    // counter poll goes on filling the PI/PO page, never the AI rows.
    void counterPollGoesOnWhenTheModuleReconnects()
    {
        std::unique_ptr<qxtest::QxsimProcess> sim;
        QVERIFY(m_window.listenForQxsim(sim));
        const RO2000Scan::Controls &counters = pwm().controls();
        const RO2000Tag::Controls &ai = aiao().controls();
        counters.pollAll->click();
        QVERIFY(!counters.pollAll->isEnabled());
        // X9 toggles every 0.5 s on qxsim, so its counter moves
        QTRY_VERIFY_WITH_TIMEOUT(counters.counters[8]->text().toLong() > 0, 10000);
        const QString aiShown = ai.ai[0].raw->text();

        QSignalSpy identity(m_app, &AppMain::identityShown);
        QSignalSpy closed(m_app, &AppMain::portClosed);
        ::kill(sim->pid(), SIGUSR1);
        QTRY_COMPARE_WITH_TIMEOUT(m_app->connectionPage().status(ConnectionKind::TcpServer), uiText("未连接..."), 5000);
        QVERIFY(identity.wait(10000));
        const long before = counters.counters[8]->text().toLong();
        QTRY_VERIFY_WITH_TIMEOUT(counters.counters[8]->text().toLong() > before, 10000);
        QVERIFY(closed.isEmpty());
        QVERIFY(!counters.pollAll->isEnabled());
        QCOMPARE(pwm().groupMask(), uint8_t(kCountersAll));
        QCOMPARE(ai.ai[0].raw->text(), aiShown);
    }

    void allOnShowsAfterTheNextOutputRead()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(m_window.connectToQxsim(sim));
        ModuleView module(sim.port("listening tcp"));
        const RO2000Set::Controls &ui = dido().controls();
        ui.allOn->click();
        QTRY_COMPARE(module.coil(23), 1);
        QCOMPARE(module.coil(0), 1);
        QCOMPARE(ui.outputs[0]->text(), uiText("Y1/OFF")); // not before the module says so
        ui.pollOutputs->click();
        QVERIFY(!ui.pollOutputs->isEnabled());
        QTRY_COMPARE(ui.outputs[23]->text(), uiText("Y24/ON"));
        for (int n = 1; n <= 24; ++n)
            QCOMPARE(ui.outputs[n - 1]->text(), QStringLiteral("Y%1/ON").arg(n));
        QCOMPARE(ui.outputs[24]->text(), uiText("Y25/OFF"));
        ui.outputs[24]->click(); // Y25..Y32 do nothing
        QCOMPARE(ui.outputs[24]->text(), uiText("Y25/OFF"));
        ui.allOff->click();
        QTRY_COMPARE(ui.outputs[0]->text(), uiText("Y1/OFF"));
        QCOMPARE(module.coil(0), 0);
    }

    void subStationMovesTheOutputPoint()
    {
        qxtest::ModbusPeer peer;
        connectTo(peer.port());
        const RO2000Set::Controls &ui = dido().controls();
        ui.subStation->setCurrentIndex(3);
        QCOMPARE(ui.subStation->currentText(), uiText("子机3"));
        ui.outputs[4]->click();
        QCOMPARE(ui.outputs[4]->text(), uiText("Y5/ON"));
        QTRY_COMPARE(peerCoil(peer, 68), 1);
        QCOMPARE(peerCoil(peer, 4), 0);
        ui.outputs[4]->click();
        QCOMPARE(ui.outputs[4]->text(), uiText("Y5/OFF"));
        QTRY_COMPARE(peerCoil(peer, 68), 0);
    }

    void onlinePollingLightsTheSubStations()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(m_window.connectToQxsim(sim));
        const RO2000Set::Controls &ui = dido().controls();
        ui.pollOnline->click();
        QVERIFY(!ui.pollInputs->isEnabled() && !ui.stopInputs->isEnabled() && ui.stopOnline->isEnabled());
        QTRY_VERIFY(ui.online[7]->isChecked()); // qxsim has sub-stations 1..8 online
        QVERIFY(ui.online[0]->isChecked());
        QVERIFY(!ui.online[8]->isChecked() && !ui.online[9]->isChecked());
        ui.stopOnline->click();
        QVERIFY(ui.pollInputs->isEnabled() && ui.pollOnline->isEnabled());
    }

    void scalingFileScalesInputsAndOutputs()
    {
        qxtest::ModbusPeer peer;
        setInputValue(peer, 0, 300);
        setInputValue(peer, 2, 50);
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("scaling.txt")).toStdString();
        std::ofstream(path, std::ios::binary) << scalingText({{"byUnitAI3", "4"}});
        connectTo(peer.port());

        const RO2000Tag::Controls &ui = aiao().controls();
        m_dialogs->fileAnswers.enqueue({QString::fromStdString(path), 0});
        ui.loadScaling->click();
        QCOMPARE(m_dialogs->fileRequests.size(), 1);
        QCOMPARE(m_dialogs->fileRequests[0].filter, uiText("配置文件(*.txt)|*.txt|所有文件(*.*)|*.*||"));
        QCOMPARE(m_dialogs->fileRequests[0].defaultSuffix, QStringLiteral("txt"));
        QVERIFY(m_app->mainWindow().log()->toPlainText().contains(uiText("文件路径:") + QString::fromStdString(path)));
        QCOMPARE(m_dialogs->messages, QStringList {uiText("模拟量AI通道3量纲不正确！")});
        QCOMPARE(ui.ai[2].unit->text(), uiText("无"));
        QCOMPARE(ui.ai[0].unit->text(), uiText("v伏特"));
        QCOMPARE(ui.ai[0].noise->text(), uiText("100"));
        QCOMPARE(ui.ai[0].ratio->text(), uiText("0.500000"));
        QCOMPARE(ui.ao[0].unit->text(), uiText("ma毫安"));
        QCOMPARE(m_scaling.tables().valid, 0);

        ui.pollAi->click();
        QVERIFY(!ui.pollAi->isEnabled());
        QTRY_COMPARE(ui.ai[0].scaled->text(), uiText("100.000000"));
        QCOMPARE(ui.ai[0].raw->text(), uiText("300"));
        QCOMPARE(ui.ai[1].scaled->text(), uiText("25.000000")); // 50 is below the noise

        ui.subStation->setCurrentIndex(2);
        ui.ao[4].raw->setText(QStringLiteral("1000"));
        ui.aoWrite[4]->click();
        QCOMPARE(ui.ao[4].scaled->text(), uiText("2000.000000"));
        QTRY_COMPARE(peerRegister(peer, 12), 1000);
    }

    void valuesOutOfRangeAreRefused()
    {
        qxtest::ModbusPeer peer;
        connectTo(peer.port());
        const RO2000Tag::Controls &ai = aiao().controls();
        ai.ao[0].raw->setText(QStringLiteral("70000"));
        ai.aoWrite[0]->click();
        QCOMPARE(m_dialogs->messages, QStringList {uiText("AO1的输出值无效,请输入0~65535之间的整数！")});
        QCOMPARE(ai.ao[0].scaled->text(), uiText("N/A"));

        const RO2000Scan::PwmBox &y3 = pwm().controls().pwm[1];
        y3.low->setText(QStringLiteral("5x"));
        y3.set->click();
        QCOMPARE(m_dialogs->messages.last(),
                 uiText("PWM-Y3的单周期低电平时间(us/ms/s)无效,请输入0~65535之间的整数！"));
        QCOMPARE(y3.frequency->text(), uiText("10"));

        // a write placed afterwards arrives alone: the refused ones sent nothing
        ai.ao[1].raw->setText(QStringLiteral("7"));
        ai.aoWrite[1]->click();
        QTRY_COMPARE(peerRegister(peer, 1), 7);
        QCOMPARE(peerRegister(peer, 0), 0);
        QCOMPARE(peerRegister(peer, 24), 0);
    }

    void pwmSettingsAndRunButtons()
    {
        qxtest::ModbusPeer peer;
        connectTo(peer.port());
        const RO2000Scan::PwmBox &y1 = pwm().controls().pwm[0];
        y1.set->click();
        QCOMPARE(y1.frequency->text(), uiText("10.000000"));
        QCOMPARE(y1.duty->text(), uiText("50.000000"));
        QTRY_COMPARE(peerRegister(peer, 18), 50000);
        QCOMPARE(peerRegister(peer, 17), 50000);
        QCOMPARE(peerRegister(peer, 16), 0);

        y1.unit->setCurrentIndex(1); // "ms毫秒"
        y1.high->setText(QStringLiteral("1"));
        y1.low->setText(QStringLiteral("3"));
        y1.set->click();
        QCOMPARE(y1.frequency->text(), uiText("250.000000"));
        QCOMPARE(y1.duty->text(), uiText("25.000000"));
        QTRY_COMPARE(peerRegister(peer, 18), 3);
        QCOMPARE(peerRegister(peer, 17), 1);
        QCOMPARE(peerRegister(peer, 16), 1);

        y1.high->setText(QStringLiteral("0"));
        y1.low->setText(QStringLiteral("0"));
        y1.set->click();
        QCOMPARE(y1.frequency->text(), uiText("--")); // not "inf" or "nan"
        QCOMPARE(y1.duty->text(), uiText("--"));

        const RO2000Scan::PwmBox &y7 = pwm().controls().pwm[3];
        pwm().controls().subStation->setCurrentIndex(3); // PWM points ignore it
        y7.run->click();
        QCOMPARE(y7.run->text(), uiText("Y7输出停止"));
        QVERIFY(y7.run->isChecked());
        QTRY_COMPARE(peerCoil(peer, 38), 1);
        y7.run->click();
        QCOMPARE(y7.run->text(), uiText("Y7输出PWM"));
        QTRY_COMPARE(peerCoil(peer, 38), 0);
    }

    void allCountersOfASubStation()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(m_window.connectToQxsim(sim));
        const RO2000Scan::Controls &ui = pwm().controls();
        ui.subStation->setCurrentIndex(2);
        ui.pollAll->click();
        QCOMPARE(pwm().groupMask(), 112);
        QVERIFY(!ui.pollAll->isEnabled() && ui.pollX1to4->isEnabled());
        // qxsim numbers sub-station s's counters 100 s + k: 48 registers
        // from 280 hold sub-station 2's X1..X12 and sub-station 3's
        QTRY_COMPARE(ui.counters[23]->text(), uiText("312"));
        QCOMPARE(ui.counters[0]->text(), uiText("201"));
        QCOMPARE(ui.counters[11]->text(), uiText("212"));
        QCOMPARE(ui.counters[12]->text(), uiText("301"));
        QCOMPARE(ui.counters[24]->text(), uiText("0"));
        ui.stop->click();
        QCOMPARE(pwm().groupMask(), 0);
        QVERIFY(ui.pollAll->isEnabled());
    }

    void clearAllCounters()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(m_window.connectToQxsim(sim));
        ModuleView module(sim.port("listening tcp"));
        dido().controls().outputs[0]->click(); // Y1 on counts one pulse on X1
        const RO2000Scan::Controls &ui = pwm().controls();
        ui.pollX1to4->click();
        QVERIFY(!ui.pollX1to4->isEnabled() && !ui.pollX5to12->isEnabled() && !ui.pollAll->isEnabled());
        QTRY_COMPARE(ui.counters[0]->text(), uiText("1"));
        QCOMPARE(ui.counters[4]->text(), uiText("0")); // not polled
        ui.stop->click();
        ui.clear->click();
        for (QLineEdit *field : ui.counters)
            QCOMPARE(field->text(), uiText("0"));
        QTRY_COMPARE(module.inputRegister(25), 0);
    }

    void aiPollDuringCounterPollFillsTheCounters()
    {
        qxtest::ModbusPeer peer;
        setInputValue(peer, 0, 300);
        setInputValue(peer, 24, 7);
        connectTo(peer.port());
        const RO2000Scan::Controls &counters = pwm().controls();
        const RO2000Tag::Controls &ai = aiao().controls();
        counters.pollX1to4->click();
        QTRY_COMPARE(counters.counters[0]->text(), uiText("7"));
        // slot 6 now reads the analog inputs, but the counters still own it
        ai.pollAi->click();
        QTRY_COMPARE(counters.counters[0]->text(), uiText("300"));
        QCOMPARE(ai.ai[0].raw->text(), uiText("0"));
        counters.stop->click();
        ai.stopAi->click();
        ai.pollAi->click();
        QTRY_COMPARE(ai.ai[0].raw->text(), uiText("300"));
    }

    void closingThePortResetsThePollButtons()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(m_window.connectToQxsim(sim));
        const RO2000Set::Controls &d = dido().controls();
        const RO2000Tag::Controls &a = aiao().controls();
        const RO2000Scan::Controls &c = pwm().controls();
        for (QPushButton *b : {d.pollInputs, d.pollOutputs, a.pollAo, c.pollX5to12})
            b->click();
        for (QPushButton *b : {d.pollInputs, d.pollOutputs, a.pollAo, c.pollX5to12, c.pollAll})
            QVERIFY(!b->isEnabled());
        m_app->connectionPage().controls().clientClose->click();
        for (QPushButton *b : {d.pollInputs, d.pollOnline, d.stopOnline, d.pollOutputs, a.pollAi, a.pollAo,
                               c.pollX1to4, c.pollX5to12, c.pollX13to24, c.pollAll})
            QVERIFY(b->isEnabled());
        QCOMPARE(pwm().groupMask(), 0);
    }

    void trendFollowsTheAnalogInputs()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(m_window.connectToQxsim(sim));
        MainWindow &window = m_app->mainWindow();
        window.show();
        window.topTabs()->setCurrentIndex(1);
        m_app->pageHost().setCurrentIndex(PageHost::kAiaoPage);
        const RO2000Tag::Controls &ui = aiao().controls();
        QVERIFY(ui.trend->isVisible());
        ui.pollAi->click();
        QTRY_VERIFY_WITH_TIMEOUT(ui.trend->series(7)->count() >= 2, 10000);
        QVERIFY(ui.trend->redrawing());
        ui.trendSwitch->setChecked(false);
        QVERIFY(!ui.trend->isVisible());
        QVERIFY(!ui.trend->redrawing()); // nothing is drawn while it is off
        ui.trendSwitch->setChecked(true);
        QVERIFY(ui.trend->redrawing());
        QVERIFY(ui.trend->ring().size() <= ui.trend->ring().capacity());
    }
};

QTEST_MAIN(IoPagesTest)
#include "io_pages_test.moc"
