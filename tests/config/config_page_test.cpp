// The "配置模块" page driven through its controls against the real library
// and qxsim, one test per behaviour (the rules themselves are tested in
// param_form_test).
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app_main.h"
#include "caption_check.h"
#include "common_texts.h"
#include "config_page.h"
#include "config_texts.h"
#include "main_window.h"
#include "page_host.h"
#include "param_form.h"
#include "scripted_dialogs.h"
#include "ui_text.h"
#include "window_test.h"

using namespace qx;

namespace {

// What every control shows, in one comparable list.
QStringList snapshot(const RO2000ScanPoll &page)
{
    QStringList out;
    for (const PageControl &c : pageControls()) {
        QWidget *w = page.control(c.name);
        QString value;
        if (auto *e = qobject_cast<QLineEdit *>(w))
            value = e->text();
        else if (auto *l = qobject_cast<QComboBox *>(w))
            value = QString::number(l->currentIndex());
        else if (auto *k = qobject_cast<QCheckBox *>(w))
            value = k->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
        out << QString::fromStdString(c.name) + QLatin1Char('=') + value;
    }
    return out;
}

} // namespace

class ConfigPageTest : public WindowTest
{
    Q_OBJECT

private:
    RO2000ScanPoll *m_page = nullptr;

    const RO2000ScanPoll::Controls &ui() const { return m_page->controls(); }
    QString log() const { return m_app->mainWindow().log()->toPlainText(); }

    // Presses `button` and waits for its countdown to end; the messages of
    // the operation are those that came meanwhile.
    QStringList runOperation(QPushButton *button)
    {
        const qsizetype before = m_dialogs->messages.size();
        button->click();
        // the buttons are disabled from the press to the countdown's end
        if (!QTest::qWaitFor([this] { return ui().read->isEnabled(); }, 15000))
            return {QStringLiteral("(the countdown did not end)")};
        return m_dialogs->messages.mid(before);
    }

    QStringList readModule() { return runOperation(ui().read); }

private slots:
    void init()
    {
        WindowTest::init();
        m_page = new RO2000ScanPoll(*m_app);
        // half-second ticks: three seconds for the simulated module to answer
        m_page->setTickInterval(500);
        m_app->pageHost().setPage(PageHost::kConfigPage, m_page);
    }

    void everyFieldHasItsCaption()
    {
        QCOMPARE(uncaptionedFields(m_page), QStringList());
        QCOMPARE(m_page->edit("QXMode")->text(), uiText(common_texts::kNotAvailable));
        QVERIFY(!ui().reserv->isVisibleTo(m_page));
        QCOMPARE(m_page->list("R1BaudRate")->currentText(), QStringLiteral("115200"));
        QCOMPARE(m_page->list("E1SocketType1")->currentText(), uiText("TCP服务器"));
    }

