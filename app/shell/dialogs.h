// Every message box, confirmation and file dialog of QXTools goes through
// Dialogs, so that tests answer them without a person and pages stay
// testable.
#pragma once

#include <QString>

class QWidget;

namespace qx {

class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // Caption "提示：", warning icon, OK.
    virtual void message(QWidget *parent, const QString &text) = 0;
    // Caption "注意:", OK/Cancel; true for OK.
    virtual bool confirm(QWidget *parent, const QString &text) = 0;
    // Empty when the operator cancels.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &filter) = 0;
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &filter) = 0;
};

// The real dialogs, modal to the whole application.
class QtDialogs : public Dialogs
{
public:
    void message(QWidget *parent, const QString &text) override;
    bool confirm(QWidget *parent, const QString &text) override;
    QString openFile(QWidget *parent, const QString &title, const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &filter) override;
};

} // namespace qx
