// Dialogs for tests: records every message and answers confirmations and
// file dialogs from a script, so a page can be driven without a person.
#pragma once

#include <QQueue>
#include <QStringList>

#include "dialogs.h"

namespace qx {

class ScriptedDialogs : public Dialogs
{
public:
    void message(QWidget *, const QString &text) override { messages.append(text); }
    bool confirm(QWidget *, const QString &text) override
    {
        confirmations.append(text);
        return confirmAnswers.isEmpty() ? true : confirmAnswers.dequeue();
    }
    QString openFile(QWidget *, const QString &, const QString &) override
    {
        return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
    }
    QString saveFile(QWidget *, const QString &, const QString &) override
    {
        return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
    }

    QStringList messages;
    QStringList confirmations;
    QQueue<bool> confirmAnswers;
    QQueue<QString> fileAnswers;
};

} // namespace qx
