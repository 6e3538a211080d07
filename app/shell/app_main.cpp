#include "app_main.h"

#include <memory>

#include "common_texts.h"
#include "connection_page.h"
#include "dialogs.h"
#include "event_codes.h"
#include "main_window.h"
#include "modbus_address.h"
#include "page_host.h"
#include "port_settings.h"
#include "request_record.h"
#include "shell_texts.h"
#include "ui_text.h"

namespace qx {

namespace {

std::atomic<AppMain *> g_app {nullptr};

} // namespace

// The shell's own events; every other code goes to the pages' hooks.
const AppMain::Route AppMain::kRoutes[] = {
    {kEventLog, &AppMain::onStatistics},
    {kEventConnection, &AppMain::onConnection},
    {kEventIdentity, &AppMain::onIdentity},
};

AppMain::AppMain(const LibraryFunctions &library, Dialogs &dialogs,
                 const std::vector<NetworkAdapter> *adapters)
    : m_library(library)
    , m_dialogs(dialogs)
    , m_gate([this](QueuedEvent e) {
        auto event = std::make_shared<QueuedEvent>(std::move(e));
        QMetaObject::invokeMethod(this, [this, event] { handle(*event); }, Qt::QueuedConnection);
    })
{
    g_app = this;
    m_window = new MainWindow(*this, adapters);
}

AppMain::~AppMain()
{
    shutdown();
    delete m_window;
    g_app = nullptr;
}

AppMain *AppMain::instance()
{
    return g_app.load();
}

void AppMain::EventCallback(void *port, int32_t code, const void *data)
{
    AppMain *app = g_app.load();
    std::size_t size = eventRecordSize(code);
    if (!app || !data || size == 0)
        return;
    app->m_gate.deliver(port, code, data, size);
}

ConnectionPage &AppMain::connectionPage() const
{
    return *m_window->connectionPage();
}

PageHost &AppMain::pageHost() const
{
    return *m_window->pageHost();
}

int32_t AppMain::openPort(const PortSettings &settings)
{
    destroyPort();
    intptr_t handle = 0;
    {
        // CREATE stops a previous object and RUN starts the worker: neither
        // may wait for a worker that waits for this thread.
        EventGate::ReleaseScope released(m_gate);
        m_library.create(settings, &AppMain::EventCallback, &handle);
    }
    m_portHandle = handle;
    EventGate::ReleaseScope released(m_gate);
    return m_library.run(handle);
}

bool AppMain::destroyPort()
{
    intptr_t handle = m_portHandle.exchange(0);
    m_pollingSlots.clear();
    int32_t result = 0;
    if (handle != 0) {
        EventGate::DestroyScope destroying(m_gate);
        result = m_library.destroy(handle);
    }
    emit portClosed();
    if (result != 0) {
        m_dialogs.message(m_window, uiText(shell_texts::kCannotDestroy));
        return false;
    }
    return true;
}

void AppMain::shutdown()
{
    // DESTROY returns only once the worker has ended (or was abandoned), so
    // no wait for the worker is needed after it.
    destroyPort();
}

std::optional<uint8_t> AppMain::requestAddress()
{
    ModbusAddressResult r = readModbusAddress(connectionPage().modbusAddressText().toStdString());
    if (!r.ok) {
        m_dialogs.message(m_window, uiText(r.message));
        return std::nullopt;
    }
    return r.address;
}

bool AppMain::sendRequest(int slot, RequestRecord &record, int32_t length)
{
    if (record.mode() == kModeIdle) {
        // A stop puts nothing on the wire: it must work whatever the field holds.
        record.setAddress(readModbusAddress(connectionPage().modbusAddressText().toStdString()).address);
    } else {
        std::optional<uint8_t> address = requestAddress();
        if (!address)
            return false;
        record.setAddress(*address);
    }
    placeRecord(slot, record, length);
    return true;
}

void AppMain::placeRecord(int slot, const RequestRecord &record, int32_t length)
{
    intptr_t handle = m_portHandle.load();
    if (handle == 0)
        return;
    m_library.cmd(handle, slot, record.data(), length);
    // a record of another mode replaces the slot's poll
    if (record.mode() == kModeRepeat)
        m_pollingSlots.insert(slot);
    else
        m_pollingSlots.erase(slot);
}

void AppMain::clearReceiveBuffer()
{
    intptr_t handle = m_portHandle.load();
    if (handle != 0)
        m_library.rxbuffClr(handle);
}

void AppMain::clearStatistics()
{
    intptr_t handle = m_portHandle.load();
    if (handle == 0)
        return;
    EventGate::ReleaseScope released(m_gate);
    m_library.clrStatis(handle);
}

void AppMain::appendLog(const QString &text)
{
    m_window->appendLog(text);
}

void AppMain::logFilePath(const QString &path)
{
    appendLog(uiText(common_texts::filePathLine(path.toStdString())));
}

void AppMain::handle(const QueuedEvent &event)
{
    if (m_gate.isCurrent(event) && m_portHandle.load() != 0) {
        const Route *own = nullptr;
        for (const Route &route : kRoutes) {
            if (route.code == event.code)
                own = &route;
        }
        if (own)
            (this->*own->handler)(event.data.data());
        else
            m_hooks.dispatch(event.code, event.data.data());
    }
    m_gate.markHandled(event);
    emit eventHandled(event.code);
}

void AppMain::placeIdentityRequest(uint8_t mode)
{
    SlotRequest r = identityRequest(mode, 0);
    sendRequest(r.slot, r.record, r.length);
}

void AppMain::onStatistics(const uint8_t *data)
{
    StatisticsView v = readStatistics(data);
    if (v.hasLogLine && m_logDisplayOn.load())
        m_window->appendLibraryLine(v.logLine);
    m_window->showCounters(std::move(v.counters));
}

void AppMain::onConnection(const uint8_t *data)
{
    const ConnectionView v = readConnection(data);
    const ConnectionEffect effect = connectionEffect(v.transportType, v.state);
    connectionPage().applyConnectionEffect(effect, uiText(v.peer));
    if (effect.requestIdentity)
        placeIdentityRequest(kModeRepeat);
    if (effect.linkClosed)
        emit portClosed();
}

void AppMain::onIdentity(const uint8_t *data)
{
    ConnectionPage &page = connectionPage();
    page.setIdentity(readIdentity(data));
    placeIdentityRequest(kModeIdle);
    page.setStatus(page.connectionKind(), uiText(shell_texts::kConnected));
    emit identityShown();
}

} // namespace qx
