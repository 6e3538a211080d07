#include "io_page_parts.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "aiao_page.h"
#include "app_main.h"
#include "captions.h"
#include "dido_page.h"
#include "io_texts.h"
#include "page_host.h"
#include "pwm_page.h"
#include "text_format.h"
#include "ui_text.h"
#include "write_sender.h"

namespace qx {

QString uiTextOf(const char *format, int n)
{
    return uiText(formatText(format, n));
}

QComboBox *addSubStationRow(QBoxLayout *layout, QWidget *page)
{
    auto *list = new QComboBox(page);
    list->addItem(uiText(io_texts::kSubStationNone));
    for (int s = 1; s <= kSubStationCount; ++s)
        list->addItem(uiTextOf(io_texts::kSubStationFormat, s));
    list->setCurrentIndex(0);
    auto *row = new QHBoxLayout;
    row->addWidget(captionFor(list, io_texts::kLabelSubStation, page));
    row->addWidget(list);
    // a note wraps rather than widen the page (longer in some languages)
    auto *note = new QLabel(uiText(io_texts::kSubStationNote), page);
    note->setWordWrap(true);
    row->addWidget(note, 1);
    layout->addLayout(row);
    return list;
}

uint8_t subStationOf(const QComboBox *list)
{
    const int s = list->currentIndex();
    return static_cast<uint8_t>(s < 0 ? 0 : s);
}

QLineEdit *valueField(const QString &name, const QString &text, QWidget *parent)
{
    auto *field = new QLineEdit(text, parent);
    field->setReadOnly(true);
    field->setAccessibleName(name);
    field->setFocusPolicy(Qt::ClickFocus);
    return field;
}

QRadioButton *indicator(const QString &caption, QWidget *parent)
{
    auto *lamp = new QRadioButton(caption, parent);
    lamp->setAutoExclusive(false);
    lamp->setAttribute(Qt::WA_TransparentForMouseEvents);
    lamp->setFocusPolicy(Qt::NoFocus);
    return lamp;
}

void placeIoPages(AppMain &app, ScalingStore &scaling)
{
    PageHost &host = app.pageHost();
    // one sender for all three pages: DI/DO and PWM share the coil slot,
    // AI/AO and PWM the register slot
    auto *writes = new WriteSender(app, &host);
    auto *counters = new RO2000Scan(app, *writes);
    host.setPage(PageHost::kDidoPage, new RO2000Set(app, *writes));
    // while a counter poll runs, the input registers are the counters
    host.setPage(PageHost::kAiaoPage,
                 new RO2000Tag(app, *writes, scaling,
                               [counters] { return counters->groupMask() != kCountersNone; }));
    host.setPage(PageHost::kPipoPage, counters);
}

bool placeRequest(AppMain &app, SlotRequest request)
{
    return app.sendRequest(request.slot, request.record, request.length);
}

} // namespace qx
