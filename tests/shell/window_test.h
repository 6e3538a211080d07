// The base of the Qt Test classes that drive QXTools' window against the real
// library: libqxlib bound once, and for each test a fresh window with scripted
// dialogs that m_app and m_dialogs point into. A class that places a page in
// the window declares its own init() and calls WindowTest::init() first.
#pragma once

#include <QObject>
#include <QString>
#include <QtTest>

#include "app_main.h"
#include "scripted_dialogs.h"
#include "window_fixture.h"

namespace qx {

class WindowTest : public QObject
{
    Q_OBJECT

protected:
    WindowFixture m_window;
    AppMain *m_app = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;

protected slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_window.bind(QX_QXLIB_FILE, error), qPrintable(error));
    }
    void init()
    {
        m_window.open();
        m_app = &m_window.app();
        m_dialogs = &m_window.dialogs();
    }
    void cleanup()
    {
        m_window.close();
        m_app = nullptr;
        m_dialogs = nullptr;
    }
};

} // namespace qx
