// The PLC page driven through its controls, one test per behaviour (the
// rules themselves are tested in plc_editor_test), and a download from the
// page through the real library into qxsim.
#include <memory>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app_main.h"
#include "caption_check.h"
#include "main_window.h"
#include "page_host.h"
#include "plc_compiler.h"
#include "plc_page.h"
#include "plc_source_loader.h"
#include "plc_texts.h"
#include "scaling_store.h"
#include "scripted_dialogs.h"
#include "scripted_plc_dialogs.h"
#include "shell_texts.h"
#include "ui_text.h"
#include "window_test.h"

using namespace qx;
using namespace qx::plc_texts;

namespace {

QByteArray fileContents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class PlcPageTest : public WindowTest
{
    Q_OBJECT

private:
    ScriptedPlcDialogs *m_plcDialogs = nullptr;
    ScalingStore m_scaling;
    COperEPLC *m_page = nullptr;

    const COperEPLC::Controls &ui() const { return m_page->controls(); }
    const COperEPLC::RowControls &cond(int r) const { return ui().conditions[std::size_t(r)]; }
    const COperEPLC::RowControls &act(int r) const { return ui().actions[std::size_t(r)]; }
    QPushButton *block(int n) const { return ui().blocks[std::size_t(n)]; }
    QPushButton *transfer(PlcTransfer t) const { return ui().transfers[std::size_t(t)]; }

    static void setRow(const COperEPLC::RowControls &rc, int code, int op, const char *a, const char *b, int unit)
    {
        rc.code->setCurrentIndex(code);
        rc.op->setCurrentIndex(op);
        rc.a->setText(QString::fromUtf8(a));
        rc.b->setText(QString::fromUtf8(b));
        rc.unit->setCurrentIndex(unit);
    }

    // A new project with block `n` shown.
    void newProjectAt(int n)
    {
        ui().newProject->click();
        block(n)->click();
        QCOMPARE(m_page->editor().currentBlock(), n);
    }

private slots:
    void init()
    {
        WindowTest::init();
        auto dialogs = std::make_unique<ScriptedPlcDialogs>();
        m_plcDialogs = dialogs.get();
        m_page = new COperEPLC(*m_app, m_scaling, std::move(dialogs));
        m_app->pageHost().setPage(PageHost::kPlcPage, m_page);
    }

    void freeBlockShowsEmptyRows()
    {
        QCOMPARE(uncaptionedFields(m_page), QStringList());
        QVERIFY(!block(0)->isEnabled());
        newProjectAt(7);
        QVERIFY(block(7)->isChecked());
        for (int r = 0; r < kPlcRowsPerArea; ++r) {
            for (const COperEPLC::RowControls *rc : {&cond(r), &act(r)}) {
                QCOMPARE(rc->code->currentText(), uiText("空"));
                QCOMPARE(rc->a->text(), QStringLiteral("0"));
                QCOMPARE(rc->b->text(), QStringLiteral("0"));
                QVERIFY(rc->a->isEnabled());
            }
        }
        QVERIFY(ui().report->toPlainText().contains(QStringLiteral("<program7>")));
        QVERIFY(!ui().report->toPlainText().contains(uiText("[条件")));
    }

    void failingCommitTurnsGreenAndTheDownloadRefuses()
    {
        newProjectAt(1);
        setRow(cond(0), 1, 1, "1", "0", 1);
        setRow(act(0), 1, 1, "7", "0", 1); // y1 = 7: not a switch value
        ui().commit->click();
        QCOMPARE(block(1)->accessibleDescription(), uiText(kBlockRunsName));
        QVERIFY(block(1)->styleSheet().contains(QStringLiteral("00ff00")));
        QVERIFY(ui().report->toPlainText().contains(uiText(kActDigitalValueA)));
        m_plcDialogs->blockSizes.enqueue(64);
        transfer(PlcTransfer::RamRun)->click();
        QCOMPARE(m_dialogs->messages, QStringList {uiText(kFixSyntaxFirst)});
        QCOMPARE(m_plcDialogs->blockSizes.size(), 1); // never asked
        QVERIFY(!m_page->editor().download().running());
    }

    void movesAtTheEdgesDoNothing()
    {
        newProjectAt(0);
        setRow(cond(0), 1, 1, "1", "0", 1);
        setRow(act(0), 2, 1, "1", "0", 1);
        setRow(act(9), 3, 1, "0", "0", 1);
        ui().commit->click();
        cond(0).selector->click();
        ui().up->click();
        act(9).selector->click();
        ui().down->click();
        act(0).selector->click();
        ui().up->click(); // never into the conditions
        QCOMPARE(cond(0).code->currentIndex(), 1);
        QCOMPARE(act(0).code->currentIndex(), 2);
        QCOMPARE(act(9).code->currentIndex(), 3);
        QCOMPARE(m_page->editor().project()->row(0, PlcRowKind::Action, 9).code, 3);
        QVERIFY(act(0).selector->isChecked());
        ui().down->click();
        QCOMPARE(act(1).code->currentIndex(), 2);
        QVERIFY(act(1).selector->isChecked());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void pulseOutputKeepsItsDuty()
    {
        newProjectAt(4);
        setRow(cond(0), 1, 1, "1", "0", 1);
        setRow(act(0), 2, 7, "1000", "33.3", 12);
        ui().commit->click();
        block(5)->click();
        block(4)->click();
        QCOMPARE(act(0).a->text(), QStringLiteral("1000"));
        QCOMPARE(act(0).b->text(), QStringLiteral("33.299999"));
        ui().commit->click();
        QCOMPARE(m_page->editor().project()->row(4, PlcRowKind::Action, 0).b, floatBits(33.3f));
        // text that is no number is refused by name and stores nothing
        act(0).b->setText(QStringLiteral("33,3"));
        ui().commit->click();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages[0].startsWith(uiText("控制块4 [动作0] 输出值b")));
        QCOMPARE(m_page->editor().project()->row(4, PlcRowKind::Action, 0).b, floatBits(33.3f));
    }

    void projectRoundTripAndWrongPassword()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("demo.qprj"));
        newProjectAt(2);
        setRow(cond(0), 37, 4, "100", "0", 2);
        setRow(act(0), 1, 1, "1", "0", 1);
        ui().commit->click();
        m_plcDialogs->passwords.enqueue(QStringLiteral("abc123"));
        m_dialogs->fileAnswers.enqueue({file, 0});
        ui().save->click();
        QCOMPARE(m_dialogs->fileRequests.last().defaultSuffix, QStringLiteral("qprj"));
        QCOMPARE(m_dialogs->messages, QStringList {uiText(kSaveOk)});
        const std::vector<uint8_t> saved = m_page->editor().project()->bytes();

