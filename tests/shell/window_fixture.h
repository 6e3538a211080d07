// QXTools' window for a test against the real library: libqxlib bound once,
// AppMain with scripted dialogs built afresh for each test, and the
// connection page pointed at a module on loopback or a pseudo-terminal.
// With QX_SCREENSHOT_DIR set, saveScreenshot saves the window there (the
// README's pictures, scripts/screenshots.sh).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <csignal>

#include <sys/socket.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QString>
#include <QTabWidget>
#include <QTest>

#include "app_main.h"
#include "descriptors.h"
#include "library_binder.h"
#include "main_window.h"
#include "page_host.h"
#include "qxsim_process.h"
#include "scripted_dialogs.h"

namespace qx {

// Kills qxsim (SIGKILL) the moment `progress` first shows `value`: the
// transfer that fills it is under way, its next packet placed.
inline void killAtProgress(QProgressBar *progress, int value, const qxtest::QxsimProcess &sim)
{
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(progress, &QProgressBar::valueChanged,
                                   [connection, value, pid = sim.pid()](int shown) {
                                       if (shown < value)
                                           return;
                                       ::kill(pid, SIGKILL);
                                       QObject::disconnect(*connection);
                                   });
}

class WindowFixture
{
public:
    ~WindowFixture() { close(); }

    // initTestCase: false with the reason in `error`.
    bool bind(const char *library, QString &error)
    {
        BindResult bound = bindLibrary(library);
        error = QString::fromStdString(bound.message);
        m_library = bound.functions;
        return bound.ok;
    }
    // init and cleanup
    void open()
    {
        close();
        m_dialogs = new ScriptedDialogs;
        m_app = new AppMain(m_library, *m_dialogs);
    }
    void close()
    {
        delete m_app;
        m_app = nullptr;
        delete m_dialogs;
        m_dialogs = nullptr;
    }

    AppMain &app() const { return *m_app; }
    ScriptedDialogs &dialogs() const { return *m_dialogs; }

    // "TCP客户端" to 127.0.0.1:port and "连接"; false when no loopback
    // adapter could be chosen.
    bool connectTcpClient(quint16 port)
    {
        ConnectionPage &page = m_app->connectionPage();
        const ConnectionPage::Controls &ui = page.controls();
        ui.tcpClient->click();
        if (!page.selectLocalAddress(QStringLiteral("127.0.0.1")))
            return false;
        ui.clientIp->setText(QStringLiteral("127.0.0.1"));
        ui.clientPort->setText(QString::number(port));
        ui.clientConnect->click();
        return true;
    }

    // "TCP服务器" listening on 127.0.0.1:port, and qxsim connecting to it as
    // the module (`args` added); true once the module's identity has been
    // shown. qxsim's SIGUSR1 then drops the module's link and it comes back.
    bool listenForQxsim(std::unique_ptr<qxtest::QxsimProcess> &sim, std::vector<std::string> args = {})
    {
        const uint16_t port = qxtest::freePort(SOCK_STREAM);
        ConnectionPage &page = m_app->connectionPage();
        const ConnectionPage::Controls &ui = page.controls();
        ui.tcpServer->click();
        if (!page.selectLocalAddress(QStringLiteral("127.0.0.1")))
            return false;
        ui.listenPort->setText(QString::number(port));
        QSignalSpy identity(m_app, &AppMain::identityShown);
        ui.listen->click();
        args.insert(args.end(), {"--connect", "127.0.0.1:" + std::to_string(port)});
        sim = std::make_unique<qxtest::QxsimProcess>(std::move(args));
        return !identity.isEmpty() || identity.wait(10000);
    }

    // "串口" on `device` and "打开", with the page's other settings.
    void openSerial(const QString &device)
    {
        const ConnectionPage::Controls &ui = m_app->connectionPage().controls();
        ui.serial->click();
        ui.serialPort->setEditText(device);
        ui.serialOpen->click();
    }

    // Connects to qxsim the way its ready line offers: the serial port on its
    // pseudo-terminal, else the TCP client to its loopback port. True once
    // the module's identity has been shown, so the module answers.
    bool connectToQxsim(const qxtest::QxsimProcess &sim)
    {
        QSignalSpy identity(m_app, &AppMain::identityShown);
        const std::string pty = sim.ptyPath();
        if (!pty.empty()) {
            openSerial(QString::fromStdString(pty));
        } else {
            const int port = sim.port("listening tcp");
            if (port <= 0 || !connectTcpClient(static_cast<quint16>(port)))
                return false;
        }
        return !identity.isEmpty() || identity.wait(10000);
    }

    // Closes the link connectToQxsim opened to `sim` (the serial port's or
    // the TCP client's close button); false when that button is disabled.
    bool closeLinkTo(const qxtest::QxsimProcess &sim)
    {
        const ConnectionPage::Controls &ui = m_app->connectionPage().controls();
        QPushButton *close = sim.ptyPath().empty() ? ui.clientClose : ui.serialClose;
        if (!close->isEnabled())
            return false;
        close->click();
        return true;
    }

    // Shows `page` and saves the window as $QX_SCREENSHOT_DIR/name.png when
    // that variable is set; otherwise does nothing. A picture that cannot be
    // saved is only warned about: it is no fault of the page under test.
    void saveScreenshot(const QString &name, PageHost::Page page)
    {
        const QString dir = qEnvironmentVariable("QX_SCREENSHOT_DIR");
        if (dir.isEmpty())
            return;
        MainWindow &window = m_app->mainWindow();
        window.topTabs()->setCurrentIndex(1); // "模块操作"
        m_app->pageHost().setCurrentIndex(page);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("screenshot %s: the window was not shown", qPrintable(name));
        const QString file = QDir(dir).filePath(name + QStringLiteral(".png"));
        if (!window.grab().save(file))
            qWarning("screenshot %s: could not save %s", qPrintable(name), qPrintable(file));
    }

private:
    LibraryFunctions m_library;
    ScriptedDialogs *m_dialogs = nullptr;
    AppMain *m_app = nullptr;
};

} // namespace qx
