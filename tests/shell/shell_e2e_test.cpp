// QXTools against the real libqxlib.so and the simulated module: each
// transport opens and shows the module's identity, statistics and the log
// move while polling, failures reach the operator, and closing or
// reconnecting while events arrive at full rate never hangs.
#include <algorithm>

#include <sys/socket.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QImage>
#include <QTcpServer>
#include <QtTest>

#include "app_main.h"
#include "descriptors.h"
#include "library_binder.h"
#include "main_window.h"
#include "model_catalogue.h"
#include "port_settings_builder.h"
#include "qxsim_process.h"
#include "request_record.h"
#include "scripted_dialogs.h"
#include "ui_text.h"
#include "window_test.h"
#include "shell_texts.h"
#include "statistics_panel.h"

using namespace qx;

namespace {

// The loopback port qxsim listens on, 0 when it did not start.
quint16 tcpPort(const qxtest::QxsimProcess &sim)
{
    return static_cast<quint16>(std::max(sim.port("listening tcp"), 0));
}

} // namespace

class EndToEndTest : public WindowTest
{
    Q_OBJECT

private:

    ConnectionPage &page() { return m_app->connectionPage(); }
    const ConnectionPage::Controls &ui() { return page().controls(); }
    MainWindow &window() { return m_app->mainWindow(); }
    QString counter(int i) { return window().statistics()->counter(i); }

    void expectSimulatedIdentity()
    {
        const ModelTexts model = ModelCatalogue().lookup(155, 5);
        QTRY_COMPARE_WITH_TIMEOUT(page().identity(ConnectionPage::kModelName),
                                  QString::fromStdString(model.name), 10000);
        QCOMPARE(page().identity(ConnectionPage::kDescription), QString::fromStdString(model.description));
        QCOMPARE(page().identity(ConnectionPage::kSeries), QStringLiteral("0x05"));
        QCOMPARE(page().identity(ConnectionPage::kFirmwareVersion), QStringLiteral("Ver7.6"));
        QCOMPARE(page().identity(ConnectionPage::kDriverVersion), QStringLiteral("Ver2.1"));
        QCOMPARE(page().identity(ConnectionPage::kSerialNumber), QStringLiteral("20245170000155"));
        QCOMPARE(page().identity(ConnectionPage::kFactoryDate), QStringLiteral("2024-5-17"));
    }

    void connectTcpClient(quint16 port) { QVERIFY(m_window.connectTcpClient(port)); }

    void poll(uint8_t mode)
    {
        RequestRecord r;
        r.setMode(mode);
        r.setStart(0);
        r.setQuantity(8);
        QVERIFY(m_app->sendRequest(kSlotReadHoldingRegisters, r, RequestLength::kRead));
    }

private slots:
    void tcpClientShowsTheModule()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(tcpPort(sim) != 0);
        connectTcpClient(tcpPort(sim));
        expectSimulatedIdentity();
        QTRY_COMPARE(page().status(ConnectionKind::TcpClient), uiText("已连接"));
        ui().clientClose->click();
        QCOMPARE(page().status(ConnectionKind::TcpClient), uiText("未连接..."));
        QCOMPARE(page().identity(ConnectionPage::kModelName), uiText("N/A"));
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void udpShowsTheModule()
    {
        qxtest::QxsimProcess sim({"--udp", "127.0.0.1:0"});
        QVERIFY(sim.port("listening udp") > 0);
        ui().udp->click();
        QVERIFY(page().selectLocalAddress(QStringLiteral("127.0.0.1")));
        ui().udpIp->setText(QStringLiteral("127.0.0.1"));
        ui().udpPort->setText(QString::number(sim.port("listening udp")));
        ui().udpLocalPort->setText(QString::number(qxtest::freePort(SOCK_DGRAM)));
        ui().udpConnect->click();
        expectSimulatedIdentity();
        QTRY_COMPARE(page().status(ConnectionKind::Udp), uiText("已连接"));
        ui().udpClose->click();
        QCOMPARE(page().status(ConnectionKind::Udp), uiText("未连接..."));
    }

