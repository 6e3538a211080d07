// The "固件升级" box of the configuration page, driven through its controls
// against qxsim over TCP and over a pseudo-terminal, one test per behaviour
// (the rules are tested in firmware_upgrade_test).
#include <csignal>

#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app_main.h"
#include "caption_check.h"
#include "config_page.h"
#include "config_texts.h"
#include "firmware_box.h"
#include "frames.h"
#include "main_window.h"
#include "page_host.h"
#include "scripted_dialogs.h"
#include "shell_texts.h"
#include "ui_text.h"
#include "window_test.h"

using namespace qx;

namespace {

QByteArray pattern(int n)
{
    const qxtest::Bytes b = qxtest::pattern(std::size_t(n));
    return QByteArray(reinterpret_cast<const char *>(b.data()), n);
}

} // namespace

class FirmwareBoxTest : public WindowTest
{
    Q_OBJECT

private:
    RO2000ScanPoll *m_page = nullptr;
    FirmwareBox *m_box = nullptr;
    QTemporaryDir m_files;

    const FirmwareBox::Controls &ui() const { return m_box->controls(); }
    QString log() const { return m_app->mainWindow().log()->toPlainText(); }

    // qxsim keeping its state in `stateDir`, over TCP on loopback or over a
    // pseudo-terminal.
    static std::vector<std::string> simArgs(const QString &transport, const QTemporaryDir &stateDir)
    {
        std::vector<std::string> args {"--state", stateDir.path().toStdString()};
        if (transport == QLatin1String("tcp"))
            args.insert(args.end(), {"--tcp", "127.0.0.1:0"});
        else
            args.push_back("--pty");
        return args;
    }

    QString imageFile(int size)
    {
        const QString path = m_files.filePath(QStringLiteral("qx_bios_%1.bin").arg(size));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(pattern(size));
        return path;
    }

private slots:
    void init()
    {
        WindowTest::init();
        m_page = new RO2000ScanPoll(*m_app);
        m_app->pageHost().setPage(PageHost::kConfigPage, m_page);
        m_box = m_page->firmwareBox();
    }

    void upgradeWithoutImageOrLinkSendsNothing()
    {
        QCOMPARE(uncaptionedFields(m_box), QStringList());
        ui().upgrade->click();
        QCOMPARE(m_dialogs->messages, QStringList {uiText(config_texts::kFirmwareNoImage)});
        // an image but no port open: refused before the confirmation
        m_dialogs->fileAnswers.enqueue({imageFile(2500), 0});
        ui().open->click();
        ui().upgrade->click();
        QCOMPARE(m_dialogs->messages, (QStringList {uiText(config_texts::kFirmwareNoImage), uiText(shell_texts::kNeedConnection)}));
        QVERIFY(m_dialogs->confirmations.isEmpty());
        QVERIFY(!m_box->upgrade().running());
        QVERIFY(ui().upgrade->isEnabled());
    }

    void imageGoesPartByPart_data()
    {
        QTest::addColumn<QString>("transport");
        QTest::newRow("tcp") << QStringLiteral("tcp");
        QTest::newRow("pty") << QStringLiteral("pty");
    }

