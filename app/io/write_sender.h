// WriteSender: the one way the three I/O pages put writes (slots 5 and 9) on
// the wire. It keeps the pages' WriteQueue: a write goes into its slot at
// once when nothing of that slot is outstanding, else after the module's
// acknowledgement (kEventCoilsWritten and kEventRegistersWritten through the
// shell's hooks) or the answer time-out; a closed port drops what waits.
// Reads, polls and stops do not pass here: they replace their slot's record
// as they always did.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "page_hooks.h"
#include "write_queue.h"

namespace qx {

class AppMain;

class WriteSender : public QObject
{
    Q_OBJECT

public:
    // Registers for the write acknowledgements (kEventCoilsWritten and
    // kEventRegistersWritten).
    WriteSender(AppMain &app, QObject *parent = nullptr);

    // Reads the module address now (the operator is told when the field
    // holds none) and places the write or queues it. False when refused: the
    // page must change nothing.
    bool write(SlotRequest request);

private:
    void place(const SlotRequest &request);
    void acknowledged(int slot);
    void expire();
    void schedule();
    int64_t now() const { return m_clock.elapsed(); }

    AppMain &m_app;
    WriteQueue m_queue;
    QElapsedTimer m_clock;
    QTimer m_timer;
    std::vector<PageHooks::Registration> m_events;
};

} // namespace qx
