#include "transfer_driver.h"

#include <algorithm>

#include <QProgressBar>

#include "app_main.h"
#include "dialogs.h"
#include "event_codes.h"
#include "request_record.h"
#include "shell_texts.h"
#include "ui_text.h"

namespace qx {

TransferDriver::TransferDriver(AppMain &app, AckedTransfer &transfer, QWidget *page, QProgressBar *progress)
    : QObject(page)
    , m_app(app)
    , m_transfer(transfer)
    , m_page(page)
    , m_progress(progress)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, [this] { take(m_transfer.timeout()); });
    connect(&app, &AppMain::portClosed, this, [this] {
        if (m_transfer.running())
            take(m_transfer.cancel(TransferStop::LinkGone));
    });
    for (int32_t code = kEventOther; code <= kEventStatusReport; ++code) {
        if (transfer.acknowledgedBy(code))
            m_acknowledgements.push_back(app.hooks().add(
                code, [this, code](const uint8_t *record) { take(m_transfer.acknowledge(code, record)); }));
    }
}

bool TransferDriver::linkReady()
{
    if (m_app.portHandle() != 0)
        return true;
    m_app.dialogs().message(m_page, uiText(shell_texts::kNeedConnection));
    return false;
}

void TransferDriver::take(const TransferStep &step)
{
    switch (step.kind) {
    case TransferStep::Kind::Nothing:
        if (!step.log.empty())
            m_app.appendLog(uiText(step.log));
        if (!step.message.empty())
            m_app.dialogs().message(m_page, uiText(step.message));
        return;
    case TransferStep::Kind::Send: {
        SlotRequest r = transferSlotRequest(step.slot, step.packet, 0);
        m_app.clearReceiveBuffer(); // stale bytes are dropped
        if (!m_app.sendRequest(r.slot, r.record, r.length)) {
            // no valid address: the operator has just been told why
            take(m_transfer.cancel(TransferStop::NotPlaced));
            return;
        }
        m_app.appendLog(uiText(step.log));
        m_retry.start(kTransferAckTimeoutMs);
        break;
    }
    case TransferStep::Kind::Finished:
        m_retry.stop();
        if (!step.log.empty())
            m_app.appendLog(uiText(step.log));
        break;
    }
    if (m_progress != nullptr) {
        m_progress->setMaximum(std::max(1, m_transfer.unitsTotal()));
        m_progress->setValue(m_transfer.unitsAcknowledged());
        m_progress->setTextVisible(true);
    }
    emit stepped();
    if (step.kind == TransferStep::Kind::Finished && !step.message.empty())
        m_app.dialogs().message(m_page, uiText(step.message));
}

} // namespace qx
