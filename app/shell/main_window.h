// The main window: the top-level tabs "通讯设置" and "模块操作", the traffic
// log with its buttons, and the statistics panel. Library lines and counters
// reach the screen once per frame (traffic_log.h says why).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include <QByteArray>
#include <QIcon>
#include <QTimer>
#include <QWidget>

#include "connection_page.h"
#include "traffic_log.h"

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
    // How often waiting library lines and counters are put on the screen:
    // ten times a second is faster than anyone reads a scrolling log, and
    // each refresh repaints the log pane and the counters once, whatever
    // number of lines came in between.
    static constexpr int kFrameMs = 100;

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
    QPushButton *saveLogButton() const { return m_saveLog; }

    // Appends text at the end of the log as it is (its own line breaks),
    // shown at once after the library lines still waiting.
    void appendLog(const QString &text);
    // A library line (UTF-8, its break included): the log is emptied first
    // when it holds more than 100 lines. Shown with the next frame.
    void appendLibraryLine(std::string_view line);
    // TxCmd, RxCmd, TxByte, RxByte and the six response classes, shown with
    // the next frame.
    void showCounters(std::array<std::string, 10> counters);
    // Puts what waits for the next frame on the screen now.
    void showPending();
    // How long library lines and counters wait to be shown together; 0 shows
    // each at once, one insertion per line (benchmarks compare the two).
    void setFrameMs(int ms);
    void clearLog();
    int logLineCount() const;
    // "保存日志": the log as shown, each line with the time it was added.
    void saveLog();

    // A place kept from an earlier run (QWidget::saveGeometry), taken when
    // the window is first shown after its screen sizing; data that is no
    // longer valid leaves the window where the sizing put it.
    void keepGeometry(const QByteArray &geometry) { m_keptGeometry = geometry; }

    // The share of the screen that the window takes, centred at the top,
    // never less than the placed pages need. Runs when the window is first
    // shown, so every page is in place by then.
    void applyScreenSizing(const QRect &screen);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void schedulePending();
    void emptyPane();

    AppMain &m_app;
    QTabWidget *m_tabs = nullptr;
    ConnectionPage *m_connection = nullptr;
    PageHost *m_pages = nullptr;
    QPlainTextEdit *m_log = nullptr;
    QPushButton *m_clearLog = nullptr;
    QPushButton *m_pause = nullptr;
    QPushButton *m_saveLog = nullptr;
    StatisticsPanel *m_statistics = nullptr;
    TrafficLog m_traffic;
    std::array<std::string, 10> m_counters;
    bool m_countersPending = false;
    QTimer m_frame;
    bool m_sized = false;
    QByteArray m_keptGeometry;
};

} // namespace qx
