#include "main_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app_main.h"
#include "dialogs.h"
#include "file_bytes.h"
#include "page_host.h"
#include "page_layout.h"
#include "shell_texts.h"
#include "statistics_panel.h"
#include "ui_text.h"
#include "window_sizing.h"

namespace qx {

QIcon MainWindow::icon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/qxtools/qxtools-%1.png").arg(size), QSize(size, size));
    return icon;
}

MainWindow::MainWindow(AppMain &app, const std::vector<NetworkAdapter> *adapters)
    : m_app(app)
{
    setWindowTitle(uiText(shell_texts::kWindowTitle));
    setWindowIcon(icon());

    auto *root = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_connection = new ConnectionPage(app, m_tabs, adapters);
    m_pages = new PageHost(m_tabs);
    m_tabs->addTab(m_connection, uiText(shell_texts::kTabConnection));
    m_tabs->addTab(m_pages, uiText(shell_texts::kTabModules));
    // the pages take what the log and the statistics leave
    root->addWidget(m_tabs, 1);

    auto *bottom = new QHBoxLayout;
    auto *logColumn = new QVBoxLayout;
    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setObjectName(QStringLiteral("log"));
    m_log->setAccessibleName(uiText(shell_texts::kLogName));
    // as high as the statistics beside it, and never less than a few lines
    m_log->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    m_log->setMinimumHeight(4 * m_log->fontMetrics().lineSpacing());
    logColumn->addWidget(m_log, 1);
    auto *buttons = new QHBoxLayout;
    m_clearLog = new QPushButton(uiText(shell_texts::kButtonClearLog), this);
    m_pause = new QPushButton(uiText(shell_texts::kButtonPause), this);
    m_saveLog = new QPushButton(uiText(shell_texts::kButtonSaveLog), this);
    buttons->addWidget(m_clearLog);
    buttons->addWidget(m_pause);
    buttons->addWidget(m_saveLog);
    buttons->addStretch(1);
    logColumn->addLayout(buttons);
    bottom->addLayout(logColumn, 3);
    m_statistics = new StatisticsPanel(this);
    bottom->addWidget(m_statistics, 1);
    root->addLayout(bottom);

    // The page that a tab shows takes the focus, as the operator expects
    // after switching.
    for (QTabWidget *tabs : {m_tabs, static_cast<QTabWidget *>(m_pages)}) {
        connect(tabs, &QTabWidget::currentChanged, tabs, [tabs](int index) {
            if (QWidget *page = tabs->widget(index))
                page->setFocus();
        });
    }
    connect(m_clearLog, &QPushButton::clicked, this, &MainWindow::clearLog);
    connect(m_pause, &QPushButton::clicked, this, [this] {
        showPending(); // what came before the press is shown
        m_app.setLogDisplayOn(!m_app.logDisplayOn());
        m_pause->setText(uiText(m_app.logDisplayOn() ? shell_texts::kButtonPause : shell_texts::kButtonResume));
    });
    connect(m_saveLog, &QPushButton::clicked, this, &MainWindow::saveLog);
    connect(m_statistics->clearButton(), &QPushButton::clicked, &m_app, &AppMain::clearStatistics);
    m_frame.setSingleShot(true);
    setFrameMs(kFrameMs);
    connect(&m_frame, &QTimer::timeout, this, &MainWindow::showPending);

    appendLog(uiText(shell_texts::kStartupResolution));
    appendLog(uiText(shell_texts::kStartupGreeting));
    appendLog(uiText(shell_texts::kStartupContact));
}

void MainWindow::appendLog(const QString &text)
{
    m_traffic.append(text.toStdString(), TrafficLog::Clock::now());
    showPending();
}

void MainWindow::appendLibraryLine(std::string_view line)
{
    m_traffic.appendLibraryLine(line, TrafficLog::Clock::now());
    schedulePending();
}

void MainWindow::showCounters(std::array<std::string, 10> counters)
{
    m_counters = std::move(counters);
    m_countersPending = true;
    schedulePending();
}

void MainWindow::schedulePending()
{
    if (m_frame.interval() == 0)
        showPending();
    else if (!m_frame.isActive())
        m_frame.start();
}

void MainWindow::showPending()
{
    m_frame.stop();
    if (m_traffic.hasPending()) {
        const TrafficLog::Insertion insertion = m_traffic.takePending();
        if (insertion.clearFirst)
            emptyPane();
        if (!insertion.text.empty()) {
            QTextCursor cursor(m_log->document());
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(uiText(insertion.text));
            m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
        }
    }
    if (m_countersPending) {
        m_countersPending = false;
        std::array<QString, StatisticsPanel::kCounterCount> shown;
        for (std::size_t i = 0; i < shown.size(); ++i)
            shown[i] = uiText(m_counters[i]);
        m_statistics->setCounters(shown);
    }
}

void MainWindow::setFrameMs(int ms)
{
    showPending();
    m_frame.setInterval(ms);
}

int MainWindow::logLineCount() const
{
    return static_cast<int>(m_traffic.lineCount());
}

void MainWindow::clearLog()
{
    m_traffic.clear();
    emptyPane();
}

void MainWindow::emptyPane()
{
    m_log->setUpdatesEnabled(false);
    m_log->clear();
    m_log->setUpdatesEnabled(true);
}

void MainWindow::saveLog()
{
    showPending();
    FileRequest request;
    request.title = uiText(shell_texts::kButtonSaveLog);
    request.filter = uiText(shell_texts::kLogFilter);
    request.defaultSuffix = uiText(shell_texts::kLogSuffix);
    const FileChoice choice = m_app.dialogs().saveFile(this, request);
    if (choice.path.isEmpty())
        return;
    const FileWriteResult written = writeFileAtomically(choice.path.toStdString(), m_traffic.savedText());
    if (!written.ok) {
        m_app.dialogs().message(this, uiText(written.message));
        return;
    }
    m_app.logFilePath(choice.path);
}

void MainWindow::applyScreenSizing(const QRect &screen)
{
    WindowGeometry g = mainWindowGeometry(screen.width(), screen.height());
    // Never below what the controls need, or they would overlap; the pages
    // scroll down only where the screen is too low to show them whole.
    QSize least = pagesLeastSize(this, screen.size());
    int width = std::max(g.width, least.width());
    int height = std::max(g.height, least.height());
    setFixedSize(width, height);
    move(screen.x() + (screen.width() - width) / 2, screen.y() + g.y);
}

void MainWindow::showEvent(QShowEvent *event)
{
    if (!m_sized) {
        m_sized = true;
        if (QScreen *s = screen())
            applyScreenSizing(s->geometry());
        // restoreGeometry keeps the window on a screen that is present
        if (!m_keptGeometry.isEmpty())
            restoreGeometry(m_keptGeometry);
    }
    QWidget::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    m_app.shutdown();
    event->accept();
}

} // namespace qx
