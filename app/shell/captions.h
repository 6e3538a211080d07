// Caption labels that screen readers and UI automation can follow: the label
// is its field's buddy, and an edit or list also carries the caption as its
// accessible name. A text display (a QLabel showing a value) keeps its value
// as its name and is tied to its caption through the buddy alone.
#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace qx {

QLabel *captionFor(QWidget *field, const QString &text, QWidget *parent);
QLabel *captionFor(QWidget *field, const char *utf8, QWidget *parent);

} // namespace qx
