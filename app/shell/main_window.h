// The main window: the top-level tabs "通讯设置" and "模块操作", the traffic
// log with its buttons, and the statistics panel.
#pragma once

#include <vector>

#include <QIcon>
#include <QWidget>

#include "connection_page.h"

class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace qx {

class AppMain;
class PageHost;
class StatisticsPanel;

class MainWindow : public QWidget
{
    Q_OBJECT

public:
    MainWindow(AppMain &app, const std::vector<NetworkAdapter> *adapters = nullptr);

    // The program's icon in its small and big sizes.
    static QIcon icon();

    ConnectionPage *connectionPage() const { return m_connection; }
    PageHost *pageHost() const { return m_pages; }
    QTabWidget *topTabs() const { return m_tabs; }
    StatisticsPanel *statistics() const { return m_statistics; }
    QPlainTextEdit *log() const { return m_log; }
    QPushButton *clearLogButton() const { return m_clearLog; }
    QPushButton *pauseButton() const { return m_pause; }

    // Appends text at the end of the log as it is (its own line breaks).
    void appendLog(const QString &text);
    // A library log line: the log is emptied first when it holds more than
    // 100 lines.
    void appendLibraryLine(const QString &line);
    void clearLog();
    int logLineCount() const;

    // The share of the screen that the window takes, centred at the top,
    // never less than the placed pages need. Runs when the window is first
    // shown, so every page is in place by then.
    void applyScreenSizing(const QRect &screen);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    AppMain &m_app;
    QTabWidget *m_tabs = nullptr;
    ConnectionPage *m_connection = nullptr;
    PageHost *m_pages = nullptr;
    QPlainTextEdit *m_log = nullptr;
    QPushButton *m_clearLog = nullptr;
    QPushButton *m_pause = nullptr;
    StatisticsPanel *m_statistics = nullptr;
    bool m_sized = false;
};

} // namespace qx
