#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "file_filter.h"
#include "shell_texts.h"
#include "ui_text.h"

namespace qx {

namespace {

FileChoice runFileDialog(QWidget *parent, const FileRequest &request, QFileDialog::AcceptMode mode,
                         FolderMemory &folders)
{
    QStringList filters;
    for (const std::string &f : fileDialogFilters(request.filter.toStdString()))
        filters.append(uiText(f));
    QFileDialog dialog(parent, request.title, folders.startFolder(request));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setWindowModality(Qt::ApplicationModal);
    FileChoice choice;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        choice.path = dialog.selectedFiles().first();
        choice.filter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
        folders.chosen(request, choice.path);
    }
    return choice;
}

} // namespace

void QtDialogs::message(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, uiText(shell_texts::kCaptionNotice), text,
                    QMessageBox::Ok, parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool QtDialogs::confirm(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, uiText(shell_texts::kCaptionConfirm), text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Ok;
}

FileChoice QtDialogs::openFile(QWidget *parent, const FileRequest &request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptOpen, m_folders);
}

FileChoice QtDialogs::saveFile(QWidget *parent, const FileRequest &request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptSave, m_folders);
}

} // namespace qx
