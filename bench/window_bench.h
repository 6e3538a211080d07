// What the benchmarks that drive QXTools' window share: the library of the
// build tree, dialogs that print instead of asking, waiting on the event
// loop, a qxsim process on a free loopback TCP port and the window connected
// to it.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app_main.h"
#include "connection_page.h"
#include "dialogs.h"
#include "library_binder.h"

namespace qxbench {

// Prints every box; a benchmark has no operator to answer it. The file
// dialog picks `file`.
class PrintingDialogs : public qx::Dialogs
{
public:
    void message(QWidget *, const QString &text) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++messages;
    }
    bool confirm(QWidget *, const QString &) override { return true; }
    qx::FileChoice openFile(QWidget *, const qx::FileRequest &) override { return {file, 0}; }
    qx::FileChoice saveFile(QWidget *, const qx::FileRequest &) override { return {}; }

    int messages = 0;
    QString file;
};

inline bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Runs the event loop for `ms` without spinning, so that the window
// thread's CPU time is the window's own work.
inline void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The library of the build tree, or nothing (the reason printed).
inline std::optional<qx::LibraryFunctions> bindQxlib()
{
    qx::BindResult bound = qx::bindLibrary(QX_QXLIB_FILE);
    if (!bound.ok) {
        std::fprintf(stderr, "%s\n", bound.message.c_str());
        return std::nullopt;
    }
    return bound.functions;
}

// Starts qxsim on a free loopback TCP port; the port, or 0 when it did not
// start.
inline quint16 startQxsim(QProcess &sim)
{
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QStringLiteral(QX_QXSIM_FILE),
              {QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--quiet")});
    while (sim.waitForReadyRead(10000)) {
        while (sim.canReadLine()) {
            const QString line = QString::fromUtf8(sim.readLine()).trimmed();
            if (line.startsWith(QStringLiteral("listening tcp")))
                return line.section(QLatin1Char(':'), -1).toUShort();
        }
    }
    std::fprintf(stderr, "qxsim did not start\n");
    return 0;
}

// The offscreen platform unless one is given in QT_QPA_PLATFORM; before the
// QApplication is made.
inline void preferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The library of the build tree, qxsim on a free loopback port and QXTools'
// AppMain bound to the library with dialogs that print. qxsim is ended with
// the rig.
class WindowRig
{
public:
    ~WindowRig()
    {
        m_app.reset();
        m_sim.terminate();
        m_sim.waitForFinished(5000);
    }
    // False when the library or qxsim is missing (said on stderr).
    bool start()
    {
        m_library = bindQxlib();
        m_port = m_library ? startQxsim(m_sim) : 0;
        if (m_port == 0)
            return false;
        m_app = std::make_unique<qx::AppMain>(*m_library, dialogs);
        return true;
    }
    qx::AppMain &app() { return *m_app; }
    quint16 port() const { return m_port; }

    PrintingDialogs dialogs;

private:
    std::optional<qx::LibraryFunctions> m_library;
    QProcess m_sim;
    quint16 m_port = 0;
    std::unique_ptr<qx::AppMain> m_app;
};

// Sets the connection page to a TCP client of qxsim on `port` (loopback).
inline void chooseQxsim(qx::ConnectionPage &page, quint16 port)
{
    const auto &ui = page.controls();
    ui.tcpClient->click();
    page.selectLocalAddress(QStringLiteral("127.0.0.1"));
    ui.clientIp->setText(QStringLiteral("127.0.0.1"));
    ui.clientPort->setText(QString::number(port));
}

// Connects the window to qxsim on `port` with "连接"; false (said on stderr)
// when the module's identity is not shown within 10 s.
inline bool connectToQxsim(qx::AppMain &app, quint16 port)
{
    chooseQxsim(app.connectionPage(), port);
    bool identified = false;
    const QMetaObject::Connection shown =
        QObject::connect(&app, &qx::AppMain::identityShown, [&identified] { identified = true; });
    app.connectionPage().controls().clientConnect->click();
    const bool ok = waitFor([&identified] { return identified; }, 10000);
    QObject::disconnect(shown);
    if (!ok)
        std::fprintf(stderr, "no identity within 10 s\n");
    return ok;
}

} // namespace qxbench
