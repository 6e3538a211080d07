// QXTools' window for a test against the real library: libqxlib bound once,
// AppMain with scripted dialogs built afresh for each test, and the
// connection page's TCP client pointed at a module on loopback.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>

#include "app_main.h"
#include "library_binder.h"
#include "scripted_dialogs.h"

namespace qx {

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

private:
    LibraryFunctions m_library;
    ScriptedDialogs *m_dialogs = nullptr;
    AppMain *m_app = nullptr;
};

} // namespace qx
