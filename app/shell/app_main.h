// AppMain: the application's state (PortHandle, LogDisplayOn, the scaling
// tables), the EventCallback that QXLIB calls and its dispatch, and the
// library calls the pages make. Events are handled on the window thread, in
// order, through the EventGate; every handler does nothing while PortHandle
// is 0. The shell handles kEventLog, kEventConnection and kEventIdentity
// itself and hands the module's events to the pages through PageHooks
// (page_hooks.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include <QObject>

#include "network_adapters.h"
#include "event_gate.h"
#include "library_binder.h"
#include "page_hooks.h"

namespace qx {

class ConnectionPage;
class Dialogs;
class MainWindow;
class PageHost;
class RequestRecord;

class AppMain : public QObject
{
    Q_OBJECT

public:
    // `adapters` replaces the system's adapter list (tests).
    AppMain(const LibraryFunctions &library, Dialogs &dialogs,
            const std::vector<NetworkAdapter> *adapters = nullptr);
    ~AppMain() override;

    static AppMain *instance();
    // The callback handed to DLL_API_OBJ_CREATE.
    static void EventCallback(void *port, int32_t code, const void *data);

    MainWindow &mainWindow() const { return *m_window; }
    ConnectionPage &connectionPage() const;
    PageHost &pageHost() const;
    Dialogs &dialogs() const { return m_dialogs; }
    // Each module page registers for the events it shows.
    PageHooks &hooks() { return m_hooks; }

    intptr_t portHandle() const { return m_portHandle.load(); }
    bool logDisplayOn() const { return m_logDisplayOn.load(); }
    void setLogDisplayOn(bool on) { m_logDisplayOn = on; }

    // Destroys the current port object, creates one with `settings` and runs
    // it; returns DLL_API_OBJ_RUN's result.
    int32_t openPort(const PortSettings &settings);
    // Destroys the port object if there is one ("断开", "关闭", a new open,
    // the end); false when DLL_API_OBJ_DESTROY failed (the operator has been
    // told). Either way the pages hear portClosed.
    bool destroyPort();
    // Main window closed: the port object goes.
    void shutdown();

    // The Modbus address field's value; when it holds no address from 1 to
    // 247 the operator is told (naming the field and the range) and there
    // is none.
    std::optional<uint8_t> requestAddress();
    // Puts the address into `record` and places it in `slot`. A request that
    // would go on the wire with a refused address is not placed (false); a
    // stop (mode 0) sends nothing and is always placed.
    bool sendRequest(int slot, RequestRecord &record, int32_t length);
    // Places `record` in `slot` as it is, its address already in (a write
    // that waited for its slot); nothing while no port object exists.
    void placeRecord(int slot, const RequestRecord &record, int32_t length);
    void clearReceiveBuffer();
    // Slots the pages have set polling (mode 2) on the current port object:
    // each takes a turn in the library's round-robin.
    int pollingSlots() const { return int(m_pollingSlots.size()); }
    void clearStatistics();

    void appendLog(const QString &text);
    // "文件路径:" and the path of a file the operator loaded or saved.
    void logFilePath(const QString &path);

signals:
    // The port object is gone or about to be replaced: "断开"/"关闭", the
    // TCP client closed by the module (state 10, its worker has ended), a
    // port object destroyed, and every new open. Pages reset their polling
    // buttons and stop their own timers. A module that leaves the TCP
    // server (state 13) is not a closed port: the slots wait for it.
    void portClosed();
    void eventHandled(int code);
    void identityShown();

private:
    using Handler = void (AppMain::*)(const uint8_t *data);
    struct Route
    {
        int32_t code;
        Handler handler;
    };
    static const Route kRoutes[];

    void handle(const QueuedEvent &event);
    void placeIdentityRequest(uint8_t mode);

    void onStatistics(const uint8_t *data);
    void onConnection(const uint8_t *data);
    void onIdentity(const uint8_t *data);

    LibraryFunctions m_library;
    Dialogs &m_dialogs;
    EventGate m_gate;
    std::atomic<intptr_t> m_portHandle {0}; // PortHandle
    std::atomic<bool> m_logDisplayOn {true}; // LogDisplayOn
    PageHooks m_hooks;
    std::set<int> m_pollingSlots;
    MainWindow *m_window = nullptr;
};

} // namespace qx
