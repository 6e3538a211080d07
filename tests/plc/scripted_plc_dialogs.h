// The PLC page's own dialogs answered from a script: notices confirmed, the
// passwords and block sizes queued by the test.
#pragma once

#include <optional>

#include <QQueue>
#include <QString>

#include "plc_dialogs.h"

namespace qx {

class ScriptedPlcDialogs : public PlcDialogs
{
public:
    bool sourceModeNotice(QWidget *) override { return true; }
    bool projectModeNotice(QWidget *) override { return true; }
    bool password(QWidget *, bool, QString &password, QString &confirmation) override
    {
        if (passwords.isEmpty())
            return false;
        password = confirmation = passwords.dequeue();
        return true;
    }
    std::optional<int> blockSize(QWidget *, int) override
    {
        return blockSizes.isEmpty() ? std::nullopt : std::optional<int>(blockSizes.dequeue());
    }

    QQueue<QString> passwords;
    QQueue<int> blockSizes;
};

} // namespace qx
