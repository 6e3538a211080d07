#include "captions.h"

#include <QLabel>

#include "ui_text.h"

namespace qx {

QLabel *captionFor(QWidget *field, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(field);
    if (!qobject_cast<QLabel *>(field))
        field->setAccessibleName(text);
    return label;
}

QLabel *captionFor(QWidget *field, const char *utf8, QWidget *parent)
{
    return captionFor(field, uiText(utf8), parent);
}

} // namespace qx
