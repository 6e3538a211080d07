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
#include "log_rule.h"
#include "page_host.h"
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
    root->addWidget(m_tabs, 3);

    auto *bottom = new QHBoxLayout;
    auto *logColumn = new QVBoxLayout;
    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setObjectName(QStringLiteral("log"));
    m_log->setAccessibleName(uiText(shell_texts::kLogName));
    logColumn->addWidget(m_log, 1);
    auto *buttons = new QHBoxLayout;
    m_clearLog = new QPushButton(uiText(shell_texts::kButtonClearLog), this);
    m_pause = new QPushButton(uiText(shell_texts::kButtonPause), this);
    buttons->addWidget(m_clearLog);
    buttons->addWidget(m_pause);
    buttons->addStretch(1);
    logColumn->addLayout(buttons);
    bottom->addLayout(logColumn, 3);
    m_statistics = new StatisticsPanel(this);
    bottom->addWidget(m_statistics, 1);
    root->addLayout(bottom, 2);

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
        m_app.setLogDisplayOn(!m_app.logDisplayOn());
        m_pause->setText(uiText(m_app.logDisplayOn() ? shell_texts::kButtonPause : shell_texts::kButtonResume));
    });
    connect(m_statistics->clearButton(), &QPushButton::clicked, &m_app, &AppMain::clearStatistics);

    appendLog(uiText(shell_texts::kStartupResolution));
    appendLog(uiText(shell_texts::kStartupGreeting));
    appendLog(uiText(shell_texts::kStartupContact));
}

void MainWindow::appendLog(const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor cursor(m_log->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(plain);
    m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
}

int MainWindow::logLineCount() const
{
    const QTextDocument *doc = m_log->document();
    int lines = doc->blockCount();
    // Text that ends in a line break leaves an empty block behind it.
    if (doc->lastBlock().text().isEmpty())
        --lines;
    return lines;
}

void MainWindow::appendLibraryLine(const QString &line)
{
    if (logNeedsClearing(static_cast<std::size_t>(logLineCount())))
        clearLog();
    appendLog(line);
}

void MainWindow::clearLog()
{
    m_log->setUpdatesEnabled(false);
    m_log->clear();
    m_log->setUpdatesEnabled(true);
}

void MainWindow::applyScreenSizing(const QRect &screen)
{
    WindowGeometry g = mainWindowGeometry(screen.width(), screen.height());
    // Never below what the controls need, or they would overlap.
    QSize least = minimumSizeHint();
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
    }
    QWidget::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    m_app.shutdown();
    event->accept();
}

} // namespace qx