    void imageGoesPartByPart()
    {
        QFETCH(QString, transport);
        QTemporaryDir state;
        qxtest::QxsimProcess sim(simArgs(transport, state));
        QVERIFY(m_window.connectToQxsim(sim));
        const QString path = imageFile(2500);
        m_dialogs->fileAnswers.enqueue({path, 0});
        ui().open->click();
        QCOMPARE(m_dialogs->fileRequests.last().filter, uiText(config_texts::kFirmwareFilter));
        QVERIFY(log().contains(uiText("文件路径:") + path + uiText(", 大小: 2500 bytes ")));

        QSignalSpy running(m_box, &FirmwareBox::transferRunning);
        ui().upgrade->click();
        QCOMPARE(m_dialogs->confirmations, QStringList {uiText(config_texts::kFirmwareConfirm)});
        QCOMPARE(ui().open->text(), uiText(config_texts::kButtonCancelUpgrade));
        QVERIFY(!ui().upgrade->isEnabled());
        const RO2000ScanPoll::Controls &page = m_page->controls();
        for (QPushButton *b : {page.read, page.write, page.load})
            QVERIFY(!b->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->messages.size(), 1, 15000);
        QCOMPARE(m_dialogs->messages.last(), uiText(config_texts::kFirmwareDone));
        for (int part = 1; part <= 3; ++part)
            QVERIFY(log().contains(uiText("升级BIOS:正在传送,Part %1/3,Byte 1024/2500").arg(part)));
        QCOMPARE(ui().progress->maximum(), 3);
        QCOMPARE(ui().progress->value(), 3);
        QCOMPARE(ui().open->text(), uiText(config_texts::kButtonOpenImage));
        QVERIFY(ui().upgrade->isEnabled());
        QCOMPARE(running.size(), 2);
        QCOMPARE(running.last().first().toBool(), false);
        for (QPushButton *b : {page.read, page.write, page.load})
            QVERIFY(b->isEnabled());

        QFile stored(state.filePath(QStringLiteral("bios.bin")));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll().left(2500), pattern(2500));
    }

    // The module's link to QXTools' TCP server drops after the first part:
    // the transfer goes on once it is back, and the image arrives whole.
    void upgradeGoesOnWhenTheModuleReconnects()
    {
        QTemporaryDir state;
        std::unique_ptr<qxtest::QxsimProcess> sim;
        QVERIFY(m_window.listenForQxsim(sim, {"--state", state.path().toStdString()}));
        m_dialogs->fileAnswers.enqueue({imageFile(2500), 0});
        ui().open->click();
        ui().upgrade->click();
        QTRY_COMPARE_WITH_TIMEOUT(ui().progress->value(), 1, 10000);
        ::kill(sim->pid(), SIGUSR1);
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->messages.size(), 1, 30000);
        QCOMPARE(m_dialogs->messages.last(), uiText(config_texts::kFirmwareDone));
        QFile stored(state.filePath(QStringLiteral("bios.bin")));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QByteArray expected = pattern(2500);
        expected.append(3 * 1024 - 2500, char(0xFF));
        QCOMPARE(stored.readAll(), expected);
    }

    void killedModuleKeepsItsImage_data() { imageGoesPartByPart_data(); }

    // qxsim killed while an image goes out: the closed TCP link ends the
    // transfer, on the terminal it goes on resending until "取消升级"; the
    // port closes, and qxsim restarted on its state still holds the image
    // it had before and answers a new connection.
    void killedModuleKeepsItsImage()
    {
        QFETCH(QString, transport);
        QTemporaryDir state;
        QByteArray earlier = pattern(1500);
        earlier.append(2 * 1024 - 1500, char(0xFF));
        QFile kept(state.filePath(QStringLiteral("bios.bin")));
        QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write(earlier) == earlier.size());
        kept.close();
        auto sim = std::make_unique<qxtest::QxsimProcess>(simArgs(transport, state));
        QVERIFY(m_window.connectToQxsim(*sim));
        m_dialogs->fileAnswers.enqueue({imageFile(5000), 0});
        ui().open->click();
        killAtProgress(ui().progress, 2, *sim);
        ui().upgrade->click();
        QTRY_VERIFY_WITH_TIMEOUT(ui().progress->value() >= 2, 10000);
        sim->waitExit();
        if (transport == QLatin1String("pty")) {
            QTRY_VERIFY_WITH_TIMEOUT(log().contains(uiText(config_texts::kBiosTimeout).trimmed()), 10000);
            QVERIFY(m_box->upgrade().running());
            ui().open->click(); // "取消升级"
        }
        QTRY_VERIFY_WITH_TIMEOUT(!m_box->upgrade().running(), 10000);
        QCOMPARE(m_dialogs->messages, QStringList {uiText(config_texts::kFirmwareCancelled)});
        QCOMPARE(ui().open->text(), uiText(config_texts::kButtonOpenImage));
        QVERIFY(m_window.closeLinkTo(*sim));

        sim = std::make_unique<qxtest::QxsimProcess>(simArgs(transport, state));
        QVERIFY(m_window.connectToQxsim(*sim));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), earlier);
    }

    void cancelMidWayWarns()
    {
        QTemporaryDir state;
        qxtest::QxsimProcess sim(simArgs(QStringLiteral("tcp"), state));
        QVERIFY(m_window.connectToQxsim(sim));
        m_dialogs->fileAnswers.enqueue({imageFile(5000), 0});
        ui().open->click();
        ui().upgrade->click();
        QVERIFY(m_box->upgrade().running());
        ui().open->click(); // "取消升级"
        QCOMPARE(m_dialogs->messages, QStringList {uiText(config_texts::kFirmwareCancelled)});
        QVERIFY(!m_box->upgrade().running());
        QCOMPARE(ui().open->text(), uiText(config_texts::kButtonOpenImage));
        QVERIFY(ui().upgrade->isEnabled());
        // the answer to the part already placed changes nothing
        QTRY_VERIFY_WITH_TIMEOUT(log().contains(QStringLiteral(" 01 43 01 00 00")), 10000);
        QCOMPARE(log().count(uiText("升级BIOS:正在传送")), 1);
        QCOMPARE(m_dialogs->messages.size(), 1);
    }
};

QTEST_MAIN(FirmwareBoxTest)
#include "firmware_box_test.moc"
