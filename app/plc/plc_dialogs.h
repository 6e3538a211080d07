// The PLC page's own dialogs: the source and project mode notices
// (CDlgFopenTxt and its project twin), the project password (CPassword) and
// the transfer block size (CDlgEplcTrans). The page asks for them through
// PlcDialogs, so that tests can answer without a person.
#pragma once

#include <optional>

#include <QDialog>
#include <QString>

#include "text_catalogue.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace qx {

class PlcDialogs
{
public:
    virtual ~PlcDialogs() = default;
    // The notices before a source file or a project is loaded: true for "确定".
    virtual bool sourceModeNotice(QWidget *parent) = 0;
    virtual bool projectModeNotice(QWidget *parent) = 0;
    // The password dialog, opened with the texts given and leaving the
    // entered ones there on "确定" (true). `confirm` shows the second field.
    virtual bool password(QWidget *parent, bool confirm, QString &password, QString &confirmation) = 0;
    // The transfer block size, `current` preselected; nullopt on "取消".
    virtual std::optional<int> blockSize(QWidget *parent, int current) = 0;
};

class QtPlcDialogs : public PlcDialogs
{
public:
    bool sourceModeNotice(QWidget *parent) override;
    bool projectModeNotice(QWidget *parent) override;
    bool password(QWidget *parent, bool confirm, QString &password, QString &confirmation) override;
    std::optional<int> blockSize(QWidget *parent, int current) override;
};

// Three lines of notice with "确定" and "取消".
class PlcModeNotice : public QDialog
{
    Q_OBJECT

public:
    PlcModeNotice(const Text (&lines)[3], QWidget *parent = nullptr);
};

// Before a source file is loaded.
class CDlgFopenTxt : public PlcModeNotice
{
    Q_OBJECT

public:
    explicit CDlgFopenTxt(QWidget *parent = nullptr);
};

// Before a project file is loaded.
class CDlgFopenPrj : public PlcModeNotice
{
    Q_OBJECT

public:
    explicit CDlgFopenPrj(QWidget *parent = nullptr);
};

class CPassword : public QDialog
{
    Q_OBJECT

public:
    CPassword(bool confirm, const QString &password, const QString &confirmation, QWidget *parent = nullptr);
    QString password() const;
    QString confirmation() const;

private:
    QLineEdit *m_password = nullptr;
    QLineEdit *m_confirmation = nullptr;
};

class CDlgEplcTrans : public QDialog
{
    Q_OBJECT

public:
    explicit CDlgEplcTrans(int current, QWidget *parent = nullptr);
    // The chosen size; the smallest when no entry can be read.
    int blockSize() const;

private:
    QComboBox *m_sizes = nullptr;
};

} // namespace qx
