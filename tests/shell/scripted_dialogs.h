// Dialogs for tests: records every message and answers confirmations and
// file dialogs from a script, so a page can be driven without a person.
#pragma once

#include <QList>
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
    FileChoice openFile(QWidget *, const FileRequest &request) override { return answer(request); }
    FileChoice saveFile(QWidget *, const FileRequest &request) override { return answer(request); }

    QStringList messages;
    QStringList confirmations;
    QQueue<bool> confirmAnswers; // none left: OK
    QList<FileRequest> fileRequests;
    // Answers in turn; none left means the operator cancelled.
    QQueue<FileChoice> fileAnswers;

private:
    FileChoice answer(const FileRequest &request)
    {
        fileRequests.append(request);
        return fileAnswers.isEmpty() ? FileChoice() : fileAnswers.dequeue();
    }
};

} // namespace qx
