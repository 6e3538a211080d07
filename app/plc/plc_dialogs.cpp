#include "plc_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "captions.h"
#include "plc_download.h"
#include "plc_texts.h"
#include "ui_text.h"

namespace qx {

namespace {

using namespace plc_texts;

// "确定" and "取消", wired to accept and reject.
QDialogButtonBox *okCancel(QDialog *dialog)
{
    auto *box = new QDialogButtonBox(dialog);
    box->addButton(uiText(kDialogOk), QDialogButtonBox::AcceptRole);
    box->addButton(uiText(kDialogCancel), QDialogButtonBox::RejectRole);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

constexpr Text kSourceNotice[3] = {kSourceNotice1, kSourceNotice2, kSourceNotice3};
constexpr Text kProjectNotice[3] = {kProjectNotice1, kProjectNotice2, kProjectNotice3};

} // namespace

PlcModeNotice::PlcModeNotice(const Text (&lines)[3], QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(uiText(kNoticeTitle));
    auto *root = new QVBoxLayout(this);
    for (Text line : lines)
        root->addWidget(new QLabel(uiText(line), this));
    root->addWidget(okCancel(this));
}

CDlgFopenTxt::CDlgFopenTxt(QWidget *parent)
    : PlcModeNotice(kSourceNotice, parent)
{
}

CDlgFopenPrj::CDlgFopenPrj(QWidget *parent)
    : PlcModeNotice(kProjectNotice, parent)
{
}

CPassword::CPassword(bool confirm, const QString &password, const QString &confirmation, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(uiText(kPasswordTitle));
    auto *root = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    auto field = [this, form](const QString &text, const char *caption) {
        auto *e = new QLineEdit(text, this);
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(30); // what "确定" takes of each field
        form->addRow(captionFor(e, caption, this), e);
        return e;
    };
    m_password = field(password, kPasswordLabel);
    if (confirm)
        m_confirmation = field(confirmation, kConfirmLabel);
    root->addLayout(form);
    root->addWidget(new QLabel(uiText(kPasswordHint), this));
    root->addWidget(okCancel(this));
}

QString CPassword::password() const
{
    return m_password->text();
}

QString CPassword::confirmation() const
{
    return m_confirmation ? m_confirmation->text() : m_password->text();
}

CDlgEplcTrans::CDlgEplcTrans(int current, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(uiText(kTransTitle));
    auto *root = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_sizes = new QComboBox(this);
    for (uint16_t size : kEplcBlockSizes)
        m_sizes->addItem(QString::number(size), int(size));
    m_sizes->setCurrentIndex(std::max(0, m_sizes->findData(current)));
    form->addRow(captionFor(m_sizes, kTransBlockSize, this), m_sizes);
    root->addLayout(form);
    for (const char *note : {kTransNote, kTransNote1, kTransNote2})
        root->addWidget(new QLabel(uiText(note), this));
    root->addWidget(okCancel(this));
}

int CDlgEplcTrans::blockSize() const
{
    const QVariant v = m_sizes->currentData();
    return v.isValid() ? v.toInt() : kEplcBlockSizes[0];
}

bool QtPlcDialogs::sourceModeNotice(QWidget *parent)
{
    return CDlgFopenTxt(parent).exec() == QDialog::Accepted;
}

bool QtPlcDialogs::projectModeNotice(QWidget *parent)
{
    return CDlgFopenPrj(parent).exec() == QDialog::Accepted;
}

bool QtPlcDialogs::password(QWidget *parent, bool confirm, QString &password, QString &confirmation)
{
    CPassword dialog(confirm, password, confirmation, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    password = dialog.password();
    confirmation = dialog.confirmation();
    return true;
}

std::optional<int> QtPlcDialogs::blockSize(QWidget *parent, int current)
{
    CDlgEplcTrans dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.blockSize();
}

} // namespace qx
