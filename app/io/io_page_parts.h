// Widgets and wiring the three I/O pages share: the "子机号：" list, value
// displays that carry their caption as accessible name, indicator lights,
// placing a request through the shell, and putting the pages in their tabs.
#pragma once

#include <QString>

#include "io_requests.h"

class QBoxLayout;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace qx {

class AppMain;
class ScalingStore;

// A caption with a number in it: uiTextOf("AI%d:", 3) is "AI3:".
QString uiTextOf(const char *format, int n);

// The row every I/O page starts with: "子机号：", the list "无", "子机1" ..
// "子机10" (the position is the sub-station value) and the note. Returns
// the list.
QComboBox *addSubStationRow(QBoxLayout *layout, QWidget *page);
uint8_t subStationOf(const QComboBox *list);

// A read-only text showing a value; `name` is what a screen reader says.
QLineEdit *valueField(const QString &name, const QString &text, QWidget *parent);
// A lamp: a checkable button that the operator cannot press.
QRadioButton *indicator(const QString &caption, QWidget *parent);

// RO2000Set, RO2000Tag and RO2000Scan into the first three tabs of the
// window's page host, before the window is first shown. The AI/AO page loads
// its scaling files into `scaling`, which must outlive the pages.
void placeIoPages(AppMain &app, ScalingStore &scaling);

// Places a read, poll or stop request; false when the shell refused it (the
// operator has been told why) and the page must change nothing. Writes go
// through the pages' WriteSender.
bool placeRequest(AppMain &app, SlotRequest request);

} // namespace qx
