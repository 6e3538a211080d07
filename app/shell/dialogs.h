// Every message box, confirmation and file dialog of QXTools goes through
// Dialogs, so that tests answer them without a person and pages stay
// testable.
#pragma once

#include <QString>

#include "kept_settings.h"

class QWidget;

namespace qx {

struct FileRequest
{
    QString title;
    // The filter as the pages write it: "配置文件(*.txt)|*.txt|所有文件(*.*)|*.*||".
    QString filter;
    QString startFolder; // empty: the dialog's own choice
    QString defaultSuffix; // "txt": added to a typed name that has no suffix
};

struct FileChoice
{
    QString path; // empty when the operator cancelled
    int filter = -1; // the filter entry chosen, from 0
};

class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // Caption "提示：", warning icon, OK.
    virtual void message(QWidget *parent, const QString &text) = 0;
    // Caption "注意:", OK/Cancel; true for OK.
    virtual bool confirm(QWidget *parent, const QString &text) = 0;
    virtual FileChoice openFile(QWidget *parent, const FileRequest &request) = 0;
    virtual FileChoice saveFile(QWidget *parent, const FileRequest &request) = 0;
};

// The real dialogs, modal to the whole application. A file dialog starts in
// the folder its kind of file was last chosen from (FolderMemory).
class QtDialogs : public Dialogs
{
public:
    FolderMemory &folders() { return m_folders; }

    void message(QWidget *parent, const QString &text) override;
    bool confirm(QWidget *parent, const QString &text) override;
    FileChoice openFile(QWidget *parent, const FileRequest &request) override;
    FileChoice saveFile(QWidget *parent, const FileRequest &request) override;

private:
    FolderMemory m_folders;
};

} // namespace qx
