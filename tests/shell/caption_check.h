// A page test's check that every field can be found by its caption: each
// edit, list, spin box and text view under a page is the buddy of a caption
// label or carries an accessible name of its own.
#pragma once

#include <algorithm>

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>

namespace qx {

inline QStringList uncaptionedFields(const QWidget *root)
{
    const QList<QLabel *> labels = root->findChildren<QLabel *>();
    QStringList missing;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        const bool field = qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w)
            || qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QTextEdit *>(w)
            // a list's own edit is reached through the list
            || (qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w->parentWidget())
                && !qobject_cast<QAbstractSpinBox *>(w->parentWidget()));
        if (!field || !w->accessibleName().isEmpty())
            continue;
        const bool captioned
            = std::any_of(labels.begin(), labels.end(), [w](const QLabel *l) { return l->buddy() == w; });
        if (!captioned)
            missing.append(QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(w->metaObject()->className()),
                                                          w->objectName()));
    }
    return missing;
}

} // namespace qx
