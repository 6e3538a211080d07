// TransferDriver: carries out an acknowledged transfer's steps for a page, on
// the window thread. It places each packet (the receive buffer cleared
// first), logs, keeps the 3000 ms acknowledgement timer that resends, hands
// the module's acknowledgements to the transfer, shows the progress and the
// message at the end. A closed port ends the transfer; a module that leaves
// the TCP server does not (the packets wait in their slot until it is back).
#pragma once

#include <vector>

#include <QObject>
#include <QTimer>

#include "acked_transfer.h"
#include "page_hooks.h"

class QProgressBar;
class QWidget;

namespace qx {

class AppMain;

class TransferDriver : public QObject
{
    Q_OBJECT

public:
    // Message boxes open over `page`; `progress` shows the packets
    // acknowledged of the packets to send.
    TransferDriver(AppMain &app, AckedTransfer &transfer, QWidget *page, QProgressBar *progress);

    // Whether a port object exists; without one the operator is told to
    // connect first, since every packet would only time out.
    bool linkReady();
    // Carries out a step: the transfer's start, or any step the page asks of
    // it.
    void take(const TransferStep &step);
    void cancel() { take(m_transfer.cancel(TransferStop::Operator)); }

signals:
    // After every step that changed something, before its message box: the
    // page shows its controls for the new state.
    void stepped();

private:
    AppMain &m_app;
    AckedTransfer &m_transfer;
    QWidget *m_page;
    QProgressBar *m_progress;
    QTimer m_retry;
    std::vector<PageHooks::Registration> m_acknowledgements;
};

} // namespace qx