    void tcpServerShowsTheModuleThatConnects()
    {
        const quint16 port = qxtest::freePort(SOCK_STREAM);
        ui().tcpServer->click();
        QVERIFY(page().selectLocalAddress(QStringLiteral("127.0.0.1")));
        ui().listenPort->setText(QString::number(port));
        ui().listen->click();
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(page().status(ConnectionKind::TcpServer), uiText("等待模块连入..."));
        qxtest::QxsimProcess sim({"--connect", "127.0.0.1:" + std::to_string(port)});
        QVERIFY(!sim.lines().empty());
        expectSimulatedIdentity();
        QVERIFY(ui().peer->text().startsWith(QStringLiteral("127.0.0.1:")));
        QTRY_COMPARE(page().status(ConnectionKind::TcpServer), uiText("已连接"));
        ui().serverClose->click();
        QCOMPARE(page().status(ConnectionKind::TcpServer), uiText("未连接..."));
        QCOMPARE(ui().peer->text(), uiText("---.---.---.---:---"));
    }

    void serialThroughAPseudoTerminal()
    {
        qxtest::QxsimProcess sim({"--pty"});
        QVERIFY(!sim.ptyPath().empty());
        m_window.openSerial(QString::fromStdString(sim.ptyPath()));
        QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messages.join('|')));
        expectSimulatedIdentity();
        QTRY_COMPARE(page().status(ConnectionKind::Serial), uiText("已连接"));
        ui().serialClose->click();
        QCOMPARE(page().status(ConnectionKind::Serial), uiText("未连接..."));
    }

    void pollingMovesCountersAndTheLog()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(tcpPort(sim) != 0);
        connectTcpClient(tcpPort(sim));
        QTRY_COMPARE_WITH_TIMEOUT(page().status(ConnectionKind::TcpClient), uiText("已连接"), 10000);

        int most = 0;
        bool emptied = false;
        int previous = window().logLineCount();
        connect(m_app, &AppMain::eventHandled, this, [&] {
            int n = window().logLineCount();
            most = std::max(most, n);
            emptied = emptied || n < previous;
            previous = n;
        });
        poll(kModeRepeat);
        // More than 101 lines go by: two per transaction.
        QTRY_VERIFY_WITH_TIMEOUT(counter(1).toUInt() > 120, 30000);
        QVERIFY(emptied);
        QVERIFY(most <= 101);
        QVERIFY(counter(2).toUInt() > 0);
        QVERIFY(window().log()->toPlainText().contains(uiText("接收数据(HEX):")));

        window().pauseButton()->click();
        QCoreApplication::processEvents();
        const QString frozen = window().log()->toPlainText();
        const uint rx = counter(1).toUInt();
        QTRY_VERIFY(counter(1).toUInt() > rx + 10);
        QCOMPARE(window().log()->toPlainText(), frozen);
        window().pauseButton()->click();
        QTRY_VERIFY(window().log()->toPlainText() != frozen);

        // The panel draws the counters of the last report once per frame;
        // a frame late, equal counters may hide a request still on its way,
        // whose answer would count after the clearing. Shown as they come,
        // equal counters mean nothing is outstanding.
        window().setFrameMs(0);
        poll(kModeIdle);
        // Let the last answer in before clearing.
        QTRY_COMPARE(counter(1), counter(0));
        window().statistics()->clearButton()->click();
        for (int i = 0; i < StatisticsPanel::kCounterCount; ++i)
            QTRY_COMPARE(counter(i), QStringLiteral("0"));
    }

    void missingSerialDeviceIsReported()
    {
        ui().serial->click();
        ui().serialPort->setEditText(QStringLiteral("/dev/ttyQX404"));
        ui().serialOpen->click();
        QCOMPARE(m_dialogs->messages, QStringList {uiText("连接失败！")});
        QCOMPARE(page().status(ConnectionKind::Serial), uiText("失败,串口不存在或被占用"));
        ui().serialClose->click();
        QCOMPARE(page().status(ConnectionKind::Serial), uiText("未连接..."));
        QVERIFY(ui().serialOpen->isEnabled());
    }

    void listeningOnATakenPortIsRefused()
    {
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
        ui().tcpServer->click();
        QVERIFY(page().selectLocalAddress(QStringLiteral("127.0.0.1")));
        ui().listenPort->setText(QString::number(taken.serverPort()));
        ui().listen->click();
        QCOMPARE(m_dialogs->messages, QStringList {uiText(shell_texts::kListenFailed)});
        QVERIFY(ui().listen->isEnabled());
        QCOMPARE(page().status(ConnectionKind::TcpServer), uiText("未连接..."));
    }

    void connectingToAClosedPortFails()
    {
        connectTcpClient(qxtest::freePort(SOCK_STREAM));
        QTRY_COMPARE_WITH_TIMEOUT(page().status(ConnectionKind::TcpClient), uiText("连接失败"), 15000);
        QCOMPARE(page().identity(ConnectionPage::kModelName), uiText("N/A"));
    }

    void commandLineConnectsAndPicturesTheWindow()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(tcpPort(sim) != 0);
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("window.png"));
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(QX_QXTOOLS_FILE),
                   {QStringLiteral("--connect"), QStringLiteral("tcp-client:127.0.0.1:%1").arg(tcpPort(sim)),
                    QStringLiteral("--address"), QStringLiteral("1"), QStringLiteral("--screenshot"), picture,
                    QStringLiteral("--quit-after"), QStringLiteral("20000")});
        QVERIFY(tool.waitForFinished(60000));
        // Exit code 0 means the picture was taken once the identity was shown.
        QCOMPARE(tool.exitCode(), 0);
        QImage image(picture);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() > 400 && image.height() > 300);
    }

    void commandLineRefusesWhatItCannotOpen()
    {
        QProcess tool;
        tool.start(QStringLiteral(QX_QXTOOLS_FILE),
                   {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--connect"),
                    QStringLiteral("tcp-client:localhost:1")});
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 2);
        QVERIFY(tool.readAllStandardError().contains("not a dotted IPv4 address: localhost"));
        tool.start(QStringLiteral(QX_QXTOOLS_FILE),
                   {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--help")});
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY(tool.readAllStandardOutput().contains("--connect serial:PATH[:BAUD]"));
    }

    void reconnectingWhilePollingNeverHangs()
    {
        // How long this takes is measured by bench/bench_shell_reconnect.
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(tcpPort(sim) != 0);
        QSignalSpy handled(m_app, &AppMain::eventHandled);
        QSignalSpy identities(m_app, &AppMain::identityShown);
        for (int round = 0; round < 6; ++round) {
            const qsizetype shown = identities.size();
            if (round % 2 == 0) {
                connectTcpClient(tcpPort(sim));
            } else {
                // Opening again destroys the polling port object first.
                SettingsResult s = buildTcpClientSettings("127.0.0.1", "127.0.0.1", tcpPort(sim));
                QCOMPARE(m_app->openPort(s.settings), 0);
            }
            QTRY_VERIFY_WITH_TIMEOUT(identities.size() > shown, 10000);
            poll(kModeRepeat);
            const qsizetype seen = handled.size();
            QTRY_VERIFY(handled.size() > seen + 6);
            if (round % 2 == 0)
                continue;
            ui().clientClose->click();
            QCOMPARE(page().status(ConnectionKind::TcpClient), uiText("未连接..."));
        }
        connectTcpClient(tcpPort(sim));
        QTRY_VERIFY_WITH_TIMEOUT(page().identity(ConnectionPage::kModelName) != uiText("N/A"), 10000);
        poll(kModeRepeat);
        const qsizetype seen = handled.size();
        QTRY_VERIFY(handled.size() > seen + 6);
        // Closing the main window while events arrive.
        window().close();
        QCOMPARE(m_app->portHandle(), intptr_t(0));
        QVERIFY(m_dialogs->messages.isEmpty());
    }
};

QTEST_MAIN(EndToEndTest)
#include "shell_e2e_test.moc"
