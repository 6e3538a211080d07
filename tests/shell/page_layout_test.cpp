// Every page in the window as it opens on a 1920x1080 and on a 1366x768
// screen (the sizes the start-up text recommends), in Chinese and (with
// QX_TEST_LANGUAGE=en) in English: on the first each group box shows whole
// without any scrolling; on the second each one shows whole once the page is
// scrolled down to it, and nothing needs a sideways scroll.
// No box is squeezed below the size its fields need, and the window takes at
// least its share of the screen and never more than the screen.
#include <memory>

#include <QDir>
#include <QGroupBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QtTest>

#include "app_main.h"
#include "config_page.h"
#include "io_page_parts.h"
#include "language.h"
#include "main_window.h"
#include "page_host.h"
#include "plc_page.h"
#include "scaling_store.h"
#include "scripted_dialogs.h"
#include "window_sizing.h"

using namespace qx;

namespace {

constexpr int kConnectionPage = -1;

// The part of `w` that its parents leave in view, in window coordinates.
QRect shownPart(const QWidget *w)
{
    QRect r = w->rect();
    for (const QWidget *p = w; !p->isWindow(); p = p->parentWidget()) {
        r.translate(p->pos());
        r &= p->parentWidget()->rect();
    }
    return r;
}

QScrollArea *enclosingScrollArea(QWidget *w)
{
    for (QWidget *p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(p))
            return area;
    }
    return nullptr;
}

// Renders the window, as a screenshot does (which lays out the hidden pages
// too), and with QX_SCREENSHOT_DIR set saves it there, named by the page and
// the screen (scripts/screenshots.sh).
void renderWindow(QWidget &window, bool reserved)
{
    const QPixmap shot = window.grab();
    const QString dir = qEnvironmentVariable("QX_SCREENSHOT_DIR");
    if (dir.isEmpty() || reserved)
        return;
    const QString name = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'));
    const QString language = qEnvironmentVariable("QX_TEST_LANGUAGE", QStringLiteral("zh"));
    const QString prefix
        = language == QLatin1String("zh") ? QStringLiteral("layout_") : QStringLiteral("layout_%1_").arg(language);
    const QString file = QDir(dir).filePath(prefix + name + QStringLiteral(".png"));
    if (!shot.save(file))
        qWarning("screenshot: could not save %s", qPrintable(file));
}

} // namespace

class PageLayoutTest : public QObject
{
    Q_OBJECT

private:
    ScriptedDialogs m_dialogs;
    ScalingStore m_scaling;
    // a laptop's adapters as Linux names them
    const std::vector<NetworkAdapter> m_adapters {{"lo", {"127.0.0.1"}, true}, {"enp0s31f6", {"192.168.1.20"}, false}};
    std::unique_ptr<AppMain> m_app;

    // The page, in front.
    QWidget *showPage(int page)
    {
        MainWindow &window = m_app->mainWindow();
        if (page == kConnectionPage) {
            window.topTabs()->setCurrentIndex(0);
            return window.connectionPage();
        }
        window.topTabs()->setCurrentIndex(1);
        m_app->pageHost().setCurrentIndex(page);
        return m_app->pageHost().page(PageHost::Page(page));
    }

private slots:
    void initTestCase()
    {
        // the English texts are longer: page_layout_test_en runs with them
        QVERIFY(installLanguage(qEnvironmentVariable("QX_TEST_LANGUAGE", QStringLiteral("zh")).toStdString()));
        // no port is ever opened: the library is not needed
        m_app = std::make_unique<AppMain>(LibraryFunctions {}, m_dialogs, &m_adapters);
        placeIoPages(*m_app, m_scaling);
        m_app->pageHost().setPage(PageHost::kConfigPage, new RO2000ScanPoll(*m_app));
        m_app->pageHost().setPage(PageHost::kPlcPage, new COperEPLC(*m_app, m_scaling));
        m_app->mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_app->mainWindow()));
    }

    void cleanupTestCase() { m_app.reset(); }

    void boxesShow_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("reserved"); // the configuration page's RESERV box shown
        const std::pair<const char *, int> pages[] = {
            {"connection", kConnectionPage},   {"dido", PageHost::kDidoPage},     {"aiao", PageHost::kAiaoPage},
            {"pipo", PageHost::kPipoPage},     {"config", PageHost::kConfigPage}, {"plc", PageHost::kPlcPage},
        };
        for (QSize screen : {QSize(1920, 1080), QSize(1366, 768)}) {
            for (const auto &[name, page] : pages)
                QTest::addRow("%s %dx%d", name, screen.width(), screen.height()) << screen << page << false;
        }
        QTest::addRow("config with RESERV 1366x768") << QSize(1366, 768) << int(PageHost::kConfigPage) << true;
    }

    void boxesShow()
    {
        QFETCH(QSize, screen);
        QFETCH(int, page);
        QFETCH(bool, reserved);
        MainWindow &window = m_app->mainWindow();
        window.applyScreenSizing(QRect(QPoint(0, 0), screen));
        const WindowGeometry share = mainWindowGeometry(screen.width(), screen.height());
        QVERIFY(window.width() >= share.width && window.height() >= share.height);
        QVERIFY(window.width() <= screen.width() && window.height() <= screen.height());

        auto *config = qobject_cast<RO2000ScanPoll *>(m_app->pageHost().page(PageHost::kConfigPage));
        config->controls().reserv->setVisible(reserved);
        QWidget *shown = showPage(page);
        // a page that changes its arrangement lays out again, a level of
        // nesting per pass
        for (int pass = 0; pass < 8; ++pass)
            QCoreApplication::processEvents();
        const bool wholeScreen = screen.width() >= 1920;
        for (QScrollArea *area : shown->findChildren<QScrollArea *>()) {
            QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
            if (wholeScreen)
                QCOMPARE(area->verticalScrollBar()->maximum(), 0);
        }
        const QList<QGroupBox *> boxes = shown->findChildren<QGroupBox *>();
        QVERIFY(!boxes.isEmpty());
        for (QGroupBox *box : boxes) {
            if (!box->isVisibleTo(&window))
                continue;
            if (QScrollArea *area = enclosingScrollArea(box))
                area->ensureWidgetVisible(box, 0, 0);
            const QRect part = shownPart(box);
            const QSize least = box->minimumSizeHint();
            QVERIFY2(part.size() == box->size() && box->width() >= least.width() && box->height() >= least.height(),
                     qPrintable(QStringLiteral("\"%1\" %2x%3, needing %4x%5, shows %6x%7 of it")
                                    .arg(box->title())
                                    .arg(box->width())
                                    .arg(box->height())
                                    .arg(least.width())
                                    .arg(least.height())
                                    .arg(part.width())
                                    .arg(part.height())));
        }
        qInfo("page area %dx%d in a window of %dx%d", shown->width(), shown->height(), window.width(),
              window.height());
        renderWindow(window, reserved);
    }
};

QTEST_MAIN(PageLayoutTest)
#include "page_layout_test.moc"