    void readShowsTheModulesBlock()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(m_window.connectToQxsim(sim));
        QCOMPARE(readModule(), QStringList {uiText(config_texts::kReadDone)});
        QCOMPARE(m_page->edit("QXMode")->text(), QStringLiteral("155"));
        QCOMPARE(m_page->edit("E1LocalIP")->text(), QStringLiteral("192.168.1.200"));
        QCOMPARE(m_page->edit("E1LocalPort1")->text(), QStringLiteral("10001"));
        QCOMPARE(m_page->edit("dwDiscTm")->text(), QStringLiteral("30000"));
        QCOMPARE(m_page->edit("dwIOFilterWin")->text(), QStringLiteral("10"));
        // 155 is an ETH and DIO model: no serial, radio or WIFI box
        QVERIFY(m_page->edit("E1LocalIP")->isEnabled());
        QVERIFY(!m_page->list("R1BaudRate")->isEnabled());
        QVERIFY(!m_page->edit("W1LocalIP")->isEnabled());
        QVERIFY(!m_page->edit("L1Freq")->isEnabled());
        QVERIFY(m_page->list("IO1")->isEnabled());
        QCOMPARE(ui().read->text(), uiText(config_texts::kReadButton));
        m_window.saveScreenshot(QStringLiteral("config_page"), PageHost::kConfigPage);
    }

    void editedFieldIsWrittenAndReadBack()
    {
        QTemporaryDir state;
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0", "--state", state.path().toStdString()});
        QVERIFY(m_window.connectToQxsim(sim));
        QCOMPARE(readModule(), QStringList {uiText(config_texts::kReadDone)});
        m_page->edit("E1LocalIP")->setText(QStringLiteral("10.0.0.7"));
        m_page->edit("dwRepTwinTm")->setText(QStringLiteral("70000"));
        m_page->list("E1SocketType1")->setCurrentIndex(1);
        QCOMPARE(runOperation(ui().write), QStringList {uiText(config_texts::kParamsWritten)});
        QCOMPARE(m_dialogs->confirmations, QStringList {uiText(config_texts::kWriteConfirm)});
        QCOMPARE(ui().write->text(), uiText(config_texts::kWriteButton));

        m_page->edit("E1LocalIP")->setText(QStringLiteral("1.1.1.1"));
        QCOMPARE(readModule(), QStringList {uiText(config_texts::kReadDone)});
        QCOMPARE(m_page->edit("E1LocalIP")->text(), QStringLiteral("10.0.0.7"));
        QCOMPARE(m_page->edit("dwRepTwinTm")->text(), QStringLiteral("70000"));
        QCOMPARE(m_page->list("E1SocketType1")->currentText(), uiText("TCP客户端"));
    }

    void loraModelWritesTheCompactPayload()
    {
        QTemporaryDir state;
        // qxsim refuses a write whose payload is not 108 bytes for 220
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0", "--model", "220", "--state", state.path().toStdString()});
        QVERIFY(m_window.connectToQxsim(sim));
        QCOMPARE(readModule(), QStringList {uiText(config_texts::kReadDone)});
        QVERIFY(m_page->edit("L1Freq")->isEnabled());
        QVERIFY(!m_page->list("R1BaudRate")->isEnabled());
        m_page->edit("L1Freq")->setText(QStringLiteral("433000"));
        m_page->check("L1CrcOn")->setChecked(true);
        QCOMPARE(runOperation(ui().write), QStringList {uiText(config_texts::kParamsWritten)});
        QCOMPARE(m_page->block().payload().size(), std::size_t(108));
        QCOMPARE(readModule(), QStringList {uiText(config_texts::kReadDone)});
        QCOMPARE(m_page->edit("L1Freq")->text(), QStringLiteral("433000"));
        QVERIFY(m_page->check("L1CrcOn")->isChecked());
    }

    void badChecksumThenReadFailed()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0", "--bad-block", "checksum"});
        QVERIFY(m_window.connectToQxsim(sim));
        const QStringList messages = readModule();
        QCOMPARE(messages, (QStringList {uiText(config_texts::kParamsBadChecksum), uiText(config_texts::kReadFailed)}));
        QCOMPARE(m_page->edit("QXMode")->text(), uiText(common_texts::kNotAvailable));
    }

    void shortBlockIsIncomplete()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0", "--bad-block", "short"});
        QVERIFY(m_window.connectToQxsim(sim));
        QCOMPARE(readModule(), (QStringList {uiText(config_texts::kParamsIncomplete), uiText(config_texts::kReadFailed)}));
    }

    void writeBeforeAnyReadSendsNothing()
    {
        QTemporaryDir state;
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0", "--state", state.path().toStdString()});
        QVERIFY(m_window.connectToQxsim(sim));
        ui().write->click();
        QCOMPARE(m_dialogs->confirmations.size(), 1);
        QCOMPARE(m_dialogs->messages, QStringList {uiText(config_texts::kNothingLoaded)});
        QVERIFY(ui().write->isEnabled());
        QVERIFY(ui().read->isEnabled());
        // a read after it is answered, so a write would have been handled
        // first; only a write stores the block
        QCOMPARE(readModule(), QStringList {uiText(config_texts::kReadDone)});
        QVERIFY(!QFile::exists(state.filePath(QStringLiteral("params.bin"))));
    }

    void exportThenLoadGivesTheSameBlock()
    {
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(m_window.connectToQxsim(sim));
        QCOMPARE(readModule(), QStringList {uiText(config_texts::kReadDone)});
        m_page->edit("E1DNS")->setText(QStringLiteral("9.9.9.9"));
        m_page->list("IO5")->setCurrentIndex(3);
        const QStringList shown = snapshot(*m_page);

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("module.ini"));
        m_dialogs->fileAnswers.enqueue({file, 0});
        ui().exportIni->click();
        QVERIFY(log().contains(uiText(config_texts::kExportDone) + file));

        m_page->edit("E1DNS")->setText(QStringLiteral("1.2.3.4"));
        m_page->list("IO5")->setCurrentIndex(0);
        const qsizetype before = m_dialogs->messages.size();
        m_dialogs->fileAnswers.enqueue({file, 0});
        ui().load->click();
        QCOMPARE(m_dialogs->messages.mid(before), QStringList {uiText(config_texts::kReadDone)});
        QVERIFY(log().contains(uiText(common_texts::kFilePathLog) + file));
        QCOMPARE(snapshot(*m_page), shown);

        // a stored value without an entry shows as its number, until a block
        // whose value has an entry replaces it
        QFile ini(file);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        ini.close();
        const QString unlisted = dir.filePath(QStringLiteral("unlisted.ini"));
        QFile edited(unlisted);
        QVERIFY(edited.open(QIODevice::WriteOnly));
        edited.write(QByteArray(text).replace("IO5=3\r\n", "IO5=9\r\n"));
        edited.close();
        m_dialogs->fileAnswers.enqueue({unlisted, 0});
        ui().load->click();
        QCOMPARE(m_page->list("IO5")->currentText(), QStringLiteral("9"));
        m_dialogs->fileAnswers.enqueue({file, 0});
        ui().load->click();
        QCOMPARE(m_page->list("IO5")->count(), 5);
        QCOMPARE(snapshot(*m_page), shown);
    }

    void failedLoadKeepsThePageAndLogsTheMissingKey()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("broken.ini"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("[SYSTEM]\r\nQXMode=130\r\nQXExtConf=0\r\nQXAddr1=1\r\n");
        out.close();
        const QStringList shown = snapshot(*m_page);
        m_dialogs->fileAnswers.enqueue({file, 0});
        ui().load->click();
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(log().contains(uiText("配置文件缺少[SYSTEM]下的byRepTwin,配置未加载!")));
        QCOMPARE(snapshot(*m_page), shown);

        m_dialogs->fileAnswers.enqueue({dir.filePath(QStringLiteral("absent.ini")), 0});
        ui().load->click();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages[0].contains(QStringLiteral("absent.ini")));
        QVERIFY(m_dialogs->messages[0].contains(QStringLiteral("No such file or directory")));
    }
};

QTEST_MAIN(ConfigPageTest)
#include "config_page_test.moc"