        ui().newProject->click();
        m_dialogs->fileAnswers.enqueue({file, 0});
        m_plcDialogs->passwords.enqueue(QStringLiteral("abc123"));
        ui().load->click();
        QCOMPARE(m_page->editor().project()->bytes(), saved);
        QCOMPARE(m_page->editor().mode(), PlcEditMode::Visual);
        QVERIFY(ui().transfers[0]->isEnabled());

        m_dialogs->fileAnswers.enqueue({file, 0});
        m_plcDialogs->passwords.enqueue(QStringLiteral("abc124"));
        ui().load->click();
        QCOMPARE(m_dialogs->messages.last(), uiText(kPasswordWrong));
        QCOMPARE(m_page->editor().project()->bytes(), saved);
    }

    void demoDownloadsToRamAndFlash()
    {
        QTemporaryDir state;
        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0", "--state", state.path().toStdString()});
        QVERIFY(m_window.connectToQxsim(sim));

        // the demo's analog rows need the scaling file the AI/AO page loads
        QVERIFY(m_scaling.load(QX_EXAMPLES_DIR "/scaling.txt").complete);
        m_dialogs->fileAnswers.enqueue({QStringLiteral(QX_EXAMPLES_DIR "/plc_demo.txt"), 1});
        ui().load->click();
        QCOMPARE(m_page->editor().mode(), PlcEditMode::Source);
        QVERIFY(ui().report->toPlainText().contains(uiText("编译成功")));
        const ProgramImage image = buildProgramImage(*m_page->editor().project(), m_scaling.tables());
        const QByteArray expected(reinterpret_cast<const char *>(image.bytes.data()), qsizetype(image.bytes.size()));

        // a transfer leaves only its own button on, as its cancel button
        m_plcDialogs->blockSizes.enqueue(64);
        transfer(PlcTransfer::FlashRun)->click();
        QCOMPARE(transfer(PlcTransfer::FlashRun)->text(), uiText(kButtonCancelTransfer));
        QVERIFY(!transfer(PlcTransfer::RamRun)->isEnabled());
        QVERIFY(!block(0)->isEnabled());
        transfer(PlcTransfer::FlashRun)->click();
        QCOMPARE(m_dialogs->messages, QStringList {uiText(kTransferCancelled)});
        QCOMPARE(transfer(PlcTransfer::FlashRun)->text(), uiText(kButtonFlashRun));
        QVERIFY(m_app->mainWindow().log()->toPlainText().contains(uiText("EPLC下载已被取消!")));

        for (PlcTransfer t : {PlcTransfer::RamRun, PlcTransfer::FlashRun}) {
            m_plcDialogs->blockSizes.enqueue(64);
            const qsizetype before = m_dialogs->messages.size();
            transfer(t)->click();
            QTRY_COMPARE_WITH_TIMEOUT(m_dialogs->messages.size(), before + 1, 15000);
            QCOMPARE(m_dialogs->messages.last(), uiText(kTransferOk));
        }
        QCOMPARE(ui().progress->maximum(), 1 + 5 * 4 + 1);
        QCOMPARE(ui().progress->value(), ui().progress->maximum());
        QVERIFY(ui().transfers[0]->isEnabled());
        QVERIFY(m_app->mainWindow().log()->toPlainText().contains(uiText("升级EPLC:正在传送,Block 4,Byte 64")));
        QCOMPARE(fileContents(state.filePath(QStringLiteral("plc_ram.bin"))), expected);
        QCOMPARE(fileContents(state.filePath(QStringLiteral("plc_flash.bin"))), expected);
        m_window.saveScreenshot(QStringLiteral("plc_page"), PageHost::kPlcPage);

        // closing the link ends a transfer without a message box
        m_plcDialogs->blockSizes.enqueue(8);
        transfer(PlcTransfer::FlashRestart)->click();
        QVERIFY(m_page->editor().download().running());
        m_app->connectionPage().controls().clientClose->click();
        QVERIFY(!m_page->editor().download().running());
        QCOMPARE(transfer(PlcTransfer::FlashRestart)->text(), uiText(kButtonFlashRestart));
        QVERIFY(transfer(PlcTransfer::RamRun)->isEnabled());
        QCOMPARE(m_dialogs->messages.size(), 3);
        // and without a link no transfer starts
        transfer(PlcTransfer::RamRun)->click();
        QCOMPARE(m_dialogs->messages.last(), uiText(shell_texts::kNeedConnection));
    }

    void killedModuleKeepsItsFlashProgram_data()
    {
        QTest::addColumn<QString>("transport");
        for (const char *t : {"tcp", "pty", "server"})
            QTest::newRow(t) << QString::fromLatin1(t);
    }

    // qxsim killed during a FLASH download: the closed TCP link ends the
    // transfer; on the terminal it goes on resending until the pressed
    // button cancels it; a module connected to QXTools' server gets the rest
    // of the transfer once restarted, and refuses the final packet of a
    // program whose start it never saw. The port closes, and the restarted
    // qxsim still keeps the program it had in FLASH.
    void killedModuleKeepsItsFlashProgram()
    {
        QFETCH(QString, transport);
        QTemporaryDir state;
        PlcProject latch;
        QCOMPARE(loadPlcSourceFile(QX_EXAMPLES_DIR "/plc_latch.txt", latch).code, SourceLoadResult::Loaded);
        const ProgramImage image = buildProgramImage(latch, ScalingTables());
        const QByteArray earlier(reinterpret_cast<const char *>(image.bytes.data()), qsizetype(image.bytes.size()));
        QFile kept(state.filePath(QStringLiteral("plc_flash.bin")));
        QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write(earlier) == earlier.size());
        kept.close();
        std::vector<std::string> args {"--state", state.path().toStdString()};
        std::unique_ptr<qxtest::QxsimProcess> sim;
        const bool server = transport == QLatin1String("server");
        if (server) {
            QVERIFY(m_window.listenForQxsim(sim, args));
            const QString port = m_app->connectionPage().controls().listenPort->text();
            args.insert(args.end(), {"--connect", "127.0.0.1:" + port.toStdString()});
        } else {
            args.push_back(transport == QLatin1String("tcp") ? "--tcp" : "--pty");
            if (transport == QLatin1String("tcp"))
                args.push_back("127.0.0.1:0");
            sim = std::make_unique<qxtest::QxsimProcess>(args);
            QVERIFY(m_window.connectToQxsim(*sim));
        }
        newProjectAt(0);
        m_plcDialogs->blockSizes.enqueue(8);
        killAtProgress(ui().progress, 3, *sim);
        transfer(PlcTransfer::FlashRun)->click();
        QTRY_VERIFY_WITH_TIMEOUT(ui().progress->value() >= 3, 10000);
        sim->waitExit();
        QStringList messages; // none when the TCP link closes
        if (server) {
            sim = std::make_unique<qxtest::QxsimProcess>(args, 0);
            messages << uiText(kTransferFailed);
        } else if (transport == QLatin1String("pty")) {
            QTRY_VERIFY_WITH_TIMEOUT(m_app->mainWindow().log()->toPlainText().contains(uiText(kLogAckTimeout).trimmed()),
                                     10000);
            transfer(PlcTransfer::FlashRun)->click(); // "取消升级"
            messages << uiText(kTransferCancelled);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!m_page->editor().download().running(), 30000);
        QCOMPARE(m_dialogs->messages, messages);
        QCOMPARE(transfer(PlcTransfer::FlashRun)->text(), uiText(kButtonFlashRun));
        if (server) {
            m_app->connectionPage().controls().serverClose->click();
        } else {
            QVERIFY(m_window.closeLinkTo(*sim));
            sim = std::make_unique<qxtest::QxsimProcess>(args);
            QVERIFY(m_window.connectToQxsim(*sim));
        }
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), earlier);
    }
};

QTEST_MAIN(PlcPageTest)
#include "plc_page_test.moc"
