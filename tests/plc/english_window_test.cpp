// QXTools in English, every page against the real library and qxsim: with
// the module's identity, its parameter block, the demo PLC program compiled
// and the scaling file loaded, no widget, list entry, chart, log line or
// message shows a Chinese character. Texts that the cores put together
// (reports, countdowns, module descriptions) are among them.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

#include "config_page.h"
#include "io_page_parts.h"
#include "language.h"
#include "main_window.h"
#include "page_host.h"
#include "plc_dialogs.h"
#include "plc_page.h"
#include "scaling_store.h"
#include "scripted_plc_dialogs.h"
#include "window_test.h"

using namespace qx;

namespace {

// What a widget shows or tells a screen reader.
QStringList shownTexts(const QWidget *w)
{
    QStringList texts {w->windowTitle(), w->toolTip(), w->accessibleName(), w->accessibleDescription()};
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        texts << b->text();
    if (auto *l = qobject_cast<const QLabel *>(w))
        texts << l->text();
    if (auto *g = qobject_cast<const QGroupBox *>(w))
        texts << g->title();
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        texts << e->text() << e->placeholderText();
    if (auto *c = qobject_cast<const QComboBox *>(w)) {
        for (int i = 0; i < c->count(); ++i)
            texts << c->itemText(i);
    }
    if (auto *s = qobject_cast<const QAbstractSpinBox *>(w))
        texts << s->text();
    if (auto *t = qobject_cast<const QTabWidget *>(w)) {
        for (int i = 0; i < t->count(); ++i)
            texts << t->tabText(i);
    }
    if (auto *p = qobject_cast<const QPlainTextEdit *>(w))
        texts << p->toPlainText();
    if (auto *t = qobject_cast<const QTextEdit *>(w))
        texts << t->toPlainText();
    if (auto *v = qobject_cast<const QAbstractItemView *>(w); v && v->model()) {
        const QAbstractItemModel *m = v->model();
        for (int c = 0; c < m->columnCount(); ++c)
            texts << m->headerData(c, Qt::Horizontal).toString();
        for (int r = 0; r < m->rowCount(); ++r) {
            texts << m->headerData(r, Qt::Vertical).toString();
            for (int c = 0; c < m->columnCount(); ++c)
                texts << m->index(r, c).data().toString();
        }
    }
    if (auto *v = qobject_cast<const QChartView *>(w)) {
        texts << v->chart()->title();
        for (const QAbstractAxis *axis : v->chart()->axes())
            texts << axis->titleText();
        for (const QAbstractSeries *series : v->chart()->series())
            texts << series->name();
    }
    return texts;
}

// Every text under `root` (itself included) with a Chinese character, named
// by the widget's class.
QStringList chineseTexts(const QWidget *root)
{
    static const QRegularExpression chinese(QStringLiteral("[\\x{2e80}-\\x{9fff}\\x{f900}-\\x{faff}\\x{ff00}-\\x{ffef}]"));
    QList<const QWidget *> widgets {root};
    for (const QWidget *w : root->findChildren<QWidget *>())
        widgets << w;
    QStringList found;
    for (const QWidget *w : widgets) {
        for (const QString &text : shownTexts(w)) {
            if (text.contains(chinese))
                found << QStringLiteral("%1: %2").arg(QString::fromLatin1(w->metaObject()->className()), text);
        }
    }
    return found;
}

} // namespace

class EnglishWindowTest : public WindowTest
{
    Q_OBJECT

private:
    ScalingStore m_scaling;

private slots:
    void initTestCase()
    {
        QVERIFY(installLanguage("en"));
        WindowTest::initTestCase();
    }

    void init() { WindowTest::init(); }

    void everyPageSpeaksEnglish()
    {
        placeIoPages(*m_app, m_scaling);
        auto *config = new RO2000ScanPoll(*m_app);
        config->setTickInterval(500);
        m_app->pageHost().setPage(PageHost::kConfigPage, config);
        auto plcDialogs = std::make_unique<ScriptedPlcDialogs>();
        auto *plc = new COperEPLC(*m_app, m_scaling, std::move(plcDialogs));
        m_app->pageHost().setPage(PageHost::kPlcPage, plc);
        MainWindow &window = m_app->mainWindow();
        QCOMPARE(chineseTexts(&window), QStringList());

        qxtest::QxsimProcess sim({"--tcp", "127.0.0.1:0"});
        QVERIFY(m_window.connectToQxsim(sim));
        QTRY_VERIFY_WITH_TIMEOUT(window.log()->toPlainText().contains(QStringLiteral("Received")), 10000);

        // a parameter block read from the module fills the form
        config->controls().read->click();
        QTRY_VERIFY_WITH_TIMEOUT(config->controls().read->isEnabled(), 15000);
        QVERIFY(!m_dialogs->messages.isEmpty());

        // the demo program compiles into a report; its analog rows need the
        // scaling file
        QVERIFY(m_scaling.load(QX_EXAMPLES_DIR "/scaling.txt").complete);
        m_dialogs->fileAnswers.enqueue({QStringLiteral(QX_EXAMPLES_DIR "/plc_demo.txt"), 1});
        plc->controls().load->click();
        QVERIFY(!plc->controls().report->toPlainText().isEmpty());
        m_dialogs->message(nullptr, plc->controls().report->toPlainText());

        for (int page = 0; page < PageHost::kPageCount; ++page) {
            m_app->pageHost().setCurrentIndex(page);
            QCoreApplication::processEvents();
        }
        QCOMPARE(chineseTexts(&window), QStringList());
        const QStringList messages = m_dialogs->messages + m_dialogs->confirmations;
        QCOMPARE(messages.filter(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]"))), QStringList());
    }

    void plcDialogsSpeakEnglish()
    {
        CDlgFopenTxt source;
        CDlgFopenPrj project;
        CPassword password(true, QString(), QString());
        CDlgEplcTrans sizes(64);
        for (const QWidget *dialog : std::initializer_list<const QWidget *> {&source, &project, &password, &sizes})
            QCOMPARE(chineseTexts(dialog), QStringList());
    }
};

QTEST_MAIN(EnglishWindowTest)
#include "english_window_test.moc"
