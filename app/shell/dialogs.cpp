#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "shell_texts.h"

namespace qx {

void QtDialogs::message(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(texts::kCaptionNotice), text,
                    QMessageBox::Ok, parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool QtDialogs::confirm(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(texts::kCaptionConfirm), text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Ok;
}

QString QtDialogs::openFile(QWidget *parent, const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString QtDialogs::saveFile(QWidget *parent, const QString &title, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, QString(), filter);
}

} // namespace qx
